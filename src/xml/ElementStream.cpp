#include "xml/ElementStream.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <type_traits>

#include "xml/XmlWindow.h"

namespace quillet {
namespace {

// Where TinyXML answers a null pointer.
constexpr size_t Null = std::string::npos;

// Every step at frame level looks at most this far past its position: a byte-order mark, a
// node's opening ("<![CDATA[") or a frame's end tag.
constexpr size_t LookAhead = 64;

constexpr char ByteOrderMark[] = "\xEF\xBB\xBF";

// TinyXML's protected helpers, the very ones its parsers use.
struct TinyXml : TiXmlBase {
    using TiXmlBase::ReadName;
    using TiXmlBase::SkipWhiteSpace;
    using TiXmlBase::StringEqual;
};

// Identify() creates the node that a text at a '<' opens, with the caller as its parent, as
// TinyXML's own parsers do; the parent chain is what bounds the nesting.
class ScratchDocument : public TiXmlDocument {
  public:
    using TiXmlNode::Identify;
};

class FrameElement : public TiXmlElement {
  public:
    FrameElement() : TiXmlElement("") {}
    using TiXmlNode::Identify;
};

// A node or attribute parsed by TinyXML, and where its parse ended (Null when it failed).
template <class Item>
struct Parsed {
    std::unique_ptr<Item> item;
    size_t next;
};

// Thrown when reading has to stop before the text's end.
struct StopReading {
    StreamOutcome outcome;
};

class StreamParser {
  public:
    StreamParser(PartSource& source, const std::vector<const char*>& framePath,
                 const ElementStreamHandlers& handlers)
        : window_(source), path_(framePath), handlers_(handlers), opened_(framePath.size()) {}

    StreamOutcome Run() {
        try {
            return ParseDocument() ? StreamOutcome::Parsed : StreamOutcome::NotParsed;
        } catch (const StopReading& stop) {
            return stop.outcome;
        }
    }

  private:
    char At(size_t offset) const { return *window_.At(offset); }

    // Makes the window reach `offset` unless the text ends before it.
    void Need(size_t offset) {
        if (!window_.Reach(offset) && !window_.whole()) {
            throw StopReading{window_.stop() == SourceEnd::Unreadable ? StreamOutcome::Unreadable
                                                                      : StreamOutcome::Cut};
        }
    }

    // TinyXML's SkipWhiteSpace at `at`, read on until what it stops at does not depend on what
    // follows. Null, as TinyXML answers, when `at` is the end of the text.
    size_t SkipSpace(size_t at) {
        const size_t start = at;
        for (;;) {
            Need(at + LookAhead);
            const char* stopped = TinyXml::SkipWhiteSpace(window_.At(at), encoding_);
            if (stopped == nullptr) {
                return at == start ? Null : at;
            }
            at = window_.OffsetOf(stopped);
            if (window_.whole() || at + LookAhead <= window_.end()) {
                return at;
            }
        }
    }

    // Parses the node or attribute that `make` creates at `at`. A parse that ends before the
    // window's end read nothing behind it (a text cut short ends every parse at its end), so it is
    // the parse of the whole text; any other is tried again, fresh, on a window twice as large,
    // until the text ends.
    template <class Make>
    auto ParseWhole(const Make& make, size_t at) {
        using Item = std::remove_pointer_t<decltype(make(window_.At(at)))>;
        for (;;) {
            std::unique_ptr<Item> item(make(window_.At(at)));
            const char* stopped = item->Parse(window_.At(at), nullptr, encoding_);
            const size_t next = stopped != nullptr ? window_.OffsetOf(stopped) : Null;
            if (window_.whole() || (next != Null && next < window_.end())) {
                return Parsed<Item>{std::move(item), next};
            }
            item.reset();
            Need(at + std::max(2 * (window_.end() - at), XmlWindow::PieceBytes));
        }
    }

    // Whether TinyXML takes the node at `at` (a '<') for an element.
    template <class Parent>
    bool IsElementAt(Parent& parent, size_t at) {
        const std::unique_ptr<TiXmlNode> probe(parent.Identify(window_.At(at), encoding_));
        return probe->ToElement() != nullptr;
    }

