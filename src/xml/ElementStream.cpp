#include "xml/ElementStream.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>

#include "xml/KeptWhiteSpace.h"
#include "xml/XmlPart.h"
#include "xml/XmlWindow.h"

namespace quillet {
namespace {

// Where TinyXML answers a null pointer: no offset.
constexpr size_t NoOffset = std::string::npos;

// Every step between nodes looks at most this far past its position: a byte-order mark, a node's
// opening ("<![CDATA[") or a name's first bytes.
constexpr size_t LookAhead = 64;

// An element is first parsed whole by TinyXML within this many bytes of its start, which no
// row, paragraph or shared string of a real document passes; its tree then costs a few MiB at
// most. A larger one is read step for step.
constexpr size_t WholeElementBytes = 64 * 1024;

// What the attributes of the elements read step for step may hold at once, counted as TinyXML
// takes them: their names, their values and BytesPerAttribute each.
constexpr size_t MaxOpenAttributeBytes = size_t{16} << 20;
constexpr size_t BytesPerAttribute = 128;

constexpr char ByteOrderMark[] = "\xEF\xBB\xBF";

// TinyXML's protected helpers, the very ones its parsers use.
struct TinyXml : TiXmlBase {
    using TiXmlBase::IsWhiteSpace;
    using TiXmlBase::ReadName;
    using TiXmlBase::SkipWhiteSpace;
    using TiXmlBase::StringEqual;
};

// Identify() creates the node that a text at a '<' opens, with the given parent, as TinyXML's
// own parsers do: the parent chain is what gives an element its depth.
struct NodeAccess : TiXmlNode {
    static TiXmlNode* IdentifyUnder(TiXmlNode& parent, const char* at, TiXmlEncoding encoding) {
        return (parent.*&NodeAccess::Identify)(at, encoding);
    }
};

// The start tag of an element read step for step: its name and attributes, linked under its
// parent so that what is parsed inside it has its depth.
class FrameElement : public TiXmlElement {
  public:
    FrameElement() : TiXmlElement("") {}
};

// A node or attribute parsed by TinyXML, and where its parse ended (NoOffset when it failed).
template <class Item>
struct Parsed {
    std::unique_ptr<Item> item;
    size_t next;
};

// Gives a node TinyXML made for the stream, and all below it, back to the stream's pool: the
// next rows or paragraphs are built from the same storage.
struct FreeIntoPool {
    TiXmlNodePool* pool;
    void operator()(TiXmlNode* node) const { pool->Free(node); }
};
using PooledNode = std::unique_ptr<TiXmlNode, FreeIntoPool>;

// The node as an element, or null: its type is read without the virtual ToElement() call, once
// for every node of every tree.
const TiXmlElement* AsElement(const TiXmlNode& node) {
    return node.Type() == TiXmlNode::TINYXML_ELEMENT ? static_cast<const TiXmlElement*>(&node)
                                                     : nullptr;
}

bool IsBlank(const TiXmlText& text) {
    const std::string& value = text.ValueStr();
    return std::all_of(value.begin(), value.end(), [](char c) { return TinyXml::IsWhiteSpace(c); });
}

// What parsing costs, in the units of the request's node budget (RequestBudget::MaxNodes): each
// node and attribute TinyXML builds is one; each call into its parser costs as much as a few
// small nodes; an element's attributes are compared with each other as each is added; and text
// is copied byte by byte.
constexpr uint64_t CostPerParse = 4;
constexpr uint64_t AttributeComparisonsPerUnit = 16;
constexpr uint64_t TextBytesPerUnit = 16;

uint64_t CostOfAttributes(uint64_t count) {
    return count + count * (count - 1) / 2 / AttributeComparisonsPerUnit;
}

// What building a tree TinyXML parsed, whole or cut short, cost.
uint64_t CostOf(const TiXmlNode& root) {
    uint64_t cost = CostPerParse;
    for (const TiXmlNode* node = &root;;) {
        ++cost;
        if (const TiXmlElement* element = AsElement(*node)) {
            uint64_t attributes = 0;
            for (const TiXmlAttribute* a = element->FirstAttribute(); a != nullptr; a = a->Next()) {
                ++attributes;
            }
            cost += attributes > 0 ? CostOfAttributes(attributes) : 0;
        } else {
            cost += node->ValueStr().size() / TextBytesPerUnit;
        }
        if (node->FirstChild() != nullptr) {
            node = node->FirstChild();
            continue;
        }
        while (node != &root && node->NextSibling() == nullptr) {
            node = node->Parent();
        }
        if (node == &root) {
            return cost;
        }
        node = node->NextSibling();
    }
}

class StreamParser {
  public:
    StreamParser(PartSource& source, ElementHandler& handler, TextSpace space)
        : window_(source), budget_(source.budget()), handler_(handler) {
        keepSpace_ = space == TextSpace::Kept && KeepWhiteSpace(scratch_);
        scratch_.SetNodePool(&pool_);
    }

