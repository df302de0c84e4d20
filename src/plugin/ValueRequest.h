#pragma once

#include <cstdint>

#include "platform/FilePath.h"
#include "plugin/TextForm.h"

namespace quillet {

// One call of ContentGetValue (texts in the ANSI form) or ContentGetValueW (UTF-16): the value
// of one field of one file, written into the host's buffer. Answers the field's type or a
// ValueResult.
int32_t AnswerValue(const platform::FilePath& fileName, TextForm form, int32_t fieldIndex,
                    int32_t unitIndex, void* fieldValue, int32_t maxLen);

// ContentStopGetValue(W): the builds of the named file end at their next element.
void StopValueRequests(const platform::FilePath& fileName);

// ContentPluginUnloading: everything kept between calls is let go.
void DropKeptAnswers();

}  // namespace quillet
