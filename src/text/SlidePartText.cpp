#include <vector>

#include "text/TextPartReader.h"
#include "text/TextReaders.h"

namespace quillet {
namespace {

// The paragraphs of a slide's drawing at any depth (shapes, groups, tables, graphic frames):
// every "a:t" of a paragraph joined, "a:br" a line feed, each paragraph ending with one. Of a
// notes slide only the shapes that are its body placeholder give text: the notes themselves,
// not the slide image, the number or the header.
class SlideParagraphs final : public TextPartReader {
  public:
    SlideParagraphs(BoundedText& result, bool bodyOnly)
        : TextPartReader(&result, nullptr), bodyOnly_(bodyOnly) {}

  protected:
    Visit OpenNamed(const QualifiedName& name, const TiXmlElement& element, int depth) override {
        if (name.space == Namespace::Presentation) {
            if (name.local == "sp") {
                shapeIsBody_.push_back(false);
            } else if (name.local == "ph" && !shapeIsBody_.empty()) {
                const char* type = scope().AttributeValue(element, Namespace::None, "type");
                shapeIsBody_.back() = type != nullptr && std::string_view(type) == "body";
            }
        } else if (name.space == Namespace::Drawing && Gives()) {
            if (name.local == "t") {
                return CollectText(depth);
            }
            if (name.local == "br") {
                result_->Append('\n');
            }
        }
        return Visit::Enter;
    }

    void CloseNamed(const QualifiedName& name, int) override {
        if (name.Is(Namespace::Presentation, "sp") && !shapeIsBody_.empty()) {
            shapeIsBody_.pop_back();
        } else if (name.Is(Namespace::Drawing, "p") && Gives()) {
            result_->Append('\n');
        }
    }

    void TakeText(std::string_view text) override { result_->Append(text); }

  private:
    bool Gives() const { return !bodyOnly_ || (!shapeIsBody_.empty() && shapeIsBody_.back()); }

    const bool bodyOnly_;
    std::vector<bool> shapeIsBody_;  // for each shape open, whether it is the body placeholder
};

}  // namespace

std::unique_ptr<TextPartReader> SlideReader(BoundedText& result, bool notes) {
    return std::make_unique<SlideParagraphs>(result, notes);
}

void AppendSlideText(PartSource& part, BoundedText& result) {
    AppendReadPart(part, *SlideReader(result, false), result);
}

void AppendNotesText(PartSource& part, BoundedText& result) {
    AppendReadPart(part, *SlideReader(result, true), result);
}

}  // namespace quillet
