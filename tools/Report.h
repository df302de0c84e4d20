#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ModuleClient.h"

namespace quillet::host {

// One field of one file with the module's answer.
struct FieldReport {
    const FieldInfo* field;
    FieldValue value;
};

// A field's answer reduced to what every output form shows of it.
struct ValueCell {
    enum class Kind {
        Literal,  // a number, true or false: bare in every form
        Word,     // a date-time or a time of day: bare for a reader, a string in JSON
        Text,     // a string or a full text
        None,     // no value: `text` is the note a reader sees, "(empty)" and the like
    };
    Kind kind = Kind::None;
    std::string text;
};

ValueCell CellOf(const FieldValue& value);

// A value the module answered that is not one of the forms it may answer.
bool IsUnexpected(const FieldValue& value);

// The texts the host prints in one output form.
class Report {
  public:
    explicit Report(const std::vector<FieldInfo>& table) : table_(table) {}
    virtual ~Report() = default;

    virtual std::string Detect(const std::string& detectString) const = 0;
    virtual std::string Table() const = 0;
    // Printed once before the first file.
    virtual std::string Header(const std::vector<const FieldInfo*>& /*fields*/) const {
        return std::string();
    }
    virtual std::string File(const std::string& file,
                             const std::vector<FieldReport>& fields) const = 0;
    // What stands on standard output for a named file that is not reported; `problem` is the
    // plain words standard error gets as well.
    virtual std::string Problem(const std::string& /*file*/, const std::string& /*problem*/) const {
        return std::string();
    }

  protected:
    const std::vector<FieldInfo>& table_;
};

enum class OutputForm { Table, Csv, Json };

// `lineWidth`, when not 0, is the terminal's: the table then shows each full text on one line
// of it.
std::unique_ptr<Report> MakeReport(OutputForm form, const std::vector<FieldInfo>& table,
                                   size_t lineWidth);

// The forms, each in its own file.
std::unique_ptr<Report> MakeTableReport(const std::vector<FieldInfo>& table, size_t lineWidth);
std::unique_ptr<Report> MakeCsvReport(const std::vector<FieldInfo>& table);
std::unique_ptr<Report> MakeJsonReport(const std::vector<FieldInfo>& table);

}  // namespace quillet::host
