#include "plugin/HostBuffer.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/Unicode.h"

namespace quillet {
namespace {

constexpr char32_t FirstSupplementary = 0x10000;

// Most of a text is ASCII: a run of it widens byte by byte, without decoding.
void CopyAscii(unsigned char* out, Utf16Copy& copied, const char* ascii, size_t count) {
    if (out != nullptr) {
        unsigned char* unit = out + copied.units * sizeof(char16_t);
        size_t i = 0;
#if defined(__SSE2__)
        // Sixteen characters at a time: each byte widened with a zero byte above it.
        const __m128i zero = _mm_setzero_si128();
        for (; i + 16 <= count; i += 16) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(ascii + i));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(unit + 2 * i),
                             _mm_unpacklo_epi8(bytes, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(unit + 2 * i + 16),
                             _mm_unpackhi_epi8(bytes, zero));
        }
#endif
        for (; i < count; ++i) {
            const auto value = static_cast<char16_t>(static_cast<unsigned char>(ascii[i]));
            std::memcpy(unit + i * sizeof value, &value, sizeof value);
        }
    }
    copied.units += count;
    copied.bytes += count;
}

}  // namespace

void CopyToHostBuffer(char* destination, std::string_view text, int64_t limit) {
    if (destination == nullptr || limit < 0) {
        return;
    }
    const auto count = static_cast<size_t>(
        static_cast<int64_t>(text.size()) < limit ? static_cast<int64_t>(text.size()) : limit);
    if (count > 0) {
        std::memcpy(destination, text.data(), count);  // an empty text may have no data at all
    }
    destination[count] = '\0';
}

Utf16Copy CopyToHostBufferW(void* destination, std::string_view utf8, int64_t limit,
                            bool fromSecondHalf) {
    auto* const out = static_cast<unsigned char*>(destination);
    Utf16Copy copied;
    const auto put = [&](char32_t unit) {
        if (out != nullptr) {
            const auto value = static_cast<char16_t>(unit);
            std::memcpy(out + copied.units * sizeof value, &value, sizeof value);
        }
        ++copied.units;
    };
    const size_t room = limit > 0 ? static_cast<size_t>(limit) : 0;
    while (copied.bytes < utf8.size() && copied.units < room) {
        const size_t ascii = platform::AsciiPrefix(utf8.substr(copied.bytes, room - copied.units));
        if (ascii > 0) {
            CopyAscii(out, copied, utf8.data() + copied.bytes, ascii);
            fromSecondHalf = false;
            continue;
        }
        size_t next = copied.bytes;
        const char32_t c = platform::DecodeUtf8At(utf8, next);
        if (c < FirstSupplementary) {
            put(c);
        } else if (fromSecondHalf) {
            put(0xDC00 + ((c - FirstSupplementary) & 0x3FF));
        } else if (copied.units + 2 <= room) {
            put(0xD800 + ((c - FirstSupplementary) >> 10));
            put(0xDC00 + ((c - FirstSupplementary) & 0x3FF));
        } else {
            break;  // never the first half of a pair without its second
        }
        fromSecondHalf = false;
        copied.bytes = next;
    }
    if (out != nullptr && limit >= 0) {
        const char16_t terminator = 0;
        std::memcpy(out + copied.units * sizeof terminator, &terminator, sizeof terminator);
    }
    return copied;
}

}  // namespace quillet
