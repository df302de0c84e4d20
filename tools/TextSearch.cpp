#include "TextSearch.h"

#include <algorithm>
#include <utility>

#include "CaseFolding.h"

namespace quillet::host {

TextSearch::TextSearch(const std::vector<std::string>& wanted, bool ignoreCase)
    : ignoreCase_(ignoreCase) {
    for (const std::string& text : wanted) {
        wanted_.push_back(ignoreCase_ ? FoldUtf8(text) : text);
        keep_ = std::max(keep_, wanted_.back().empty() ? 0 : wanted_.back().size() - 1);
    }
}

void TextSearch::Reset() {
    tail_.clear();
    unfinished_.clear();
}

bool TextSearch::Feed(std::string_view piece) {
    if (!ignoreCase_)
        return Search(tail_ + std::string(piece));
    std::string text = std::move(unfinished_) + std::string(piece);
    const size_t unfinished = UnfinishedUtf8Tail(text);
    unfinished_ = text.substr(text.size() - unfinished);
    text.resize(text.size() - unfinished);
    return Search(tail_ + FoldUtf8(text));
}

bool TextSearch::Finish() {
    if (unfinished_.empty())
        return false;
    return Search(tail_ + std::exchange(unfinished_, std::string()));
}

bool TextSearch::Search(std::string window) {
    for (const std::string& wanted : wanted_)
        if (window.find(wanted) != std::string::npos)
            return true;
    tail_ = window.size() > keep_ ? window.substr(window.size() - keep_) : std::move(window);
    return false;
}

}  // namespace quillet::host
