#include "TextSearch.h"

#include <utility>

namespace quillet::host {

TextSearch::TextSearch(std::string wanted, bool ignoreCase)
    : wanted_(std::move(wanted)), ignoreCase_(ignoreCase) {
    wanted_ = Folded(wanted_);
}

bool TextSearch::Feed(std::string_view piece) {
    std::string window = tail_ + Folded(piece);
    if (window.find(wanted_) != std::string::npos)
        return true;
    const size_t keep = wanted_.empty() ? 0 : wanted_.size() - 1;
    tail_ = window.size() > keep ? window.substr(window.size() - keep) : std::move(window);
    return false;
}

std::string TextSearch::Folded(std::string_view text) const {
    std::string out(text);
    if (ignoreCase_) {
        for (char& c : out)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

}  // namespace quillet::host
