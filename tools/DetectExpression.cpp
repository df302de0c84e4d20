#include "DetectExpression.h"

#include <utility>

namespace quillet::host {
namespace {

// Deeper nesting than any real detection string has; the limit keeps a hostile one from
// exhausting the stack of the recursive parser and evaluator.
constexpr int MaxDepth = 64;

char UpperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string UpperAscii(std::string text) {
    for (char& c : text)
        c = UpperAscii(c);
    return text;
}

}  // namespace

// Recursive descent over the text, one function per level of precedence.
class DetectParser {
  public:
    DetectParser(const std::string& text, DetectExpression& expression)
        : text_(text), expression_(expression) {}

    bool ParseAll(std::string& error) {
        const std::optional<size_t> root = ParseOr(0);
        SkipBlanks();
        if (root && position_ < text_.size())
            Fail("unexpected '" + std::string(1, text_[position_]) + "'");
        if (!error_.empty()) {
            error = error_ + " at character " + std::to_string(errorAt_ + 1);
            return false;
        }
        expression_.root_ = *root;
        return true;
    }

  private:
    using Kind = DetectExpression::Kind;

    std::optional<size_t> ParseOr(int depth) {
        return ParseChain(depth, '|', Kind::Or, &DetectParser::ParseAnd);
    }

    std::optional<size_t> ParseAnd(int depth) {
        return ParseChain(depth, '&', Kind::And, &DetectParser::ParseUnary);
    }

    // operand (symbol operand)*, joined to the left.
    std::optional<size_t> ParseChain(int depth, char symbol, Kind kind,
                                     std::optional<size_t> (DetectParser::*operand)(int)) {
        std::optional<size_t> left = (this->*operand)(depth);
        while (left && Accept(symbol)) {
            const std::optional<size_t> right = (this->*operand)(depth);
            if (!right)
                return std::nullopt;
            left = Add({kind, std::string(), *left, *right});
        }
        return left;
    }

    std::optional<size_t> ParseUnary(int depth) {
        if (depth > MaxDepth)
            return Fail("nested too deeply");
        if (Accept('!')) {
            const std::optional<size_t> operand = ParseUnary(depth + 1);
            if (!operand)
                return std::nullopt;
            return Add({Kind::Not, std::string(), *operand, 0});
        }
        if (Accept('(')) {
            const std::optional<size_t> inner = ParseOr(depth + 1);
            if (!inner)
                return std::nullopt;
            if (!Accept(')'))
                return Fail("missing ')'");
            return inner;
        }
        return ParseComparison();
    }

    // EXT="TEXT": the keyword in any letter case, the text without a quote in it.
    std::optional<size_t> ParseComparison() {
        SkipBlanks();
        if (UpperAscii(text_.substr(position_, 3)) != "EXT")
            return Fail(position_ < text_.size() ? "expected EXT=\"...\""
                                                 : "the expression ends too early");
        position_ += 3;
        if (!Accept('='))
            return Fail("expected '=' after EXT");
        if (!Accept('"'))
            return Fail("expected '\"' after EXT=");
        const size_t close = text_.find('"', position_);
        if (close == std::string::npos)
            return Fail("missing closing '\"'");
        std::string extension = UpperAscii(text_.substr(position_, close - position_));
        position_ = close + 1;
        return Add({Kind::Extension, std::move(extension), 0, 0});
    }

    void SkipBlanks() {
        while (position_ < text_.size() && (text_[position_] == ' ' || text_[position_] == '\t'))
            ++position_;
    }

    bool Accept(char symbol) {
        SkipBlanks();
        if (position_ >= text_.size() || text_[position_] != symbol)
            return false;
        ++position_;
        return true;
    }

    size_t Add(DetectExpression::Node node) {
        expression_.nodes_.push_back(std::move(node));
        return expression_.nodes_.size() - 1;
    }

    std::nullopt_t Fail(const std::string& reason) {
        // The first failure is the one to report; the callers unwind after it.
        if (error_.empty()) {
            error_ = reason;
            errorAt_ = position_;
        }
        return std::nullopt;
    }

    const std::string& text_;
    DetectExpression& expression_;
    size_t position_ = 0;
    std::string error_;
    size_t errorAt_ = 0;
};

std::optional<DetectExpression> DetectExpression::Parse(const std::string& text,
                                                        std::string& error) {
    DetectExpression expression;
    DetectParser parser(text, expression);
    if (!parser.ParseAll(error))
        return std::nullopt;
    return expression;
}

bool DetectExpression::Chooses(const std::string& fileName) const {
    return Evaluate(root_, UpperExtension(fileName));
}

bool DetectExpression::Evaluate(size_t node, const std::string& extension) const {
    const Node& at = nodes_[node];
    switch (at.kind) {
        case Kind::Extension:
            return at.extension == extension;
        case Kind::Not:
            return !Evaluate(at.left, extension);
        case Kind::And:
            return Evaluate(at.left, extension) && Evaluate(at.right, extension);
        case Kind::Or:
            return Evaluate(at.left, extension) || Evaluate(at.right, extension);
    }
    return false;
}

std::string UpperExtension(const std::string& fileName) {
#ifdef _WIN32
    const char* const separators = "/\\:";
#else
    const char* const separators = "/";
#endif
    const size_t nameStart = fileName.find_last_of(separators);
    const std::string name =
        nameStart == std::string::npos ? fileName : fileName.substr(nameStart + 1);
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : UpperAscii(name.substr(dot + 1));
}

}  // namespace quillet::host
