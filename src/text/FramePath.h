#pragma once

#include <array>
#include <cstddef>
#include <cstring>

#include <tinyxml.h>

namespace quillet {

// The frames a reader walks down to, as a whole-tree reader finds them: the first element of the
// first name at the top of the part, in it the first child element of the second name, and so
// on. Elements beside them are skipped; every element deeper than the last is inside all.
class FramePath {
  public:
    static constexpr int MaxFrames = 3;

    FramePath(const char* first, const char* second = nullptr, const char* third = nullptr)
        : names_{first, second, third} {}

    int count() const {
        int count = 0;
        while (count < MaxFrames && names_[static_cast<size_t>(count)] != nullptr) {
            ++count;
        }
        return count;
    }
    // Whether the element, at a depth no deeper than count(), opens the frame of its depth.
    bool Opens(const TiXmlElement& element, int depth) {
        if (reached_ + 1 != depth ||
            std::strcmp(element.Value(), names_[static_cast<size_t>(depth - 1)]) != 0) {
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
    std::array<const char*, MaxFrames> names_;
    int reached_ = 0;
};

}  // namespace quillet
