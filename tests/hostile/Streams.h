#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "support/PackageBuilder.h"

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
    // The stream, finished, and the size and CRC-32 of the text it inflates to.
    std::string Finish() const;
    uint64_t size() const { return size_; }
    uint32_t crc() const { return crc_; }
    // A deflated member of the text, its sizes and CRC-32 as they are.
    MemberOptions Member(const std::string& name) const;

  private:
    void Append(const std::string& flushed, const std::string& text, uint64_t times);

    std::string stream_;
    uint64_t size_ = 0;
    uint32_t crc_ = 0;
};

// Raw deflate of `size` zero bytes.
std::string ZeroStream(uint64_t size);

}  // namespace quillet::test
