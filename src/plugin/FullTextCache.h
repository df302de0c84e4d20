#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "platform/FileStamp.h"

namespace quillet {

// The text of the full-text transfer in progress, kept from one of its calls to the next for the
// file (path, size, modification time) and field it was built for, so that a piece costs no
// rebuild. One text at most: one transfer can be in progress at a time.
class FullTextCache {
  public:
    // The text kept for this file and field, or null.
    std::shared_ptr<const std::string> Find(const char* path, const platform::FileStamp& stamp,
                                            int32_t field);
    // Keeps the text in place of whatever was kept.
    void Keep(const char* path, const platform::FileStamp& stamp, int32_t field,
              std::shared_ptr<const std::string> text);
    void Drop();

  private:
    std::mutex mutex_;
    std::string path_;
    platform::FileStamp stamp_;
    int32_t field_ = -1;
    std::shared_ptr<const std::string> text_;
};

}  // namespace quillet
