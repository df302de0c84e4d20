#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillet::host {

// Looks for any of several texts in a full text that arrives in pieces, finding them also where
// they span two or more pieces. With `ignoreCase` both sides are compared after Unicode simple
// case folding of their UTF-8; bytes that are not UTF-8 match only themselves.
class TextSearch {
  public:
    TextSearch(const std::vector<std::string>& wanted, bool ignoreCase);

    // Starts a new text.
    void Reset();
    // Takes the next piece; answers whether a wanted text has been found by the end of it.
    bool Feed(std::string_view piece);
    // Ends the text: answers whether the bytes held back for a character the last piece did not
    // finish complete a match.
    bool Finish();

  private:
    bool Search(std::string window);

    std::vector<std::string> wanted_;
    bool ignoreCase_;
    // The last bytes seen, one fewer than the longest wanted text: a match may begin among them.
    std::string tail_;
    size_t keep_ = 0;
    // With ignoreCase: the start of a character that the next piece finishes.
    std::string unfinished_;
};

}  // namespace quillet::host
