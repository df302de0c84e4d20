#pragma once

#include <string>

namespace quillet::test {

// One TinyXML's parse of a text, told without TinyXML's types, so that Debian's copy and the
// patched one, each compiled against its own headers, are compared from one file.
struct ParseOutcome {
    std::string description;  // the error, where the parse ended, and every node in order
    bool error = false;
    int errorId = 0;
    int deepestElement = 0;  // of the tree the parse left, root element 1
    int mostAttributes = 0;  // on one element of that tree
};

// TiXmlDocument::Parse of `text` with `encoding` (a TiXmlEncoding), condensing white space or
// not: Debian's copy through its process-wide switch, the patched one through the document's own
// setting, which must give the same; `pooled`, from nodes that a node pool took back.
ParseOutcome ParseWithDebianTinyXml(const std::string& text, int encoding, bool condense);
ParseOutcome ParseWithPatchedTinyXml(const std::string& text, int encoding, bool condense,
                                     bool pooled);

}  // namespace quillet::test
