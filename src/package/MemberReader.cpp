#include "package/MemberReader.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "package/ZipFormat.h"
#include "package/ZipTypes.h"

namespace quillet::zip {

// Raw deflate data: no zlib header, no Adler-32, a 32 KiB window.
constexpr int RawDeflateWindowBits = -15;

namespace {

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

MemberReader::MemberReader(platform::PackageFile& file, uint64_t prefixLength,
                           const MemberLayout& layout)
    : file_(file),
      prefixLength_(prefixLength),
      method_(layout.method),
      dataPos_(layout.dataOffset),
      restCompressed_(layout.compressedSize),
      restUncompressed_(layout.uncompressedSize) {}

std::unique_ptr<MemberReader> MemberReader::Open(platform::PackageFile& file, uint64_t prefixLength,
                                                 const MemberLayout& layout) {
    std::unique_ptr<MemberReader> reader(new (std::nothrow)
                                             MemberReader(file, prefixLength, layout));
    if (!reader) {
        return nullptr;
    }
    reader->inputBuffer_.reset(new (std::nothrow) unsigned char[ChunkSize]);
    if (!reader->inputBuffer_) {
        return nullptr;
    }
    if (layout.method == MethodDeflated) {
        reader->stream_.zalloc = AllocateForZlib;
        reader->stream_.zfree = FreeForZlib;
        reader->streamReady_ = inflateInit2(&reader->stream_, RawDeflateWindowBits) == Z_OK;
    }
    return reader;
}

uint64_t MemberReader::MaxOutput(uint32_t method, uint32_t compressedSize) {
    if (method == MethodStored) {
        return compressedSize;
    }
    if (method == MethodDeflated) {
        return compressedSize * MaxDeflateRatio;
    }
    return 0;
}

MemberReader::~MemberReader() {
    if (streamReady_) {
        inflateEnd(&stream_);
    }
}

int64_t MemberReader::Read(unsigned char* buffer, uint32_t size) {
    if (size == 0) {
        return 0;
    }
    uint32_t wanted = std::min(size, restUncompressed_);
    stream_.next_out = buffer;
    stream_.avail_out = wanted;
    int64_t count = 0;
    while (wanted > 0) {
        if (stream_.avail_in == 0 && restCompressed_ > 0 && !FillInput()) {
            return ReadError;
        }
        uint32_t delivered = 0;
        bool goOn = true;
        if (method_ == MethodStored) {
            delivered = CopyStored(wanted);
            goOn = stream_.avail_in > 0 || restCompressed_ > 0;
        } else {
            goOn = InflateStep(delivered);
        }
        restUncompressed_ -= delivered;
        wanted -= delivered;
        count += delivered;
        if (!goOn) {
            break;
        }
    }
    return count;
}

bool MemberReader::FillInput() {
    const uint32_t chunk = std::min(ChunkSize, restCompressed_);
    if (!file_.seekable() ||
        file_.ReadAt(dataPos_ + prefixLength_, inputBuffer_.get(), chunk) != chunk) {
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
    shortOfMemory_ = shortOfMemory_ || result == Z_MEM_ERROR;
    return result == Z_OK;
}

}  // namespace quillet::zip
