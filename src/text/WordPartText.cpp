#include <string>
#include <vector>

#include "text/TextPartReader.h"
#include "text/TextReaders.h"
#include "xml/TextConversion.h"

namespace quillet {
namespace {

bool EndsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// The words of a part that holds paragraphs, at any depth: runs joined as they are, a paragraph
// ending with a line feed, table cells with a TAB and rows with a line feed; tabs, breaks and
// hyphens as the characters they stand for; the alternative text of pictures and tables on lines
// of their own. Field codes, deleted text and properties are no text.
class WordPartText final : public TextPartReader {
  public:
    explicit WordPartText(BoundedText& result) : TextPartReader(&result, nullptr) {}

  protected:
    Visit OpenNamed(const QualifiedName& name, const TiXmlElement& element, int depth) override {
        if (name.space == Namespace::Math) {
            return name.local == "t" ? CollectText(depth) : Visit::Enter;
        }
        if (name.space == Namespace::WordDrawing) {
            if (name.local == "docPr") {
                AppendLine(scope().AttributeValue(element, Namespace::None, "descr"));
                AppendLine(scope().AttributeValue(element, Namespace::None, "title"));
            }
            return Visit::Enter;
        }
        if (name.space != Namespace::Word) {
            return Visit::Enter;  // its children may still be text
        }
        const std::string_view local = name.local;
        if (local == "t") {
            return CollectText(depth);
        }
        if (local == "p") {
            StartLine();
        } else if (local == "tc") {
            cellStarts_.push_back(result_->size());
        } else if (local == "tab") {
            result_->Append('\t');
        } else if (local == "br" || local == "cr") {
            result_->Append('\n');
        } else if (local == "noBreakHyphen") {
            result_->Append('-');
        } else if (local == "tblCaption" || local == "tblDescription") {
            AppendLine(scope().AttributeValue(element, Namespace::Word, "val"));
        } else if (local == "delText" || local == "instrText" || local == "del" ||
                   local == "moveFrom" || (EndsWith(local, "Pr") && local != "tblPr")) {
            return Visit::Skip;  // deleted text, field codes and properties (tab stops too)
        }
        return Visit::Enter;
    }

    void CloseNamed(const QualifiedName& name, int) override {
        if (name.space != Namespace::Word) {
            return;
        }
        if (name.local == "p") {
            result_->Append('\n');
            paragraphEnd_ = result_->size();
        } else if (name.local == "tc" && !cellStarts_.empty()) {
            // A cell ends with a TAB in place of its last paragraph's line feed.
            const size_t size = result_->size();
            if (!result_->full() && paragraphEnd_ == size && size > cellStarts_.back()) {
                result_->Truncate(size - 1);
            }
            result_->Append('\t');
            cellStarts_.pop_back();
        } else if (name.local == "tr") {
            result_->Append('\n');
        }
    }

    void TakeText(std::string_view text) override { result_->Append(text); }

  private:
    // A paragraph inside another's run (a text box) or an alternative text starts a line.
    void StartLine() {
        const char last = result_->last();
        if (last != '\0' && last != '\n' && last != '\t') {
            result_->Append('\n');
        }
    }

    void AppendLine(const char* value) {
        if (value == nullptr || *value == '\0') {
            return;
        }
        StartLine();
        result_->Append(WellFormedView(value, scratch_));
        result_->Append('\n');
    }

    std::vector<size_t> cellStarts_;  // the text's size where each open cell began
    size_t paragraphEnd_ = 0;         // the text's size right after the last paragraph ended
    std::string scratch_;
};

}  // namespace

std::unique_ptr<TextPartReader> WordPartReader(BoundedText& result) {
    return std::make_unique<WordPartText>(result);
}

void AppendWordPartText(PartSource& part, BoundedText& result) {
    AppendReadPart(part, *WordPartReader(result), result);
}

}  // namespace quillet
