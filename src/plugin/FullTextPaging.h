#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace quillet {

// Position in the current full text from which the next piece is taken. One value for the whole
// process, shared by both full-text fields and all files.
int32_t FullTextOffset();
void SetFullTextOffset(int32_t offset);

// Builds the whole text of the field being paged and answers it.
using FullTextBuilder = std::function<const std::string&()>;

// Runs one step of a full-text transfer: unit index -1 ends it, 0 starts it, anything else asks
// for the next piece. Answers FieldFullText for a step carried out, FieldEmpty once the text has
// ended.
int32_t PageFullText(int32_t unitIndex, void* fieldValue, int32_t maxLen,
                     const FullTextBuilder& build);

}  // namespace quillet
