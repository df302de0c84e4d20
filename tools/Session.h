#pragma once

#include <string>
#include <vector>

#include "Console.h"
#include "HostOptions.h"
#include "ModuleClient.h"
#include "Operands.h"
#include "Progress.h"
#include "Report.h"

namespace quillet::host {

// What one run does with the documents, and how it went.
class Session {
  public:
    Session(const HostOptions& options, const ModuleClient& module, const Report& report)
        : options_(options), module_(module), report_(report) {}

    // Prints the chosen fields of each document in the report's form.
    void ReportFields(const std::vector<Operand>& documents,
                      const std::vector<const FieldInfo*>& chosen);
    // Prints the documents whose full texts among `fields` hold the text of --grep.
    void Search(const std::vector<Operand>& documents, const std::vector<const FieldInfo*>& fields);
    // Prints one string or full text as the module handed it over.
    void PrintRaw(const std::vector<Operand>& documents, const FieldInfo& field);
    // The exit status for what happened.
    int Status() const;

  private:
    // The action for each document, the problem for each operand that gives none.
    template <typename Action>
    void ForEach(const std::vector<Operand>& documents, Action action);
    void PrintRaw(const Operand& document, const FieldInfo& field);
    void Problem(const Operand& operand);
    // The file has gone between the scan and the module's answer.
    void Gone(const Operand& document);
    void Out(const std::string& text);
    void Warn(const std::string& message);

    const HostOptions& options_;
    const ModuleClient& module_;
    const Report& report_;
    Progress* progress_ = nullptr;  // while documents are read
    bool missing_ = false;
    bool notDocument_ = false;
    bool searched_ = false;
    bool matched_ = false;
};

}  // namespace quillet::host
