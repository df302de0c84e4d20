#pragma once

#include <cstdint>
#include <memory>

#include <zlib.h>

#include "package/ArchiveFile.h"
#include "package/RequestBudget.h"
#include "package/Status.h"

namespace quillet::zip {

// Where a member's data lies and how it is stored, from its local and central headers.
struct MemberLayout {
    uint32_t method = 0;
    uint64_t dataPosition = 0;  // of the first data byte in the file
    uint32_t compressedSize = 0;
    uint32_t uncompressedSize = 0;
    uint32_t crc = 0;
};

// One member open for reading: its compressed data read in chunks and, for deflated members,
// zlib's raw inflate, writing straight into the caller's buffer. What inflate consumes and
// delivers is counted in the request's budget.
class MemberReader {
  public:
    static constexpr uint32_t ChunkSize = 16384;
    // Deflate cannot expand its input more than this many times.
    static constexpr uint64_t MaxDeflateRatio = 1032;

    // Null when memory for the reader or its input buffer is short (noted as a failure that
    // passes). A member whose inflate state cannot be set up opens all the same and delivers
    // nothing.
    static std::unique_ptr<MemberReader> Open(ArchiveFile& file, RequestBudget& budget,
                                              const MemberLayout& layout);
    ~MemberReader();
    MemberReader(const MemberReader&) = delete;
    MemberReader& operator=(const MemberReader&) = delete;

    // Delivers up to `size` further bytes of the member, never more than its uncompressed size
    // over all calls; fewer only where the member's data ends or cannot be read.
    uint32_t Read(unsigned char* buffer, uint32_t size);
    // Unreadable once the compressed data could not be read, or when the data, read to its
    // end, does not give the CRC-32 the directory holds (a read torn by a change of the file, or
    // a damaged member): the bytes delivered then are not the member's.
    Status status() const { return status_; }

    // The most bytes the member can deliver: its declared size, bounded by what its compressed
    // data can yield (a stored member no more than its compressed size, a deflated one no more
    // than MaxDeflateRatio times it).
    uint64_t deliverableSize() const;
    uint32_t declaredSize() const { return layout_.uncompressedSize; }

  private:
    MemberReader(ArchiveFile& file, RequestBudget& budget, const MemberLayout& layout);

    bool FillInput();
    uint32_t CopyStored(uint32_t wanted);
    // One inflate call; false when the stream ended or cannot go on.
    bool InflateStep(uint32_t& produced);
    // The data ended: its CRC-32 must be the directory's.
    void CheckCrc();

    ArchiveFile& file_;
    RequestBudget& budget_;
    const MemberLayout layout_;
    std::unique_ptr<unsigned char[]> inputBuffer_;
    z_stream stream_{};
    bool streamReady_ = false;
    uint64_t dataPos_;
    uint32_t restCompressed_;
    uint32_t restUncompressed_;
    uint32_t crc_ = 0;
    bool ended_ = false;
    Status status_;
};

}  // namespace quillet::zip
