#include "text/DocumentText.h"

#include "plugin/FullTextPaging.h"

namespace quillet {

std::string TakePiece(const std::string& text, int64_t offset, int64_t maxLen) {
    const auto size = static_cast<int64_t>(text.size());
    if (offset + maxLen > size) {
        maxLen = size - offset;
    }
    if (maxLen <= 0 || offset < 0 || offset >= size) {
        return std::string();
    }
    return text.substr(static_cast<size_t>(offset), static_cast<size_t>(maxLen));
}

void DocumentText::BuildContent() {
    workText.clear();
    contentText = workText;
}

void DocumentText::BuildTitles() {
    titlesText.clear();
}

std::string DocumentText::ContentPiece(int32_t maxLen) const {
    return TakePiece(contentText, FullTextOffset(), maxLen);
}

std::string DocumentText::TitlesPiece(int32_t maxLen) const {
    return TakePiece(titlesText, FullTextOffset(), maxLen);
}

}  // namespace quillet