    // Whether the element at `at` is the frame `level` looks for: the first of its name there.
    template <class Parent>
    bool OpensFrame(Parent& parent, size_t level, size_t at) {
        if (level >= path_.size() || opened_[level] || !IsElementAt(parent, at)) {
            return false;
        }
        const size_t nameAt = SkipSpace(at + 1);
        Need(nameAt + LookAhead);
        std::string name;
        const char* nameEnd = TinyXml::ReadName(window_.At(nameAt), &name, encoding_);
        // A name running on to the window's end is longer than any frame's.
        const bool complete =
            window_.whole() || (nameEnd != nullptr && nameEnd < window_.At(window_.end()));
        return nameEnd != nullptr && complete && name == path_[level];
    }

    bool ParseDocument() {
        Need(LookAhead);
        if (At(0) == '\0') {
            return false;
        }
        encoding_ = InitialEncoding();
        if (encoding_ == TIXML_ENCODING_UNKNOWN &&
            std::memcmp(window_.At(0), ByteOrderMark, 3) == 0) {
            encoding_ = TIXML_ENCODING_UTF8;
        }
        bool anyNode = false;
        for (size_t at = SkipSpace(0); at != Null && At(at) != '\0';) {
            window_.Release(at);
            if (At(at) != '<') {
                break;  // text at the top ends the document, as TinyXML reads it
            }
            anyNode = true;
            size_t next = Null;
            if (OpensFrame(scratch_, 0, at)) {
                next = ParseFrame(0, scratch_, at);
                if (next == Null) {
                    return false;
                }
            } else {
                Parsed<TiXmlNode> parsed = ParseWhole(
                    [this](const char* p) { return scratch_.Identify(p, encoding_); }, at);
                // Only an element that fails sets the document's error; other nodes that end
                // short end the document.
                if (parsed.next == Null && parsed.item->ToElement() != nullptr) {
                    return false;
                }
                TakeDeclaredEncoding(*parsed.item);
                next = parsed.next;
            }
            at = next == Null ? Null : SkipSpace(next);
        }
        return anyNode;
    }

    // The encoding a part is parsed with: left to TinyXML when a byte-order mark or a declaration
    // opens it, UTF-8 otherwise.
    TiXmlEncoding InitialEncoding() {
        if (std::memcmp(window_.At(0), ByteOrderMark, 3) == 0) {
            return TIXML_ENCODING_UNKNOWN;
        }
        size_t at = 0;
        for (;;) {
            Need(at + LookAhead);
            while (at < window_.end() && std::strchr(" \t\r\n", At(at)) != nullptr &&
                   At(at) != '\0') {
                ++at;
            }
            if (at < window_.end() || window_.whole()) {
                break;
            }
        }
        return std::memcmp(window_.At(at), "<?xml", 5) == 0 ? TIXML_ENCODING_UNKNOWN
                                                            : TIXML_ENCODING_UTF8;
    }

    void TakeDeclaredEncoding(const TiXmlNode& node) {
        const TiXmlDeclaration* declaration = node.ToDeclaration();
        if (encoding_ != TIXML_ENCODING_UNKNOWN || declaration == nullptr) {
            return;
        }
        const char* named = declaration->Encoding();
        const bool utf8 = *named == '\0' ||
                          TinyXml::StringEqual(named, "UTF-8", true, TIXML_ENCODING_UNKNOWN) ||
                          TinyXml::StringEqual(named, "UTF8", true, TIXML_ENCODING_UNKNOWN);
        encoding_ = utf8 ? TIXML_ENCODING_UTF8 : TIXML_ENCODING_LEGACY;
    }