    Status Run() {
        const bool parsed = ParseDocument();
        if (!stop_.ok()) {
            return stop_;
        }
        return parsed ? Status::Ok() : Status::NotParsed();
    }

  private:
    // An element read step for step, for as long as it is being read.
    class OpenFrame {
      public:
        OpenFrame(StreamParser& parser, TiXmlNode& parent)
            : parser_(parser), parent_(parent), element_(new FrameElement) {
            parent_.LinkEndChild(element_);
        }
        ~OpenFrame() {
            parser_.openAttributeBytes_ -= attributeBytes_;
            parent_.RemoveChild(element_);
        }
        OpenFrame(const OpenFrame&) = delete;
        OpenFrame& operator=(const OpenFrame&) = delete;

        FrameElement& element() { return *element_; }
        // False when the attributes of the open elements would hold too much: reading stops.
        bool Add(const TiXmlAttribute& attribute) {
            const size_t bytes =
                attribute.NameTStr().size() + attribute.ValueStr().size() + BytesPerAttribute;
            attributeBytes_ += bytes;
            parser_.openAttributeBytes_ += bytes;
            if (parser_.openAttributeBytes_ > MaxOpenAttributeBytes) {
                return parser_.Stop(Status::Cut("the attributes of the open elements"));
            }
            element_->SetAttribute(attribute.Name(), attribute.Value());
            return true;
        }

      private:
        StreamParser& parser_;
        TiXmlNode& parent_;
        FrameElement* element_;
        size_t attributeBytes_ = 0;
    };

    char At(size_t offset) const { return *window_.At(offset); }

    // Reading ends before the text's end, for `why`: every step after answers as a failed one
    // (NoOffset, false), and nothing more is read, built or handed over. Answers false.
    bool Stop(Status why) {
        if (stop_.ok()) {
            stop_ = std::move(why);
        }
        return false;
    }
    bool stopped() const { return !stop_.ok(); }

    // Makes the window reach `offset` unless the text ends before it; false when reading stops.
    bool Need(size_t offset) {
        if (stopped()) {
            return false;
        }
        if (!window_.Reach(offset) && !window_.whole()) {
            return Stop(window_.stop() == Status::Code::Unreadable
                            ? Status::Unreadable()
                            : Status::Cut("the request's bytes, or one node past the window"));
        }
        return true;
    }

    bool TakeNodes(uint64_t cost) {
        return !stopped() && (budget_.TakeNodes(cost) || Stop(Status::Cut("the request's nodes")));
    }

    // Nothing more is parsed once the request's budget is spent: what a parse costs is taken
    // after it, so the last one may take more than was left, never a second.
    bool EnsureNodesLeft() {
        return !stopped() && (budget_.nodesLeft() > 0 || Stop(Status::Cut("the request's nodes")));
    }

    TiXmlNode* Identify(TiXmlNode& parent, size_t at) {
        return NodeAccess::IdentifyUnder(parent, window_.At(at), encoding_);
    }

    PooledNode IdentifyPooled(TiXmlNode& parent, size_t at) {
        return PooledNode(Identify(parent, at), FreeIntoPool{&pool_});
    }

    // TinyXML's SkipWhiteSpace at `at`, read on until what it stops at does not depend on what
    // follows; the white space is let go as it is read. NoOffset, as TinyXML answers, when `at`
    // is the end of the text.
    size_t SkipSpace(size_t at, std::string* skipped = nullptr) {
        const size_t start = at;
        for (;;) {
            window_.Release(at);
            if (!Need(at + LookAhead)) {
                return NoOffset;
            }
            const char* end = TinyXml::SkipWhiteSpace(window_.At(at), encoding_);
            if (end == nullptr) {
                return at == start ? NoOffset : at;
            }
            if (skipped != nullptr) {
                Record(*skipped, window_.At(at), end);
            }
            at = window_.OffsetOf(end);
            if (window_.whole() || at + LookAhead <= window_.end()) {
                return at;
            }
        }
    }

