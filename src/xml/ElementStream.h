#pragma once

#include <functional>
#include <vector>

#include <tinyxml.h>

#include "package/PartSource.h"

namespace quillet {

// How reading a part element by element ended.
enum class StreamOutcome {
    Parsed,      // the whole text was read, and TinyXML parses it
    NotParsed,   // TinyXML rejects the text (or it is empty)
    Unreadable,  // the part is missing or its data cannot be read
    Cut,         // reading stopped early: the budget ran out, or one node outgrew the window
    Abandoned    // the reader wanted no more of the part
};

// Whether what the children gave stands: the part parses, or reading it stopped early and what
// came before is all there is.
inline bool KeepsWhatWasRead(StreamOutcome outcome) {
    return outcome == StreamOutcome::Parsed || outcome == StreamOutcome::Cut;
}

struct ElementStreamHandlers {
    // The innermost frame's start tag was read; its attributes are set. False abandons the part.
    std::function<bool(const TiXmlElement& frame)> frameOpened;
    // One child element of the innermost frame, parsed whole with everything below it; it is
    // freed after the call. False abandons the part.
    std::function<bool(const TiXmlElement& child)> child;
};

// Reads a part's text as TinyXML parses it whole, but holds one node at a time: the frames are
// the first element named framePath[0] at the top, in it the first child element named
// framePath[1], and so on; the children of the last frame go to `handlers.child` one by one.
// TinyXML's own parsers read every node, and the frames' start tags, contents and end tags are
// read step for step as its element parser reads them, so a part parses here exactly when it
// parses whole, and every child seen is the child the whole tree holds. Children are handed
// over as they are read: a reader keeps what they give aside until the outcome is known.
StreamOutcome ReadElementStream(PartSource& source, const std::vector<const char*>& framePath,
                                const ElementStreamHandlers& handlers);

}  // namespace quillet
