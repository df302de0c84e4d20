#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "package/PartSource.h"
#include "text/BoundedText.h"
#include "text/StopSignal.h"
#include "xml/ElementHandler.h"
#include "xml/QualifiedNames.h"

namespace quillet {

// What every reader of "Text" does alike, whatever the part: names resolved by namespace, of
// each mc:AlternateContent the first mc:Choice read and the rest (other choices, mc:Fallback)
// not, the texts of a text element handed over in order as they are read ("a run whose text is
// all white space" has no text child left and counts as one space), a stop ending the reading
// at the next element, and the point up to which the text stands when a bound cuts the part.
class TextPartReader : public ElementHandler {
  public:
    // `result` is where the reader writes, null for one that fills a table; `stop` ends it.
    TextPartReader(BoundedText* result, const StopSignal* stop) : result_(result), stop_(stop) {}

    // The text's size after the last element closed at a depth of at most 3 (a paragraph, a
    // table, a row, a shape, a comment: a unit of the part read whole).
    size_t committed() const { return committed_; }
    void StartAt(size_t size) { committed_ = size; }

    Visit Open(const TiXmlElement& element, int depth) final;
    bool Leaf(const TiXmlNode& node, int depth) final;
    bool Close(const TiXmlElement& element, int depth) final;

  protected:
    // An element in no markup-compatibility namespace, its name resolved. Enter reads into it.
    virtual Visit OpenNamed(const QualifiedName& name, const TiXmlElement& element, int depth) = 0;
    // The element ends; `name` is as OpenNamed had it. Not called for a text element.
    virtual void CloseNamed(const QualifiedName& name, int depth) = 0;
    // A text of the text element `CollectText` began, each in turn as it is read; " " once,
    // when the element ends, if it had none. Nothing is held for the element meanwhile: a text
    // of many pieces costs no more memory than the reader keeps of it.
    virtual void TakeText(std::string_view text) = 0;
    // The text element ends, after its texts.
    virtual void EndText() {}

    // The most bytes of text the reader can still keep: what the text has room for. A reader that
    // gathers texts before it keeps them (a cell's value) gathers no more than one byte past it,
    // which leaves what is appended of them as it would be.
    virtual size_t TextRoom() const { return result_ != nullptr ? result_->room() : SIZE_MAX; }
    void KeepWithinRoom(std::string& text) const {
        const size_t room = TextRoom();
        if (room < SIZE_MAX && text.size() > room + 1) {
            text.resize(room + 1);
        }
    }

    // The element at `depth` is a text element: its text children are collected.
    Visit CollectText(int depth) {
        textDepth_ = depth;
        textTaken_ = false;
        return Visit::Enter;
    }
    const NamespaceScope& scope() const { return scope_; }

    BoundedText* const result_;

  private:
    bool stopped() const {
        return result_ != nullptr ? result_->stopped() : stop_ != nullptr && stop_->requested();
    }

    static constexpr int CommitDepth = 3;

    const StopSignal* stop_;
    NamespaceScope scope_;
    // The namespaces of the elements open, resolved once when each began: an element costs one
    // look through the prefixes in scope, not two.
    std::vector<Namespace> openSpaces_;
    // The depths of the mc:AlternateContent elements open, and whether each had its choice.
    std::vector<std::pair<int, bool>> alternatives_;
    int textDepth_ = 0;       // the open text element's, 0 when none is
    bool textTaken_ = false;  // whether the open text element gave a text
    int skippedFull_ = 0;     // the element skipped once the text was full, 0 when none is
    std::string scratch_;
    size_t committed_ = 0;
};

// Reads `part` with `reader` (white space kept where TinyXML can) and leaves in `result` what
// stands of it: all of it when the part parses, up to the reader's last unit read whole when a
// bound cut it, nothing of the part when it does not parse.
void AppendReadPart(PartSource& part, TextPartReader& reader, BoundedText& result);

}  // namespace quillet