    // The white space before an element's text, which a reading that keeps white space puts in
    // front of the text as TinyXML does (it parses the text from before the white space). Held
    // only up to what the window could hold; past that, a text after it ends the reading.
    void Record(std::string& skipped, const char* from, const char* to) {
        const auto length = static_cast<size_t>(to - from);
        if (skipped.size() + length > XmlWindow::MaxBytes) {
            skippedTooLong_ = true;
            return;
        }
        skipped.append(from, length);
    }

    // SkipSpace between an element's children, keeping what it skips where texts keep it.
    size_t SkipSpaceInContent(size_t at) {
        skipped_.clear();
        skippedTooLong_ = false;
        return SkipSpace(at, keepSpace_ ? &skipped_ : nullptr);
    }

    // Parses the leaf node or attribute that `make` creates at `at`. A parse that ends before the
    // window's end is the parse of the whole text (see XmlWindow); any other is tried again,
    // fresh, on a window twice as large, until the text ends or the window cannot grow.
    template <class Make>
    auto ParseWhole(const Make& make, size_t at) {
        return ParseWhole(make, at, [&](auto& item, const char* from) {
            return item.Parse(from, nullptr, encoding_);
        });
    }

    // The same, parsing what `make` made with `parse`.
    template <class Make, class Parse>
    auto ParseWhole(const Make& make, size_t at, const Parse& parse) {
        using Item = std::remove_pointer_t<decltype(make(window_.At(at)))>;
        for (;;) {
            if (!EnsureNodesLeft()) {
                return Parsed<Item>{nullptr, NoOffset};
            }
            std::unique_ptr<Item> item(make(window_.At(at)));
            const char* end = parse(*item, window_.At(at));
            const size_t next = end != nullptr ? window_.OffsetOf(end) : NoOffset;
            // Every try costs what it read, settled or not.
            const size_t read = (next != NoOffset ? next : window_.end()) - at;
            if (!TakeNodes(CostPerParse + 1 + read / TextBytesPerUnit)) {
                return Parsed<Item>{nullptr, NoOffset};
            }
            if (window_.whole() || (next != NoOffset && next < window_.end())) {
                return Parsed<Item>{std::move(item), next};
            }
            item.reset();
            const size_t wanted = at + std::max(2 * (window_.end() - at), XmlWindow::PieceBytes);
            if (next == NoOffset && !window_.CanHold(wanted)) {
                // It fails on the most a node may take: its parse fails, as it does in the whole
                // text unless the node is larger than that bound, and the part is never kept as
                // if cut.
                return Parsed<Item>{nullptr, NoOffset};
            }
            if (!Need(wanted)) {
                return Parsed<Item>{nullptr, NoOffset};
            }
        }
    }

    // Reads on until the window holds a '<' after `at`, where a text that starts at `at` most
    // likely ends, so that a long text is parsed once rather than on ever larger windows.
    bool ReachNextTag(size_t at) {
        for (size_t from = at;;) {
            const void* tag = std::memchr(window_.At(from), '<', window_.end() - from);
            if (tag != nullptr || window_.whole()) {
                return tag == nullptr ||
                       Need(window_.OffsetOf(static_cast<const char*>(tag)) + LookAhead);
            }
            from = window_.end();
            if (!Need(window_.end() + std::max(window_.end() - at, XmlWindow::PieceBytes))) {
                return false;
            }
        }
    }

    // The element that TinyXML identified at `at` under `parent`: parsed whole when that settles
    // it, else read step for step. Answers where it ended, or NoOffset when it does not parse.
    //
    // `cutShort`, when given, is this element as a tree tried whole for an ancestor left it: its
    // last child there was cut short too, so it is read step for step at once, untried: a chain
    // of large elements costs one try, not one for each of them.
    size_t ParseElement(TiXmlNode& parent, int depth, size_t at, PooledNode element,
                        const TiXmlNode* cutShort) {
        size_t next = NoOffset;
        if (cutShort == nullptr && TryWhole(*element, depth, at, next)) {
            return next;
        }
        return ParseFrame(parent, depth, at, cutShort != nullptr ? cutShort : element.get());
    }

