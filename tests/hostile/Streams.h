#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace quillet::test {

// Raw deflate streams of large texts, made without holding or compressing the whole text: each
// piece is deflated once and flushed to a byte boundary with a fresh dictionary, so its stream
// can be repeated as often as the piece repeats.
class RepeatedStream {
  public:
    // Appends `text` once.
    RepeatedStream& Add(const std::string& text);
    // Appends `unit` `times` times.
    RepeatedStream& Repeat(const std::string& unit, uint64_t times);
    // The stream, finished, and the size of the text it inflates to.
    std::string Finish() const;
    uint64_t size() const { return size_; }

  private:
    std::string stream_;
    uint64_t size_ = 0;
};

// Raw deflate of `size` zero bytes.
std::string ZeroStream(uint64_t size);

}  // namespace quillet::test
