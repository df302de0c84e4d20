#include "plugin/FullTextCache.h"

namespace quillet {

std::shared_ptr<const std::string> FullTextCache::Find(const char* path,
                                                       const platform::FileStamp& stamp,
                                                       int32_t field) {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (text_ && field_ == field && stamp_ == stamp && path_ == path) {
        return text_;
    }
    return nullptr;
}

void FullTextCache::Keep(const char* path, const platform::FileStamp& stamp, int32_t field,
                         std::shared_ptr<const std::string> text) {
    std::string kept(path);
    const std::lock_guard<std::mutex> lock(mutex_);
    path_.swap(kept);
    stamp_ = stamp;
    field_ = field;
    // The text it replaces is released outside the lock, with `text`.
    text_.swap(text);
}

void FullTextCache::Drop() {
    std::shared_ptr<const std::string> dropped;
    std::string path;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        dropped.swap(text_);
        path.swap(path_);
        field_ = -1;
    }
}

}  // namespace quillet