    // Parses the element whole as if the text ended WholeElementBytes past its start, or where
    // the window ends now if that is sooner. True when that settles it: it ended before that
    // point, or the window holds the text's real end. An element that does not is read step for
    // step: one larger than WholeElementBytes, and the few that straddle the end of the window
    // as it was read, in pieces, up to them.
    bool TryWhole(TiXmlNode& element, int depth, size_t at, size_t& next) {
        next = NoOffset;
        if (!EnsureNodesLeft()) {
            return true;
        }
        const size_t horizon = std::min(at + WholeElementBytes, window_.end());
        const char* end = nullptr;
        {
            const XmlWindow::EndedAt ended(window_, horizon);
            end = element.Parse(window_.At(at), nullptr, encoding_);
        }
        if (!TakeNodes(CostOf(element))) {
            return true;
        }
        next = end != nullptr ? window_.OffsetOf(end) : NoOffset;
        const bool settled =
            (next != NoOffset && next < horizon) || (window_.whole() && horizon == window_.end());
        if (settled && next != NoOffset && !Replay(element, depth)) {
            next = NoOffset;
        }
        return settled;
    }

    // TiXmlElement::Parse, step for step, for the element at `at`: its start tag, each child in
    // turn and its end tag. Answers where it ended, or NoOffset.
    size_t ParseFrame(TiXmlNode& parent, int depth, size_t at, const TiXmlNode* cutShort) {
        if (depth > TIXML_MAX_ELEMENT_DEPTH) {
            return NoOffset;
        }
        size_t p = SkipSpace(at + 1);
        if (p == NoOffset) {
            return NoOffset;
        }
        std::string name;
        p = ReadNameAt(p, name);
        if (p == NoOffset || At(p) == '\0') {
            return NoOffset;
        }
        if (!TakeNodes(CostPerParse + 1)) {
            return NoOffset;
        }
        OpenFrame frame(*this, parent);
        frame.element().SetValue(name);
        p = ReadStartTag(frame, p);
        if (p == NoOffset) {
            return NoOffset;
        }
        const Visit visit = EmitOpen(frame.element(), depth);
        if (visit == Visit::Stop) {
            return NoOffset;
        }
        const int skippedBefore = skipFrom_;
        if (visit == Visit::Skip && skipFrom_ == 0) {
            skipFrom_ = depth;
        }
        if (At(p) == '/') {
            p += 2;
        } else {
            p = ReadEndTag(name, ReadFrameContent(frame.element(), depth, p + 1, cutShort));
        }
        skipFrom_ = skippedBefore;
        if (p != NoOffset && !EmitClose(frame.element(), depth)) {
            return NoOffset;
        }
        return p;
    }

    // TinyXML's ReadName at `at`, with the whole name in the window.
    size_t ReadNameAt(size_t at, std::string& name) {
        for (size_t reach = LookAhead;; reach *= 2) {
            if (!Need(at + reach)) {
                return NoOffset;
            }
            const char* end = TinyXml::ReadName(window_.At(at), &name, encoding_);
            if (end == nullptr) {
                return NoOffset;
            }
            const size_t offset = window_.OffsetOf(end);
            if (offset < window_.end() || window_.whole()) {
                return offset;
            }
        }
    }

    // The attributes up to the '>' or "/>" that closes the start tag; answers where that is.
    size_t ReadStartTag(OpenFrame& frame, size_t p) {
        int attributes = 0;
        for (;;) {
            p = SkipSpace(p);
            if (p == NoOffset || At(p) == '\0') {
                return NoOffset;
            }
            if (At(p) == '/') {
                return At(p + 1) == '>' ? p : NoOffset;
            }
            if (At(p) == '>') {
                return p;
            }
            if (++attributes > TIXML_MAX_ATTRIBUTES) {
                return NoOffset;
            }
            const auto parsed = ParseWhole([](const char*) { return new TiXmlAttribute(); }, p);
            if (parsed.next == NoOffset || At(parsed.next) == '\0' ||
                frame.element().Attribute(parsed.item->Name()) != nullptr) {
                return NoOffset;  // no value, or the name given twice
            }
            // Compared with each earlier attribute of the element, as TinyXML compares them.
            if (!frame.Add(*parsed.item) ||
                !TakeNodes(static_cast<uint64_t>(attributes - 1) / AttributeComparisonsPerUnit)) {
                return NoOffset;
            }
            p = parsed.next;
        }
    }

