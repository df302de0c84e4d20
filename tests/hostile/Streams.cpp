#include "hostile/Streams.h"

#include <zlib.h>

#include <algorithm>

namespace quillet::test {
namespace {

// Deflated and flushed with a fresh dictionary: byte-aligned and not final, so streams of this
// kind can follow each other.
std::string Flushed(const std::string& text) {
    z_stream stream{};
    deflateInit2(&stream, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    std::string in = text;
    std::string out(deflateBound(&stream, static_cast<uLong>(in.size())) + 16, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(in.data());
    stream.avail_in = static_cast<uInt>(in.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FULL_FLUSH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

constexpr uint64_t BlockBytes = 1u << 20;

}  // namespace

void RepeatedStream::Append(const std::string& flushed, const std::string& text,
                            uint64_t times) {
    const auto textCrc = crc32(0, reinterpret_cast<const Bytef*>(text.data()),
                               static_cast<uInt>(text.size()));
    for (uint64_t i = 0; i < times; ++i) {
        stream_ += flushed;
        crc_ = static_cast<uint32_t>(
            crc32_combine(crc_, textCrc, static_cast<z_off_t>(text.size())));
    }
    size_ += text.size() * times;
}

RepeatedStream& RepeatedStream::Add(const std::string& text) {
    Append(Flushed(text), text, 1);
    return *this;
}

RepeatedStream& RepeatedStream::Repeat(const std::string& unit, uint64_t times) {
    const uint64_t perBlock = std::max<uint64_t>(1, BlockBytes / unit.size());
    std::string block;
    for (uint64_t i = 0; i < std::min(perBlock, times); ++i) {
        block += unit;
    }
    Append(Flushed(block), block, times / perBlock);
    std::string rest;
    for (uint64_t i = 0; i < times % perBlock; ++i) {
        rest += unit;
    }
    if (!rest.empty()) {
        Append(Flushed(rest), rest, 1);
    }
    return *this;
}

std::string RepeatedStream::Finish() const {
    return stream_ + std::string("\x03\x00", 2);  // an empty final block
}

MemberOptions RepeatedStream::Member(const std::string& name) const {
    MemberOptions member;
    member.name = name;
    member.method = 8;
    member.rawData = Finish();
    member.centralUncompressedSize = static_cast<uint32_t>(size_);
    member.localUncompressedSize = static_cast<uint32_t>(size_);
    member.centralCrc = crc_;
    member.localCrc = crc_;
    return member;
}

std::string ZeroStream(uint64_t size) {
    return RepeatedStream().Repeat(std::string(1, '\0'), size).Finish();
}

}  // namespace quillet::test
