#include <cstring>
#include <string>

#include "package/MemberSource.h"
#include "text/BoundedText.h"
#include "text/DocumentText.h"
#include "text/FramePath.h"
#include "text/StandingText.h"
#include "text/StreamedReaders.h"
#include "xml/ElementNames.h"
#include "xml/ElementStream.h"
#include "xml/TextConversion.h"

namespace quillet {
namespace {

// The text of the first "w:body" of the first "w:document": the blocks (its child elements), in
// each the texts three levels below the body (block, run, text), each followed by a TAB, and a line
// feed after a block when a run of it holds anything. Deeper text (tables, hyperlinks, content
// controls) is not visited.
class BodyBlocks final : public ElementHandler {
  public:
    explicit BodyBlocks(BoundedText& result) : result_(result), committed_(result.size()) {}

    // The text's size after the last block read whole.
    size_t committed() const { return committed_; }

    Visit Open(const TiXmlElement& element, int depth) override {
        switch (depth) {
            case Document:
            case Body:
                return frames_.Opens(element, depth) ? Visit::Enter : Visit::Skip;
            case Block:
                if (result_.stopped()) {
                    return Visit::Stop;
                }
                hasContent_ = false;
                return result_.full() ? Visit::Skip : Visit::Enter;
            case Run:
                return result_.stopped() ? Visit::Stop : Visit::Enter;
            case RunChild:
                hasContent_ = true;
                inText_ = IsNamed(element, "w:t");
                textTaken_ = false;
                return inText_ ? Visit::Enter : Visit::Skip;
            default:
                TakeText(nullptr);  // the text element's first child is an element
                return Visit::Skip;
        }
    }

    bool Leaf(const TiXmlNode& node, int depth) override {
        if (depth == TextChild) {
            const TiXmlText* text = node.ToText();
            TakeText(text != nullptr ? &text->ValueStr() : nullptr);
        }
        return true;
    }

    bool Close(const TiXmlElement&, int depth) override {
        if (depth == RunChild && inText_) {
            TakeText(nullptr);  // a text element without children
            inText_ = false;
        } else if (depth == Block) {
            if (hasContent_) {
                result_.Append('\n');
            }
            committed_ = result_.size();
        } else if (depth <= Body) {
            frames_.Closed(depth);
        }
        return true;
    }

  private:
    enum Depth { Document = 1, Body = 2, Block = 3, Run = 4, RunChild = 5, TextChild = 6 };

    // The text element's first child node decides what it gives: its text, or a space.
    void TakeText(const std::string* text) {
        if (!inText_ || textTaken_) {
            return;
        }
        textTaken_ = true;
        if (text != nullptr) {
            result_.Append(WellFormedView(*text, scratch_));
        } else {
            result_.Append(' ');
        }
        result_.Append('\t');
    }

    BoundedText& result_;
    FramePath frames_{"w:document", "w:body"};
    size_t committed_;
    bool hasContent_ = false;
    bool inText_ = false;
    bool textTaken_ = false;
    std::string scratch_;
};

}  // namespace

void AppendWordBody(PartSource& part, BoundedText& result) {
    BodyBlocks blocks(result);
    AppendStandingText(part, blocks, result);
}

std::string DocumentText::ReadWordText() {
    BoundedText result(stop_);
    if (archive_ != nullptr) {
        MemberSource part(*archive_, "word/document.xml");
        AppendWordBody(part, result);
    }
    return result.TakeOrSpace();
}

}  // namespace quillet
