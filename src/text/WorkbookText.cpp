#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

#include "package/MemberSource.h"
#include "package/ZipArchive.h"
#include "props/AppProperties.h"
#include "props/ParseCount.h"
#include "text/BoundedText.h"
#include "text/DocumentText.h"
#include "text/FramePath.h"
#include "text/NumberedParts.h"
#include "text/StandingText.h"
#include "text/StreamedReaders.h"
#include "xml/ElementNames.h"
#include "xml/ElementStream.h"
#include "xml/TextConversion.h"

namespace quillet {
namespace {

const std::string* TextOf(const TiXmlNode& node) {
    const TiXmlText* text = node.ToText();
    return text != nullptr ? &text->ValueStr() : nullptr;
}

// The items of "sst": each the text of its first child element when that is a "t" (the first
// child node's text, a space when it has none), an empty entry otherwise.
class SharedItems final : public ElementHandler {
  public:
    SharedItems(SharedStringTable& table, const StopSignal* stop) : table_(table), stop_(stop) {}

    Visit Open(const TiXmlElement& element, int depth) override {
        if (depth == 1) {
            if (!frames_.Opens(element, depth)) {
                return Visit::Skip;
            }
            const char* uniqueCount = AttributeNamed(element, "uniqueCount");
            table_.declaredCount = uniqueCount != nullptr ? ParseCount(uniqueCount) : -1;
            return table_.declaredCount > 0 ? Visit::Enter : Visit::Stop;
        }
        if (depth == Item) {
            if (stop_ != nullptr && stop_->requested()) {
                return Visit::Stop;
            }
            state_ =
                static_cast<int64_t>(table_.size()) < table_.declaredCount ? AwaitElement : Done;
            return state_ == Done ? Visit::Skip : Visit::Enter;
        }
        if (depth == ItemChild && state_ == AwaitElement) {
            if (!IsNamed(element, "t")) {
                Take("");
                return Visit::Skip;
            }
            state_ = InText;
            return Visit::Enter;
        }
        if (depth == TextChild) {
            TakeText(nullptr);
        }
        return Visit::Skip;
    }

    bool Leaf(const TiXmlNode& node, int depth) override {
        if (depth == TextChild) {
            TakeText(TextOf(node));
        }
        return true;
    }

    bool Close(const TiXmlElement&, int depth) override {
        if (depth == ItemChild) {
            TakeText(nullptr);
        } else if (depth == Item && state_ == AwaitElement) {
            Take("");
        } else if (depth == 1) {
            frames_.Closed(depth);
        }
        return true;
    }

  private:
    enum Depth { Item = 2, ItemChild = 3, TextChild = 4 };
    enum State { AwaitElement, InText, Done };

    void TakeText(const std::string* text) {
        if (state_ == InText) {
            Take(text != nullptr ? WellFormedView(*text, scratch_) : std::string_view(" "));
        }
    }
    void Take(std::string_view text) {
        table_.Add(text);
        state_ = Done;
    }

    SharedStringTable& table_;
    const StopSignal* stop_;
    FramePath frames_{"sst"};
    State state_ = Done;
    std::string scratch_;
};

// The rows of "sheetData": each cell's datum followed by a TAB, and a line feed when the row has
// cells.
class SheetRows final : public ElementHandler {
  public:
    SheetRows(const SharedStringTable* table, BoundedText& result)
        : table_(table), result_(result), committed_(result.size()) {}

    // The text's size after the last row read whole.
    size_t committed() const { return committed_; }

    Visit Open(const TiXmlElement& element, int depth) override {
        if (depth <= frames_.count()) {
            return frames_.Opens(element, depth) ? Visit::Enter : Visit::Skip;
        }
        switch (depth) {
            case Row:
                if (result_.stopped()) {
                    return Visit::Stop;
                }
                hasCell_ = false;
                return result_.full() ? Visit::Skip : Visit::Enter;
            case Cell: {
                hasCell_ = true;
                type_ = TypeOf(AttributeNamed(element, "t"));
                return Visit::Enter;
            }
            case CellChild:
                return OpenCellChild(element);
            case CellChild + 1:
                if (datum_ == InlineAwaitElement) {
                    datum_ = IsNamed(element, "t") ? InlineText : Pending;
                    if (datum_ == Pending) {
                        AppendDatum(nullptr);
                    }
                    return datum_ == InlineText ? Visit::Enter : Visit::Skip;
                }
                TakeFirstChild(nullptr);
                return Visit::Skip;
            default:
                TakeFirstChild(nullptr);
                return Visit::Skip;
        }
    }

