#include "package/MemberSource.h"
#include "package/ZipArchive.h"
#include "props/AppProperties.h"
#include "text/BoundedText.h"
#include "text/DocumentText.h"
#include "text/FramePath.h"
#include "text/NumberedParts.h"
#include "text/ShapeText.h"
#include "text/StandingText.h"
#include "text/StreamedReaders.h"
#include "xml/ElementStream.h"

namespace quillet {
namespace {

// The shapes of the first shape tree: for each child of a shape (its properties, its text body)
// the plain text of each of its child elements followed by a space, and a line feed after a
// child that has child elements. Text at any depth inside those elements is taken.
class SlideShapes final : public ElementHandler {
  public:
    explicit SlideShapes(BoundedText& result)
        : result_(result), text_(result), committed_(result.size()) {}

    // The text's size after the last shape read whole.
    size_t committed() const { return committed_; }

    Visit Open(const TiXmlElement& element, int depth) override {
        if (depth <= frames_.count()) {
            return frames_.Opens(element, depth) ? Visit::Enter : Visit::Skip;
        }
        switch (depth) {
            case Shape:
                if (result_.stopped()) {
                    return Visit::Stop;
                }
                return result_.full() ? Visit::Skip : Visit::Enter;
            case ShapePart:
                partHasChild_ = false;
                return Visit::Enter;
            default:
                partHasChild_ = true;
                text_.Open();
                return Visit::Enter;
        }
    }

    bool Leaf(const TiXmlNode& node, int depth) override {
        if (depth > Element) {
            text_.Leaf(node);
        }
        return !result_.stopped();
    }

    bool Close(const TiXmlElement&, int depth) override {
        if (depth <= frames_.count()) {
            frames_.Closed(depth);
        } else if (depth >= Element) {
            text_.Close();
            if (depth == Element) {
                text_.Finish();
                result_.Append(' ');
            }
        } else if (depth == ShapePart && partHasChild_) {
            result_.Append('\n');
        } else if (depth == Shape) {
            committed_ = result_.size();
        }
        return true;
    }

  private:
    enum Depth { Shape = 4, ShapePart = 5, Element = 6 };

    BoundedText& result_;
    ShapeText text_;
    FramePath frames_{"p:sld", "p:cSld", "p:spTree"};
    size_t committed_;
    bool partHasChild_ = false;
};

}  // namespace

void AppendSlide(PartSource& part, BoundedText& result) {
    SlideShapes shapes(result);
    AppendStandingText(part, shapes, result);
}

std::string DocumentText::ReadPresentationText() {
    BoundedText result(stop_);
    if (archive_ != nullptr && archive_->HasMember("ppt/presentation.xml")) {
        const int32_t slides = NumberedPartCount(*archive_, app_.slides, "ppt/slides/slide");
        for (int32_t i = 1; i <= slides && !result.full() && !result.stopped(); ++i) {
            MemberSource part(*archive_, NumberedPartName("ppt/slides/slide", i).c_str());
            AppendSlide(part, result);
        }
    }
    return result.TakeOrSpace();
}

}  // namespace quillet
