// The patched TinyXML every build compiles, described as the Debian copy is.
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include <tinyxml.h>

#include "tinyxml/ParseOutcome.h"

namespace quillet::test {
namespace patched_tinyxml {
#include "tinyxml/DescribeParse.inc"
}  // namespace patched_tinyxml

ParseOutcome ParseWithPatchedTinyXml(const std::string& text, int encoding, bool condense,
                                     bool pooled) {
    // Pooled nodes come back from a parse of the same text with the other setting, holding its
    // values, attributes and children: a parse from them must give what fresh nodes give.
    TiXmlNodePool pool;
    if (pooled) {
        TiXmlDocument earlier;
        earlier.SetNodePool(&pool);
        earlier.SetParseWhiteSpaceCondensed(!condense);
        earlier.Parse(text.c_str(), nullptr, static_cast<TiXmlEncoding>(encoding));
        while (TiXmlNode* node = earlier.FirstChild()) {
            pool.Free(node);
        }
    }
    // The document's own setting: the process-wide switch stays as it is.
    return patched_tinyxml::DescribeParse(text, encoding, [&](TiXmlDocument& document) {
        document.SetParseWhiteSpaceCondensed(condense);
        document.SetNodePool(pooled ? &pool : nullptr);
    });
}

}  // namespace quillet::test