    bool Leaf(const TiXmlNode& node, int depth) override {
        if ((depth == CellChild + 1 && datum_ == ValueText) ||
            (depth == CellChild + 2 && datum_ == InlineText)) {
            TakeFirstChild(TextOf(node));
        }
        return true;
    }

    bool Close(const TiXmlElement&, int depth) override {
        if (depth <= frames_.count()) {
            frames_.Closed(depth);
        } else if (depth == Row && frames_.inside()) {
            if (hasCell_) {
                result_.Append('\n');
            }
            committed_ = result_.size();
        } else if (depth == CellChild) {
            // An element without the child that gives the datum gives none.
            if (datum_ == InlineAwaitElement) {
                AppendDatum(nullptr);
            } else {
                TakeFirstChild(nullptr);
            }
            datum_ = Pending;
        } else if (depth == CellChild + 1 && datum_ == InlineText) {
            TakeFirstChild(nullptr);
        }
        return true;
    }

  private:
    enum Depth { Row = 3, Cell = 4, CellChild = 5 };
    // What the cell child being read still waits for.
    enum Datum { Pending, InlineAwaitElement, InlineText, ValueText };
    // The cell types that change how a datum is read.
    enum class CellType { Other, SharedString, InlineString };

    static CellType TypeOf(const char* type) {
        if (type == nullptr) {
            return CellType::Other;
        }
        if (std::strcmp(type, "s") == 0) {
            return CellType::SharedString;
        }
        return std::strcmp(type, "inlineStr") == 0 ? CellType::InlineString : CellType::Other;
    }

    Visit OpenCellChild(const TiXmlElement& element) {
        datum_ = Pending;
        if (IsNamed(element, "is") && type_ == CellType::InlineString) {
            datum_ = InlineAwaitElement;
        } else if (IsNamed(element, "v")) {
            if (type_ == CellType::SharedString && table_ == nullptr) {
                return Visit::Skip;  // a shared string without a table gives nothing
            }
            datum_ = ValueText;
        } else {
            result_.Append(" \t");
            return Visit::Skip;
        }
        return Visit::Enter;
    }

    // The first child node of the element that gives the datum: its text, or none.
    void TakeFirstChild(const std::string* text) {
        if (datum_ != ValueText && datum_ != InlineText) {
            return;
        }
        if (datum_ == ValueText && type_ == CellType::SharedString) {
            const int32_t index = text != nullptr ? ParseCount(text->c_str()) : -1;
            if (index >= 0 && index < table_->declaredCount) {
                result_.Append(table_->At(index));
                result_.Append('\t');
            } else {
                result_.Append(" \t");
            }
        } else {
            AppendDatum(text);
        }
        datum_ = Pending;
    }

    void AppendDatum(const std::string* text) {
        if (text != nullptr) {
            result_.Append(WellFormedView(*text, scratch_));
        } else {
            result_.Append(' ');
        }
        result_.Append('\t');
    }

    const SharedStringTable* table_;
    BoundedText& result_;
    FramePath frames_{"worksheet", "sheetData"};
    size_t committed_;
    bool hasCell_ = false;
    CellType type_ = CellType::Other;
    Datum datum_ = Pending;
    std::string scratch_;
};

}  // namespace

bool ReadSharedStringTable(PartSource& part, SharedStringTable& table, const StopSignal* stop) {
    table.Clear();
    SharedItems items(table, stop);
    if (!KeepsWhatWasRead(ReadElementStream(part, items)) || table.declaredCount <= 0) {
        table.Clear();
        return false;
    }
    return true;
}

void AppendSheetRows(PartSource& part, const SharedStringTable* table, BoundedText& result) {
    SheetRows rows(table, result);
    AppendStandingText(part, rows, result);
}

std::string DocumentText::ReadWorkbookText() {
    SharedStringTable sharedStrings(RequestBudget::MaxFullTextBytes);
    bool haveTable = false;
    if (archive_ != nullptr) {
        MemberSource part(*archive_, "xl/sharedStrings.xml");
        haveTable = ReadSharedStringTable(part, sharedStrings, stop_);
    }
    // The table and the text made of it share the full text's bound.
    BoundedText result(stop_, RequestBudget::MaxFullTextBytes - sharedStrings.bytes());
    if (archive_ != nullptr && archive_->HasMember("xl/workbook.xml")) {
        const int32_t sheets = NumberedPartCount(*archive_, app_.sheets, "xl/worksheets/sheet");
        for (int32_t i = 1; i <= sheets && !result.full() && !result.stopped(); ++i) {
            MemberSource part(*archive_, NumberedPartName("xl/worksheets/sheet", i).c_str());
            AppendSheetRows(part, haveTable ? &sharedStrings : nullptr, result);
            result.Append("\n\n");
        }
    }
    return result.TakeOrSpace();
}

}  // namespace quillet
