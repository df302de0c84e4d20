#include "plugin/PropertyCache.h"

#include <algorithm>

namespace quillet {

std::shared_ptr<const PropertyRecords> PropertyCache::Find(const FileKey& key) {
    const std::lock_guard<std::mutex> lock(mutex_);
    for (auto entry = entries_.begin(); entry != entries_.end(); ++entry) {
        if (entry->key.path != key.path) {
            continue;
        }
        if (entry->key != key) {
            entries_.erase(entry);  // the file changed: what was read of it is stale
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
}

void PropertyCache::Keep(const FileKey& key, std::shared_ptr<const PropertyRecords> records) {
    if (!records || !records->opened || records->TextBytes() > MaxKeptText) {
        return;
    }
    Entry entry{key, std::move(records)};
    std::vector<Entry> dropped;  // released outside the lock
    const std::lock_guard<std::mutex> lock(mutex_);
    for (auto old = entries_.begin(); old != entries_.end(); ++old) {
        if (old->key.path == entry.key.path) {
            dropped.push_back(std::move(*old));
            entries_.erase(old);
            break;
        }
    }
    if (entries_.size() >= Capacity) {
        dropped.push_back(std::move(entries_.back()));
        entries_.pop_back();
    }
    entries_.insert(entries_.begin(), std::move(entry));
}

}  // namespace quillet
