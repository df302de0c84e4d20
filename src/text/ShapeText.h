#pragma once

#include <string>
#include <string_view>

#include <tinyxml.h>

#include "text/BoundedText.h"

namespace quillet {

// The plain text of one element of a slide's shape and everything inside it, as the slide reader
// has always given it: the element as TinyXML's printer writes it back (no indent, a line break
// after each line), made well-formed, its markup dropped, control bytes as spaces, and the
// printer's escapes (the five entities and "&#xHH;") decoded once, left to right. Made straight
// from the element's nodes as they stream by: nothing is printed, and a text is copied only
// while it is not yet known whether it is its element's only child.
class ShapeText {
  public:
    explicit ShapeText(BoundedText& result) : result_(result) {}

    void Open();
    void Leaf(const TiXmlNode& node);
    void Close();
    // The element ended: the last of its text goes out.
    void Finish();

  private:
    // The printer's escapes, decoded as the text arrives in pieces.
    class EscapeDecoder {
      public:
        explicit EscapeDecoder(BoundedText& result) : result_(result) {}
        void Feed(std::string_view text);
        void Finish();

      private:
        // Decodes `text` from the start; answers how much of it was taken: all but a last '&'
        // whose escape may go on in what follows, unless `final`.
        size_t Decode(std::string_view text, bool final);

        BoundedText& result_;
        std::string pending_;
    };

    // The element opened last gets a child, or its only text turns out not to be: its start
    // tag ends a line, and a held text is written on a line of its own.
    void Settle();
    // A text as the printer writes it: escaped, on a line of its own unless it is its
    // element's only child.
    void EmitText(const std::string& value);
    // A node printed with its markup: what is not markup stays.
    void EmitMarkedUp(const std::string& printed);

    BoundedText& result_;
    EscapeDecoder decoder_{result_};
    bool openWithoutChild_ = false;
    bool holdingText_ = false;
    std::string heldText_;
    std::string scratch_;
};

}  // namespace quillet