    // TiXmlElement::ReadValue for an element read step for step: answers where its end tag
    // should start, or NoOffset. `cutShort` is the element as a try left it, or null.
    size_t ReadFrameContent(FrameElement& frame, int depth, size_t p, const TiXmlNode* cutShort) {
        // The try read the same children: all but its last element child ended within it.
        int lastTried = 0;
        const TiXmlElement* lastCutShort = nullptr;
        for (const TiXmlElement* child = cutShort != nullptr ? cutShort->FirstChildElement()
                                                             : nullptr;
             child != nullptr; child = child->NextSiblingElement()) {
            ++lastTried;
            lastCutShort = child;
        }
        int elements = 0;
        for (p = SkipSpaceInContent(p); p != NoOffset && At(p) != '\0';) {
            size_t next = NoOffset;
            if (At(p) != '<') {
                // Text between the children: parsed with the element's setting but linked only
                // when it is not blank, as in ReadValue.
                if (skippedTooLong_) {
                    Stop(Status::Cut("one text past the window"));
                    return NoOffset;
                }
                if (!ReachNextTag(p)) {
                    return NoOffset;
                }
                const auto text =
                    ParseWhole([](const char*) { return new TiXmlText(""); }, p,
                               [&](TiXmlText& node, const char* from) {
                                   return ParseTextUnder(node, frame, from, encoding_);
                               });
                next = text.next;
                if (next != NoOffset && !skipped_.empty()) {
                    text.item->SetValue(skipped_ + text.item->ValueStr());
                }
                if (next != NoOffset && !IsBlank(*text.item) && !EmitLeaf(*text.item, depth + 1)) {
                    next = NoOffset;
                }
            } else if (TinyXml::StringEqual(window_.At(p), "</", false, encoding_)) {
                return p;
            } else {
                next = ParseChild(frame, depth + 1, p,
                                  [&] { return ++elements == lastTried ? lastCutShort : nullptr; });
            }
            p = next == NoOffset ? NoOffset : SkipSpaceInContent(next);
        }
        return p;
    }

    // The node at `at` (a '<') under `parent`. Answers where it ended, or NoOffset.
    // `nextElement` tells an element child what a try of its parent left of it, if anything.
    template <class NextElement>
    size_t ParseChild(TiXmlNode& parent, int depth, size_t at, const NextElement& nextElement) {
        PooledNode node = IdentifyPooled(parent, at);
        if (!node) {
            return NoOffset;
        }
        if (node->ToElement() != nullptr) {
            return ParseElement(parent, depth, at, std::move(node), nextElement());
        }
        node.reset();
        const auto leaf = ParseWhole([&](const char*) { return Identify(parent, at); }, at);
        if (leaf.next != NoOffset && !EmitLeaf(*leaf.item, depth)) {
            return NoOffset;
        }
        return leaf.next;
    }

    size_t ReadEndTag(const std::string& name, size_t p) {
        if (p == NoOffset || At(p) == '\0') {
            return NoOffset;
        }
        const std::string endTag = "</" + name;
        if (!Need(p + endTag.size() + LookAhead)) {
            return NoOffset;
        }
        if (!TinyXml::StringEqual(window_.At(p), endTag.c_str(), false, encoding_)) {
            return NoOffset;
        }
        p = SkipSpace(p + endTag.size());
        return p != NoOffset && At(p) == '>' ? p + 1 : NoOffset;
    }

