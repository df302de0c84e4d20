#include "plugin/PropertyCache.h"

#include <algorithm>

namespace quillet {

std::shared_ptr<const PropertyRecords> PropertyCache::Find(std::string_view path,
                                                           const platform::FileStamp& stamp) {
    Entry stale;  // released outside the lock
    const std::lock_guard<std::mutex> lock(mutex_);
    for (auto entry = entries_.begin(); entry != entries_.end(); ++entry) {
        if (entry->path != path) {
            continue;
        }
        if (entry->stamp != stamp) {
            // The file changed: what was read of it is stale.
            weight_ -= entry->weight;
            stale = std::move(*entry);
            entries_.erase(entry);
            return nullptr;
        }
        std::rotate(entries_.begin(), entry, entry + 1);
        return entries_.front().records;
    }
    return nullptr;
}

void PropertyCache::Clear() {
    std::vector<Entry> dropped;  // released outside the lock
    const std::lock_guard<std::mutex> lock(mutex_);
    std::swap(entries_, dropped);
    weight_ = 0;
}

void PropertyCache::Keep(std::string path, const platform::FileStamp& stamp,
                         std::shared_ptr<const PropertyRecords> records) {
    if (!records || !records->opened) {
        return;
    }
    Entry entry{std::move(path), stamp, std::move(records), 0};
    entry.weight = sizeof(Entry) + entry.records->TextBytes();
    if (entry.weight > MaxWeight) {
        return;
    }
    std::vector<Entry> dropped;  // released outside the lock
    const std::lock_guard<std::mutex> lock(mutex_);
    for (auto old = entries_.begin(); old != entries_.end(); ++old) {
        if (old->path == entry.path) {
            weight_ -= old->weight;
            dropped.push_back(std::move(*old));
            entries_.erase(old);
            break;
        }
    }
    while (!entries_.empty() &&
           (entries_.size() >= Capacity || weight_ + entry.weight > MaxWeight)) {
        weight_ -= entries_.back().weight;
        dropped.push_back(std::move(entries_.back()));
        entries_.pop_back();
    }
    weight_ += entry.weight;
    entries_.insert(entries_.begin(), std::move(entry));
}

}  // namespace quillet
