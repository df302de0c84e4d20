#pragma once

#include "package/PartSource.h"
#include "package/Status.h"
#include "xml/ElementHandler.h"

namespace quillet {

// Whether what a part gave stands: the part parses, or reading it had to stop early and what
// came before is all there is.
inline bool KeepsWhatWasRead(const Status& status) {
    return status.ok() || status == Status::Code::Cut;
}

// Reads a part's text as TinyXML parses it whole, but never holds more than a small piece of its
// tree: an element that fits in a few dozen KiB is parsed whole by TinyXML and handed over node
// by node; a larger one is read step for step as TinyXML's element parser reads it (its start
// tag, each child in turn, its end tag), so a part parses here exactly when it parses whole, and
// the handler sees every node of the whole tree in order. Everything the handler sees is handed
// over as it is read: a reader keeps what it gives aside until the outcome is known.
//
// `space` Kept reads every text with the white space the part holds, as TinyXML does with
// condensing off, where our TinyXML can do that for one document alone (see KeptWhiteSpace.h);
// Condensed reads them as every reader of "Content" always has.
//
// Answers Ok when the part parses; NotParsed when TinyXML rejects it (or it is empty);
// Unreadable when its data cannot be read; Cut when a bound came first: the request's budget of
// bytes or nodes, or one text, attribute or comment larger than the window; Abandoned when the
// handler stopped.
enum class TextSpace { Condensed, Kept };
Status ReadElementStream(PartSource& source, ElementHandler& handler,
                         TextSpace space = TextSpace::Condensed);

}  // namespace quillet