    // TiXmlElement::Parse, step for step, for the frame of `level` at `at`: its children are
    // read one at a time instead of into the tree. Answers where it ended, or Null.
    size_t ParseFrame(size_t level, TiXmlNode& parent, size_t at) {
        opened_[level] = true;
        auto* frame = new FrameElement;
        parent.LinkEndChild(frame);
        size_t p = SkipSpace(at + 1);
        if (p == Null) {
            return Null;
        }
        Need(p + LookAhead);
        std::string name;
        const char* nameEnd = TinyXml::ReadName(window_.At(p), &name, encoding_);
        if (nameEnd == nullptr || *nameEnd == '\0') {
            return Null;
        }
        frame->SetValue(name);
        p = ReadStartTag(*frame, window_.OffsetOf(nameEnd));
        if (p == Null) {
            return Null;
        }
        if (level + 1 == path_.size() && handlers_.frameOpened && !handlers_.frameOpened(*frame)) {
            throw StopReading{StreamOutcome::Abandoned};
        }
        if (At(p) == '/') {
            return p + 2;
        }
        p = ReadFrameContent(level, *frame, p + 1);
        return ReadEndTag(name, p);
    }

    // The attributes up to the '>' or "/>" that closes the start tag; answers where that is.
    size_t ReadStartTag(FrameElement& frame, size_t p) {
        int attributes = 0;
        for (;;) {
            p = SkipSpace(p);
            if (p == Null || At(p) == '\0') {
                return Null;
            }
            if (At(p) == '/') {
                return At(p + 1) == '>' ? p : Null;
            }
            if (At(p) == '>') {
                return p;
            }
            if (++attributes > TIXML_MAX_ATTRIBUTES) {
                return Null;
            }
            p = ReadAttribute(frame, p);
            if (p == Null) {
                return Null;
            }
        }
    }

    size_t ReadAttribute(FrameElement& frame, size_t at) {
        const auto parsed = ParseWhole([](const char*) { return new TiXmlAttribute(); }, at);
        const TiXmlAttribute& attribute = *parsed.item;
        if (parsed.next == Null || At(parsed.next) == '\0' ||
            frame.Attribute(attribute.Name()) != nullptr) {
            return Null;  // no value, or the name given twice
        }
        frame.SetAttribute(attribute.Name(), attribute.Value());
        return parsed.next;
    }

    // TiXmlElement::ReadValue for a frame: answers where its end tag should start, or Null.
    size_t ReadFrameContent(size_t level, FrameElement& frame, size_t p) {
        const bool innermost = level + 1 == path_.size();
        for (p = SkipSpace(p); p != Null && At(p) != '\0';) {
            window_.Release(p);
            size_t next = Null;
            if (At(p) != '<') {
                // Text between the children: its node has no parent, as in ReadValue.
                next = ParseWhole([](const char*) { return new TiXmlText(""); }, p).next;
            } else if (TinyXml::StringEqual(window_.At(p), "</", false, encoding_)) {
                return p;
            } else if (OpensFrame(frame, level + 1, p)) {
                next = ParseFrame(level + 1, frame, p);
            } else {
                Parsed<TiXmlNode> parsed = ParseWhole(
                    [this, &frame](const char* at) { return frame.Identify(at, encoding_); }, p);
                next = parsed.next;
                const TiXmlElement* child = parsed.item->ToElement();
                if (innermost && next != Null && child != nullptr && handlers_.child &&
                    !handlers_.child(*child)) {
                    throw StopReading{StreamOutcome::Abandoned};
                }
            }
            p = next == Null ? Null : SkipSpace(next);
        }
        return p;
    }

    size_t ReadEndTag(const std::string& name, size_t p) {
        if (p == Null || At(p) == '\0') {
            return Null;
        }
        const std::string endTag = "</" + name;
        Need(p + endTag.size() + LookAhead);
        if (!TinyXml::StringEqual(window_.At(p), endTag.c_str(), false, encoding_)) {
            return Null;
        }
        p = SkipSpace(p + endTag.size());
        return p != Null && At(p) == '>' ? p + 1 : Null;
    }

    XmlWindow window_;
    const std::vector<const char*>& path_;
    const ElementStreamHandlers& handlers_;
    std::vector<bool> opened_;
    TiXmlEncoding encoding_ = TIXML_ENCODING_UNKNOWN;
    ScratchDocument scratch_;
};

}  // namespace

StreamOutcome ReadElementStream(PartSource& source, const std::vector<const char*>& framePath,
                                const ElementStreamHandlers& handlers) {
    return StreamParser(source, framePath, handlers).Run();
}

}  // namespace quillet