    bool ParseDocument() {
        if (!Need(LookAhead) || At(0) == '\0') {
            return false;
        }
        encoding_ = InitialEncoding();
        if (stopped()) {
            return false;
        }
        if (encoding_ == TIXML_ENCODING_UNKNOWN &&
            std::memcmp(window_.At(0), ByteOrderMark, 3) == 0) {
            encoding_ = TIXML_ENCODING_UTF8;
        }
        bool anyNode = false;
        for (size_t at = SkipSpace(0); at != NoOffset && At(at) != '\0';) {
            if (At(at) != '<') {
                break;  // text at the top ends the document, as TinyXML reads it
            }
            anyNode = true;
            PooledNode node = IdentifyPooled(scratch_, at);
            if (!node) {
                break;
            }
            size_t next = NoOffset;
            if (node->ToElement() != nullptr) {
                next = ParseElement(scratch_, 1, at, std::move(node), nullptr);
                if (next == NoOffset) {
                    return false;  // an element that fails sets the document's error
                }
            } else {
                node.reset();
                const auto parsed =
                    ParseWhole([&](const char*) { return Identify(scratch_, at); }, at);
                if (stopped()) {
                    return false;
                }
                if (parsed.item != nullptr) {
                    TakeDeclaredEncoding(*parsed.item);
                }
                // Other nodes that end short end the document.
                next = parsed.next;
                if (next != NoOffset && !EmitLeaf(*parsed.item, 1)) {
                    return false;
                }
            }
            at = next == NoOffset ? NoOffset : SkipSpace(next);
        }
        return anyNode;
    }

    // The encoding a part is parsed with, from its first bytes as XmlPart reads them whole.
    TiXmlEncoding InitialEncoding() {
        size_t at = 0;
        for (;;) {
            if (!Need(at + LookAhead)) {
                return TIXML_ENCODING_UNKNOWN;
            }
            while (at < window_.end() && LeadingSpace.find(At(at)) != std::string_view::npos) {
                ++at;
            }
            if (at < window_.end() || window_.whole()) {
                return PartEncoding(std::string_view(window_.At(0), window_.end()));
            }
        }
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

    // The handler sees nothing below an element it skipped.
    bool Hidden(int depth) const { return skipFrom_ != 0 && depth > skipFrom_; }

    // Visit::Stop, and reading stops, when the handler ends it.
    Visit EmitOpen(const TiXmlElement& element, int depth) {
        if (Hidden(depth)) {
            return Visit::Skip;
        }
        const Visit visit = handler_.Open(element, depth);
        if (visit == Visit::Stop) {
            Stop(Status::Abandoned());
        }
        return visit;
    }

    // False, and reading stops, when the handler ends it.
    bool EmitClose(const TiXmlElement& element, int depth) {
        return Hidden(depth) || handler_.Close(element, depth) || Stop(Status::Abandoned());
    }

    bool EmitLeaf(const TiXmlNode& node, int depth) {
        return Hidden(depth) || handler_.Leaf(node, depth) || Stop(Status::Abandoned());
    }

    // Hands over the nodes of a tree TinyXML parsed whole, `root` at `depth`; false when reading
    // stopped.
    bool Replay(const TiXmlNode& root, int depth) {
        const TiXmlNode* node = &root;
        for (;;) {
            bool enter = false;
            if (const TiXmlElement* element = AsElement(*node)) {
                const Visit visit = EmitOpen(*element, depth);
                if (visit == Visit::Stop) {
                    return false;
                }
                enter = visit == Visit::Enter && node->FirstChild() != nullptr;
                if (!enter && !EmitClose(*element, depth)) {
                    return false;
                }
            } else if (!EmitLeaf(*node, depth)) {
                return false;
            }
            if (enter) {
                node = node->FirstChild();
                ++depth;
                continue;
            }
            while (node != &root && node->NextSibling() == nullptr) {
                node = node->Parent();
                --depth;
                if (!EmitClose(*AsElement(*node), depth)) {
                    return false;
                }
            }
            if (node == &root) {
                return true;
            }
            node = node->NextSibling();
        }
    }

    XmlWindow window_;
    RequestBudget& budget_;
    ElementHandler& handler_;
    TiXmlEncoding encoding_ = TIXML_ENCODING_UNKNOWN;
    TiXmlNodePool pool_;  // before scratch_, which parses take their nodes from it
    TiXmlDocument scratch_;
    size_t openAttributeBytes_ = 0;
    int skipFrom_ = 0;  // the depth of an element skipped, 0 when none is
    bool keepSpace_ = false;
    Status stop_;          // why reading ended before the text's end; ok while it goes on
    std::string skipped_;  // the white space SkipSpaceInContent stepped over, when it keeps it
    bool skippedTooLong_ = false;
};

}  // namespace

Status ReadElementStream(PartSource& source, ElementHandler& handler, TextSpace space) {
    return StreamParser(source, handler, space).Run();
}

}  // namespace quillet
