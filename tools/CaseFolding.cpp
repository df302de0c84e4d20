#include "CaseFolding.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "platform/Unicode.h"

namespace quillet::host {
namespace {

// `count` code points from `first`, `stride` apart, each folding to itself plus `delta`.
struct FoldingRun {
    uint32_t first;
    uint16_t count;
    uint8_t stride;
    int32_t delta;
};

constexpr FoldingRun FoldingRuns[] = {
#include "CaseFoldingTable.inc"
};

constexpr char32_t ReplacementCharacter = 0xFFFD;
constexpr std::string_view ReplacementUtf8 = "\xEF\xBF\xBD";

char FoldAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

char32_t FoldCase(char32_t c) {
    // The last run that starts at or before c; runs never overlap.
    const auto after =
        std::upper_bound(std::begin(FoldingRuns), std::end(FoldingRuns), c,
                         [](char32_t code, const FoldingRun& run) { return code < run.first; });
    if (after == std::begin(FoldingRuns))
        return c;
    const FoldingRun& run = *std::prev(after);
    const uint32_t offset = static_cast<uint32_t>(c) - run.first;
    if (offset % run.stride != 0 || offset / run.stride >= run.count)
        return c;
    return static_cast<char32_t>(static_cast<int64_t>(c) + run.delta);
}

std::string FoldUtf8(std::string_view text) {
    std::string folded;
    folded.reserve(text.size());
    for (size_t position = 0; position < text.size();) {
        if (static_cast<unsigned char>(text[position]) < 0x80) {
            folded += FoldAscii(text[position++]);
            continue;
        }
        const size_t start = position;
        const char32_t c = platform::DecodeUtf8At(text, position);
        const std::string_view bytes = text.substr(start, position - start);
        if (c == ReplacementCharacter && bytes != ReplacementUtf8)
            folded += bytes;  // not UTF-8: kept as it is
        else
            platform::AppendUtf8(folded, FoldCase(c));
    }
    return folded;
}

size_t UnfinishedUtf8Tail(std::string_view text) {
    for (size_t back = 1; back <= std::min<size_t>(3, text.size()); ++back) {
        const std::string_view tail = text.substr(text.size() - back);
        if (platform::IsUtf8Continuation(tail.front()))
            continue;
        // A lead byte whose character the text cuts: the decoder takes all that follows it as
        // one ill-formed sequence, the start of a character the next piece may finish.
        const auto lead = static_cast<unsigned char>(tail.front());
        size_t end = 0;
        const bool cut = lead >= 0xC2 && lead <= 0xF4 &&
                         platform::DecodeUtf8At(tail, end) == ReplacementCharacter && end == back &&
                         tail != ReplacementUtf8;
        return cut ? back : 0;
    }
    return 0;
}

}  // namespace quillet::host
