#pragma once

#include <cstdint>
#include <memory>

#include <zlib.h>

#include "package/ZipFormat.h"
#include "platform/PackageFile.h"

namespace quillet::zip {

// Where a member's data lies and how it is stored, from its local and central headers.
struct MemberLayout {
    uint32_t method = 0;
    // Archive offset of the first data byte.
    uint64_t dataOffset = 0;
    uint32_t compressedSize = 0;
    uint32_t uncompressedSize = 0;
};

// One member open for extraction: its compressed data read in chunks and, for deflated members,
// zlib's raw inflate, writing straight into the caller's buffer.
class MemberReader {
  public:
    static constexpr uint32_t ChunkSize = 16384;
    // Deflate cannot expand its input more than this many times.
    static constexpr uint64_t MaxDeflateRatio = 1032;

    // The most bytes that the data of a member can yield: a stored member no more than its
    // compressed size, a deflated one no more than MaxDeflateRatio times it.
    static uint64_t MaxOutput(uint32_t method, uint32_t compressedSize);

    // Null when memory for the reader or its input buffer is short. A member whose inflate state
    // cannot be set up opens all the same and delivers nothing.
    static std::unique_ptr<MemberReader> Open(platform::PackageFile& file, uint64_t prefixLength,
                                              const MemberLayout& layout);
    ~MemberReader();
    // False when a deflated member's inflate state could not be set up or its window could not
    // be had: memory was short, not the member damaged.
    bool ready() const { return (method_ != MethodDeflated || streamReady_) && !shortOfMemory_; }
    MemberReader(const MemberReader&) = delete;
    MemberReader& operator=(const MemberReader&) = delete;

    // Delivers up to `size` further bytes of the member, never more than its uncompressed size
    // over all calls; answers the count delivered, or ReadError when the compressed data cannot
    // be read (bytes delivered before stay in the buffer).
    int64_t Read(unsigned char* buffer, uint32_t size);

  private:
    MemberReader(platform::PackageFile& file, uint64_t prefixLength, const MemberLayout& layout);

    bool FillInput();
    uint32_t CopyStored(uint32_t wanted);
    // One inflate call; false when the stream ended or cannot go on.
    bool InflateStep(uint32_t& produced);

    platform::PackageFile& file_;
    const uint64_t prefixLength_;
    std::unique_ptr<unsigned char[]> inputBuffer_;
    z_stream stream_{};
    bool streamReady_ = false;
    bool shortOfMemory_ = false;
    const uint32_t method_;
    uint64_t dataPos_;
    uint32_t restCompressed_;
    uint32_t restUncompressed_;
};

}  // namespace quillet::zip
