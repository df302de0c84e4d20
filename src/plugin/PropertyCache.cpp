#include "plugin/PropertyCache.h"

#include <algorithm>

#include "package/ZipArchive.h"

namespace quillet {
namespace {

size_t TextBytes(const PropertyRecords& records) {
    const CoreProperties& core = records.core;
    const AppProperties& app = records.app;
    const std::string* const texts[] = {
        &core.category,    &core.contentStatus,  &core.contentType, &core.created,
        &core.creator,     &core.description,    &core.identifier,  &core.keywords,
        &core.language,    &core.lastModifiedBy, &core.lastPrinted, &core.modified,
        &core.revision,    &core.subject,        &core.title,       &core.version,
        &app.templateName, &app.manager,         &app.company,      &app.presentationFormat,
        &app.scaleCrop,    &app.hyperlinkBase,   &app.application,  &app.appVersion};
    size_t bytes = 0;
    for (const std::string* text : texts) {
        bytes += text->size();
    }
    return bytes;
}

}  // namespace

std::shared_ptr<const PropertyRecords> LoadPropertyRecords(const char* fileName) {
    auto records = std::make_shared<PropertyRecords>();
    if (const auto archive = ZipArchive::Open(fileName)) {
        records->core.Load(*archive);
        records->app.Load(*archive);
        records->opened = true;
    }
    return records;
}

std::shared_ptr<const PropertyRecords> PropertyCache::Find(const char* path,
                                                           const platform::FileStamp& stamp) {
    const std::lock_guard<std::mutex> lock(mutex_);
    for (auto entry = entries_.begin(); entry != entries_.end(); ++entry) {
        if (entry->path != path) {
            continue;
        }
        if (entry->stamp != stamp) {
            entries_.erase(entry);  // the file was rewritten: what was read of it is stale
            return nullptr;
        }
        std::rotate(entries_.begin(), entry, entry + 1);
        return entries_.front().records;
    }
    return nullptr;
}

void PropertyCache::Keep(const char* path, const platform::FileStamp& stamp,
                         std::shared_ptr<const PropertyRecords> records) {
    if (!records || !records->opened || TextBytes(*records) > MaxKeptText) {
        return;
    }
    Entry entry{path, stamp, std::move(records)};
    const std::lock_guard<std::mutex> lock(mutex_);
    for (auto old = entries_.begin(); old != entries_.end(); ++old) {
        if (old->path == entry.path) {
            entries_.erase(old);
            break;
        }
    }
    if (entries_.size() >= Capacity) {
        entries_.pop_back();
    }
    entries_.insert(entries_.begin(), std::move(entry));
}

}  // namespace quillet
