#pragma once

#include <cstddef>
#include <string>

namespace quillet::host {

// One updating line on standard error while many files are read, shown only when standard error
// is a terminal; cleared before anything else is printed and at the end.
class Progress {
  public:
    explicit Progress(size_t total);
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    // Shows that file number `done` (counting from 1) is being read.
    void Show(size_t done, const std::string& file);
    // Removes the line, if one stands.
    void Clear();

    // More files than this are worth a progress line.
    static constexpr size_t MinFiles = 50;

  private:
    bool active_;
    size_t total_;
    size_t shownWidth_ = 0;
};

}  // namespace quillet::host
