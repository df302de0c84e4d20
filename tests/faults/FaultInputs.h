#pragma once

#include <memory>
#include <string>
#include <vector>

#include "support/TempFile.h"

namespace quillet::test {

// The files the fault sweeps ask: a real document, workbook and presentation, and five hostile
// packages built here.
const std::vector<std::string>& SweepInputNames();
// A copy of the named input in the temporary folder, the sweep's own to touch.
std::unique_ptr<TempFile> SweepInput(const std::string& name);

}  // namespace quillet::test
