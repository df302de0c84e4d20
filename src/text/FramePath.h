#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include <tinyxml.h>

#include "xml/ElementNames.h"

namespace quillet {

// The frames a reader walks down to, as a whole-tree reader finds them: the first element of the
// first name at the top of the part, in it the first child element of the second name, and so
// on. Elements beside them are skipped; every element deeper than the last is inside all.
class FramePath {
  public:
    static constexpr int MaxFrames = 3;

    FramePath(const char* first, const char* second = nullptr, const char* third = nullptr)
        : names_{NameOf(first), NameOf(second), NameOf(third)} {}

    int count() const {
        int count = 0;
        while (count < MaxFrames && !names_[static_cast<size_t>(count)].empty()) {
            ++count;
        }
        return count;
    }
    // Whether the element, at a depth no deeper than count(), opens the frame of its depth.
    bool Opens(const TiXmlElement& element, int depth) {
        if (reached_ + 1 != depth ||
            !IsNamed(element, names_[static_cast<size_t>(depth - 1)])) {
            return false;
        }
        reached_ = depth;
        return true;
    }
    // An element at a depth no deeper than count() ends.
    void Closed(int depth) {
        if (reached_ == depth) {
            reached_ = Finished;  // later elements of the name are no frames
        }
    }
    // Inside the last frame.
    bool inside() const { return reached_ == count(); }

  private:
    static constexpr int Finished = 1000;
    static std::string_view NameOf(const char* name) {
        return name != nullptr ? std::string_view(name) : std::string_view();
    }
    std::array<std::string_view, MaxFrames> names_;
    int reached_ = 0;
};

}  // namespace quillet
