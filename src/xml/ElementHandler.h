#pragma once

#include <tinyxml.h>

namespace quillet {

// What a reader wants of an element whose start tag it was handed.
enum class Visit {
    Enter,  // its children follow
    Skip,   // none of its descendants are handed over; its end still is
    Stop    // reading ends here
};

// Receives the nodes of a streamed part in document order, each as TinyXML's tree of the whole
// part holds it. Depth 1 is a node at the top of the document; a node's children are one deeper.
class ElementHandler {
  public:
    virtual ~ElementHandler() = default;

    // An element begins: its name and attributes are set, its children are not.
    virtual Visit Open(const TiXmlElement& element, int depth) = 0;
    // A node that is not an element, as TinyXML links it into the tree: a text that is not all
    // white space (CDATA included), a comment, a declaration or an unknown node. False ends
    // reading.
    virtual bool Leaf(const TiXmlNode& node, int depth) = 0;
    // The element opened last ends. False ends reading.
    virtual bool Close(const TiXmlElement& element, int depth) = 0;
};

}  // namespace quillet
