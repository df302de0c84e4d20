#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quillet::host {

// A module's detection string, parsed once, deciding which files to hand over as a file manager
// does. The grammar: comparisons EXT="..." joined by ! (not), & (and) and | (or), in that order
// of precedence, with parentheses; blanks between the parts are ignored.
class DetectExpression {
  public:
    // Parses the text; on failure answers nothing and says where and why in `error`.
    static std::optional<DetectExpression> Parse(const std::string& text, std::string& error);

    // Whether the expression chooses a file with this name (a path or a bare name). Extensions
    // are compared without regard to ASCII letter case.
    bool Chooses(const std::string& fileName) const;

  private:
    enum class Kind { Extension, Not, And, Or };
    struct Node {
        Kind kind = Kind::Extension;
        std::string extension;  // upper case, for Kind::Extension
        size_t left = 0;        // operand of Not; left operand of And, Or
        size_t right = 0;       // right operand of And, Or
    };
    friend class DetectParser;

    bool Evaluate(size_t node, const std::string& extension) const;

    std::vector<Node> nodes_;
    size_t root_ = 0;
};

// The extension of a file name as a file manager sees it: what follows the last dot of the last
// path component, in upper case; empty when that component has no dot.
std::string UpperExtension(const std::string& fileName);

}  // namespace quillet::host
