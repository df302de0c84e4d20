#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/AsciiText.h"
#include "platform/Unicode.h"
#include "props/ParseCount.h"
#include "text/StreamedReaders.h"
#include "text/TextPartReader.h"
#include "text/TextReaders.h"
#include "xml/ElementStream.h"

namespace quillet {
namespace {

// The character of an escape "_xHHHH_" at the start of `text`, or -1.
int32_t EscapedUnit(std::string_view text) {
    if (text.size() < 7 || text[0] != '_' || text[1] != 'x' || text[6] != '_') {
        return -1;
    }
    int32_t unit = 0;
    for (size_t i = 2; i < 6; ++i) {
        const int digit = platform::HexDigitValue(text[i]);
        if (digit < 0) {
            return -1;
        }
        unit = unit * 16 + digit;
    }
    return unit;
}

bool IsHighSurrogate(int32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(int32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// Appends `text` with the escapes "_xHHHH_" that office programs write for the characters XML
// cannot hold decoded, left to right ("_x005F_" is the underscore, so "_x005F_x0041_" is the
// text "_x0041_"); a pair of escaped surrogates is one character, a lone one U+FFFD.
void AppendDecoded(std::string_view text, std::string& out) {
    if (text.find('_') == std::string_view::npos) {
        out.append(text);  // most texts hold no escape at all
        return;
    }
    for (size_t at = 0; at < text.size();) {
        const size_t escape = text.find("_x", at);
        if (escape == std::string_view::npos) {
            out.append(text.substr(at));
            return;
        }
        out.append(text.substr(at, escape - at));
        const int32_t unit = EscapedUnit(text.substr(escape));
        if (unit < 0) {
            out += '_';
            at = escape + 1;
            continue;
        }
        at = escape + 7;
        char32_t character = static_cast<char32_t>(unit);
        if (IsHighSurrogate(unit)) {
            const int32_t low = EscapedUnit(text.substr(at));
            if (IsLowSurrogate(low)) {
                character = 0x10000 + (static_cast<char32_t>(unit - 0xD800) << 10) +
                            static_cast<char32_t>(low - 0xDC00);
                at += 7;
            } else {
                character = 0xFFFD;
            }
        } else if (IsLowSurrogate(unit)) {
            character = 0xFFFD;
        }
        platform::AppendUtf8(out, character);
    }
}

// The items of a shared-string table: each the texts of all its "t" joined, phonetic runs
// ("rPh") left out.
class RichSharedItems final : public TextPartReader {
  public:
    RichSharedItems(SharedStringTable& table, const StopSignal* stop)
        : TextPartReader(nullptr, stop), table_(table) {}

  protected:
    Visit OpenNamed(const QualifiedName& name, const TiXmlElement&, int depth) override {
        if (name.space != Namespace::Spreadsheet) {
            return Visit::Enter;
        }
        if (name.local == "si") {
            if (tableFull_) {
                return Visit::Skip;  // no later item is held
            }
            inItem_ = true;
        } else if (name.local == "rPh" || name.local == "phoneticPr") {
            return Visit::Skip;
        } else if (name.local == "t" && inItem_) {
            return CollectText(depth);
        }
        return Visit::Enter;
    }

    void CloseNamed(const QualifiedName& name, int) override {
        if (inItem_ && name.Is(Namespace::Spreadsheet, "si")) {
            inItem_ = false;
            tableFull_ = !table_.EndItem();
        }
    }

    void TakeText(std::string_view text) override {
        if (inItem_) {
            decoded_.clear();
            AppendDecoded(text, decoded_);
            table_.AppendToItem(decoded_);
        }
    }

  private:
    SharedStringTable& table_;
    bool tableFull_ = false;
    bool inItem_ = false;
    std::string decoded_;
};

// The cells of a worksheet's rows, each its value and a TAB.
class SheetCells final : public TextPartReader {
  public:
    SheetCells(const SharedStringTable* table, BoundedText& result)
        : TextPartReader(&result, nullptr), table_(table) {}

  protected:
    Visit OpenNamed(const QualifiedName& name, const TiXmlElement& element, int depth) override {
        if (name.space != Namespace::Spreadsheet) {
            return Visit::Enter;
        }
        const std::string_view local = name.local;
        if (local == "row") {
            rowHasCells_ = false;
        } else if (local == "c") {
            inCell_ = true;
            type_ = TypeOf(scope().AttributeValue(element, Namespace::None, "t"));
            value_.clear();
        } else if (local == "v" && inCell_) {
            inValue_ = true;
            value_.clear();  // of two values, the last
            return CollectText(depth);
        } else if (local == "is" && inCell_) {
            inInline_ = true;
        } else if (local == "t" && inInline_) {
            return CollectText(depth);
        } else if (local == "f" || local == "rPh" || local == "phoneticPr") {
            return Visit::Skip;
        }
        return Visit::Enter;
    }

    void CloseNamed(const QualifiedName& name, int) override {
        if (name.space != Namespace::Spreadsheet) {
            return;
        }
        if (name.local == "c" && inCell_) {
            inCell_ = false;
            AppendCell();
        } else if (name.local == "is") {
            inInline_ = false;
        } else if (name.local == "row" && rowHasCells_) {
            result_->Append('\n');
        }
    }

    void TakeText(std::string_view text) override {
        if (inValue_) {
            value_.append(text);
            KeepWithinRoom(value_);
        } else if (inInline_ && type_ == CellType::InlineString) {
            // The cell's text as it is read: nothing of it is held.
            decoded_.clear();
            AppendDecoded(text, decoded_);
            result_->Append(decoded_);
        }
    }

    void EndText() override { inValue_ = false; }

    // A value is kept up to the room like any text, but the index of a shared string or a
    // boolean is read from at most its first kibibyte, whatever room is left.
    size_t TextRoom() const override {
        const size_t room = TextPartReader::TextRoom();
        return inValue_ && (type_ == CellType::SharedString || type_ == CellType::Boolean)
                   ? std::max(room, IndexBytes)
                   : room;
    }

  private:
    static constexpr size_t IndexBytes = 1024;

    void AppendCell() {
        rowHasCells_ = true;
        if (type_ == CellType::SharedString) {
            const int32_t index = value_.empty() ? -1 : ParseCount(value_.c_str());
            if (table_ != nullptr && index >= 0) {
                result_->Append(table_->At(index));
            }
        } else if (type_ == CellType::InlineString) {
            // its text went into the text as it was read
        } else if (type_ == CellType::Boolean && (value_ == "0" || value_ == "1")) {
            result_->Append(value_ == "1" ? "TRUE" : "FALSE");  // as every program shows it
        } else if (value_.find('_') == std::string::npos) {
            result_->Append(value_);
        } else {
            decoded_.clear();
            AppendDecoded(value_, decoded_);
            result_->Append(decoded_);
        }
        result_->Append('\t');
    }

    // The cell types whose values are read otherwise than as they stand.
    enum class CellType { Other, SharedString, InlineString, Boolean };

    static CellType TypeOf(const char* type) {
        if (type == nullptr) {
            return CellType::Other;
        }
        const std::string_view name(type);
        if (name == "s") {
            return CellType::SharedString;
        }
        if (name == "inlineStr") {
            return CellType::InlineString;
        }
        return name == "b" ? CellType::Boolean : CellType::Other;
    }

    const SharedStringTable* table_;
    bool rowHasCells_ = false;
    bool inCell_ = false;
    bool inValue_ = false;
    bool inInline_ = false;
    CellType type_ = CellType::Other;
    std::string value_;
    std::string decoded_;
};

// The comments of a sheet, each its text on a line; the authors are not read.
class CellComments final : public TextPartReader {
  public:
    explicit CellComments(BoundedText& result) : TextPartReader(&result, nullptr) {}

  protected:
    Visit OpenNamed(const QualifiedName& name, const TiXmlElement&, int depth) override {
        if (name.space != Namespace::Spreadsheet) {
            return Visit::Enter;
        }
        if (name.local == "comment") {
            inComment_ = true;
        } else if (name.local == "t" && inComment_) {
            return CollectText(depth);
        } else if (name.local == "authors" || name.local == "rPh" || name.local == "phoneticPr") {
            return Visit::Skip;
        }
        return Visit::Enter;
    }

    void CloseNamed(const QualifiedName& name, int) override {
        if (inComment_ && name.Is(Namespace::Spreadsheet, "comment")) {
            inComment_ = false;
            result_->Append('\n');
        }
    }

    void TakeText(std::string_view text) override {
        if (inComment_) {
            // The comment's text as it is read: nothing of it is held.
            decoded_.clear();
            AppendDecoded(text, decoded_);
            result_->Append(decoded_);
        }
    }

  private:
    bool inComment_ = false;
    std::string decoded_;
};

}  // namespace

std::unique_ptr<TextPartReader> RichSharedItemsReader(SharedStringTable& table,
                                                      const StopSignal* stop) {
    return std::make_unique<RichSharedItems>(table, stop);
}

std::unique_ptr<TextPartReader> SheetCellReader(const SharedStringTable* table,
                                                BoundedText& result) {
    return std::make_unique<SheetCells>(table, result);
}

std::unique_ptr<TextPartReader> CellCommentReader(BoundedText& result) {
    return std::make_unique<CellComments>(result);
}

bool ReadRichSharedStrings(PartSource& part, SharedStringTable& table, const StopSignal* stop) {
    table.Clear();
    const auto items = RichSharedItemsReader(table, stop);
    const Status status = ReadElementStream(part, *items, TextSpace::Kept);
    table.DropItem();  // one the reading ended in
    if (!KeepsWhatWasRead(status) || table.size() == 0) {
        table.Clear();
        return false;
    }
    table.declaredCount = static_cast<int32_t>(table.size());
    return true;
}

void AppendSheetCellText(PartSource& part, const SharedStringTable* table, BoundedText& result) {
    AppendReadPart(part, *SheetCellReader(table, result), result);
}

void AppendCellCommentText(PartSource& part, BoundedText& result) {
    AppendReadPart(part, *CellCommentReader(result), result);
}

}  // namespace quillet
