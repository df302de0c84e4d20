#pragma once

#include "package/PartSource.h"
#include "text/BoundedText.h"
#include "xml/ElementStream.h"

namespace quillet {

// Reads one part's text into `result` through `reader` and leaves standing what the part's
// outcome allows: all of it when the part parses, up to the last unit read whole
// (`reader.committed()`: a row, block or shape) when a bound cut it, nothing of the part when it
// does not parse.
template <typename Reader>
void AppendStandingText(PartSource& part, Reader& reader, BoundedText& result,
                        TextSpace space = TextSpace::Condensed) {
    const size_t before = result.size();
    const Status status = ReadElementStream(part, reader, space);
    if (status.ok()) {
        return;
    }
    result.Truncate(status == Status::Code::Cut ? reader.committed() : before);
}

}  // namespace quillet
