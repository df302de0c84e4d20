#pragma once

#include <string>
#include <vector>

#include "ModuleClient.h"

namespace quillet::host {

// One field of one file with the module's answer.
struct FieldReport {
    const FieldInfo* field;
    FieldValue value;
};

// The texts the host prints, plain (for a reader) or JSON (one object per line).
class Report {
  public:
    Report(bool json, const std::vector<FieldInfo>& table);

    std::string Detect(const std::string& detectString) const;
    std::string Table() const;
    std::string File(const std::string& file, const std::vector<FieldReport>& fields) const;
    // What stands on standard output for a file the module did not find (plain: nothing).
    std::string MissingFile(const std::string& file) const;

  private:
    bool json_;
    const std::vector<FieldInfo>& table_;
    size_t nameWidth_ = 0;
};

// A value as a reader reads it: "(empty)", a number, true/false, h:mm:ss, ISO 8601 UTC or a
// quoted text.
std::string PlainValue(const FieldValue& value);
// The same as a JSON value: null when empty.
std::string JsonValue(const FieldValue& value);

}  // namespace quillet::host
