#pragma once

#include <type_traits>
#include <utility>

#include <tinyxml.h>

namespace quillet {

// Where the readers of "Text" get the white space of a part as it is written (the spaces at the
// ends of a run) instead of condensed. TinyXML condenses through a process-wide switch that
// "Content" depends on and other threads read, so it is never flipped; instead this is the one
// place that switches on once our TinyXML patch gives a document its own setting
// (TiXmlDocument::SetParseWhiteSpaceCondensed) and lets a node made by hand be parsed under a
// parent (TiXmlNode::ParseAsChildOf). Both are found at compile time: with a TinyXML without
// them, a reading that asks for kept white space gets it condensed, exactly as "Content" does.
namespace kept_white_space {

template <class Document, class = void>
struct HasOwnSetting : std::false_type {};
template <class Document>
struct HasOwnSetting<
    Document, std::void_t<decltype(std::declval<Document&>().SetParseWhiteSpaceCondensed(false))>>
    : std::true_type {};

template <class Node, class = void>
struct ParsesAsChild : std::false_type {};
template <class Node>
struct ParsesAsChild<Node,
                     std::void_t<decltype(std::declval<Node&>().ParseAsChildOf(
                         std::declval<TiXmlNode&>(), nullptr, nullptr, TIXML_ENCODING_UNKNOWN))>>
    : std::true_type {};

}  // namespace kept_white_space

// Whether this TinyXML can parse one document without condensing white space.
inline constexpr bool TinyXmlKeepsWhiteSpacePerDocument =
    kept_white_space::HasOwnSetting<TiXmlDocument>::value &&
    kept_white_space::ParsesAsChild<TiXmlText>::value;

// Makes what is parsed into `document` keep its white space; false, changing nothing, where
// TinyXML cannot.
template <class Document = TiXmlDocument>
bool KeepWhiteSpace(Document& document) {
    if constexpr (kept_white_space::HasOwnSetting<Document>::value &&
                  kept_white_space::ParsesAsChild<TiXmlText>::value) {
        document.SetParseWhiteSpaceCondensed(false);
        return true;
    } else {
        (void)document;
        return false;
    }
}

// Parses a text node made by hand at `p` with the white-space setting of `parent`'s document,
// as TinyXML parses the texts between an element's children; without the patch, with the
// process-wide setting.
template <class Text = TiXmlText>
const char* ParseTextUnder(Text& text, TiXmlNode& parent, const char* p, TiXmlEncoding encoding) {
    if constexpr (kept_white_space::ParsesAsChild<Text>::value) {
        return text.ParseAsChildOf(parent, p, nullptr, encoding);
    } else {
        (void)parent;
        return text.Parse(p, nullptr, encoding);
    }
}

}  // namespace quillet
