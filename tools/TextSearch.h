#pragma once

#include <string>
#include <string_view>

namespace quillet::host {

// Looks for a text in a full text that arrives in pieces, finding it also where it spans two or
// more pieces. With `ignoreCase` the ASCII letters A to Z match a to z; every other byte, those
// from 0x80 up included, matches only itself, whatever the code page makes of it.
class TextSearch {
  public:
    TextSearch(std::string wanted, bool ignoreCase);

    // Starts a new text.
    void Reset() { tail_.clear(); }
    // Takes the next piece; answers whether the text has been found by the end of it.
    bool Feed(std::string_view piece);

  private:
    std::string Folded(std::string_view text) const;

    std::string wanted_;
    bool ignoreCase_;
    // The last bytes seen, one fewer than the wanted text: a match may begin among them.
    std::string tail_;
};

}  // namespace quillet::host
