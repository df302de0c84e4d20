#include "package/MemberReader.h"

#include <algorithm>
#include <cstring>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "package/ZipFormat.h"

namespace quillet::zip {

// Raw deflate data: no zlib header, no Adler-32, a 32 KiB window.
constexpr int RawDeflateWindowBits = -15;

namespace {

size_t XmlSpaceIn(const unsigned char* bytes, size_t count) {
    size_t spaces = 0;
    size_t i = 0;
#if defined(__SSE2__)
    // Every inflated byte passes here: sixteen at a time.
    const __m128i space = _mm_set1_epi8(' ');
    const __m128i tab = _mm_set1_epi8('\t');
    const __m128i carriageReturn = _mm_set1_epi8('\r');
    const __m128i lineFeed = _mm_set1_epi8('\n');
    while (i + 16 <= count) {
        // Each lane counts its matches (a match is -1) for at most 255 chunks, then the lanes
        // are summed.
        __m128i lanes = _mm_setzero_si128();
        for (int chunks = 0; chunks < 255 && i + 16 <= count; ++chunks, i += 16) {
            const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
            const __m128i matches =
                _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(chunk, space), _mm_cmpeq_epi8(chunk, tab)),
                             _mm_or_si128(_mm_cmpeq_epi8(chunk, carriageReturn),
                                          _mm_cmpeq_epi8(chunk, lineFeed)));
            lanes = _mm_sub_epi8(lanes, matches);
        }
        const __m128i sums = _mm_sad_epu8(lanes, _mm_setzero_si128());
        spaces += static_cast<size_t>(_mm_cvtsi128_si32(sums)) +
                  static_cast<size_t>(_mm_cvtsi128_si32(_mm_srli_si128(sums, 8)));
    }
#endif
    for (; i < count; ++i) {
        const unsigned char c = bytes[i];
        spaces += (c == ' ') | (c == '\t') | (c == '\r') | (c == '\n');
    }
    return spaces;
}

// zlib's window and state come from the same allocator as everything else, so a host short of
// memory fails them the same way (inflateInit2 then answers Z_MEM_ERROR).
voidpf AllocateForZlib(voidpf /*opaque*/, uInt items, uInt size) {
    if (size != 0 && items > static_cast<uInt>(-1) / size) {
        return Z_NULL;
    }
    return ::operator new(static_cast<size_t>(items) * size, std::nothrow);
}

void FreeForZlib(voidpf /*opaque*/, voidpf address) {
    ::operator delete(address);
}

}  // namespace

MemberReader::MemberReader(ArchiveFile& file, RequestBudget& budget, const MemberLayout& layout)
    : file_(file),
      budget_(budget),
      layout_(layout),
      dataPos_(layout.dataPosition),
      restCompressed_(layout.compressedSize),
      restUncompressed_(layout.uncompressedSize) {}

std::unique_ptr<MemberReader> MemberReader::Open(ArchiveFile& file, RequestBudget& budget,
                                                 const MemberLayout& layout) {
    std::unique_ptr<MemberReader> reader(new (std::nothrow) MemberReader(file, budget, layout));
    if (reader) {
        reader->inputBuffer_.reset(new (std::nothrow) unsigned char[ChunkSize]);
    }
    if (!reader || !reader->inputBuffer_) {
        file.NotePassingFailure();
        return nullptr;
    }
    if (layout.method == MethodDeflated) {
        reader->stream_.zalloc = AllocateForZlib;
        reader->stream_.zfree = FreeForZlib;
        reader->streamReady_ = inflateInit2(&reader->stream_, RawDeflateWindowBits) == Z_OK;
        if (!reader->streamReady_) {
            file.NotePassingFailure();  // memory was short, not the member damaged
        }
    }
    return reader;
}

uint64_t MemberReader::deliverableSize() const {
    uint64_t most = 0;
    if (layout_.method == MethodStored) {
        most = layout_.compressedSize;
    } else if (layout_.method == MethodDeflated) {
        most = layout_.compressedSize * MaxDeflateRatio;
    }
    return std::min<uint64_t>(layout_.uncompressedSize, most);
}

MemberReader::~MemberReader() {
    if (streamReady_) {
        inflateEnd(&stream_);
    }
}

uint32_t MemberReader::Read(unsigned char* buffer, uint32_t size) {
    if (size == 0 || !status_.ok()) {
        return 0;
    }
    uint32_t wanted = std::min(size, restUncompressed_);
    stream_.next_out = buffer;
    stream_.avail_out = wanted;
    const uLong consumedBefore = stream_.total_in;
    uint32_t count = 0;
    bool goOn = true;
    while (wanted > 0 && goOn) {
        if (stream_.avail_in == 0 && restCompressed_ > 0 && !FillInput()) {
            status_ = Status::Unreadable("the data cannot be read");
            return 0;
        }
        uint32_t delivered = 0;
        if (layout_.method == MethodStored) {
            delivered = CopyStored(wanted);
            goOn = stream_.avail_in > 0 || restCompressed_ > 0;
        } else {
            goOn = InflateStep(delivered);
        }
        restUncompressed_ -= delivered;
        wanted -= delivered;
        count += delivered;
    }
    // White space is let go as it is read, never parsed into nodes: it costs no more than the
    // inflating, so it does not count against what a small file may claim.
    budget_.CountInflation(stream_.total_in - consumedBefore, count - XmlSpaceIn(buffer, count));
    if (count > 0) {
        crc_ = static_cast<uint32_t>(crc32(crc_, buffer, count));
    }
    if (!goOn || restUncompressed_ == 0) {
        CheckCrc();
    }
    return status_.ok() ? count : 0;
}

void MemberReader::CheckCrc() {
    if (ended_) {
        return;
    }
    ended_ = true;
    if (crc_ != layout_.crc) {
        status_ = Status::Unreadable("the data does not give its CRC-32");
        file_.NotePassingFailure();
    }
}

bool MemberReader::FillInput() {
    const uint32_t chunk = std::min(ChunkSize, restCompressed_);
    if (!file_.ReadExactly(dataPos_, inputBuffer_.get(), chunk)) {
        return false;
    }
    dataPos_ += chunk;
    restCompressed_ -= chunk;
    stream_.next_in = inputBuffer_.get();
    stream_.avail_in = chunk;
    return true;
}

uint32_t MemberReader::CopyStored(uint32_t wanted) {
    const uint32_t copied = std::min(wanted, static_cast<uint32_t>(stream_.avail_in));
    if (copied > 0) {
        std::memcpy(stream_.next_out, stream_.next_in, copied);
    }
    stream_.next_out += copied;
    stream_.avail_out -= copied;
    stream_.next_in += copied;
    stream_.avail_in -= copied;
    stream_.total_in += copied;
    stream_.total_out += copied;
    return copied;
}

bool MemberReader::InflateStep(uint32_t& produced) {
    produced = 0;
    if (!streamReady_) {
        return false;
    }
    const uLong before = stream_.total_out;
    // Never Z_FINISH: the caller may take the member in pieces.
    const int result = inflate(&stream_, Z_SYNC_FLUSH);
    produced = static_cast<uint32_t>(stream_.total_out - before);
    if (result == Z_MEM_ERROR) {
        file_.NotePassingFailure();
    }
    return result == Z_OK;
}

}  // namespace quillet::zip
