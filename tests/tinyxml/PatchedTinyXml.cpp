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

ParseOutcome ParseWithPatchedTinyXml(const std::string& text, int encoding, bool condense) {
    // The document's own setting: the process-wide switch stays as it is.
    return patched_tinyxml::DescribeParse(
        text, encoding, [condense](TiXmlDocument& document) {
            document.SetParseWhiteSpaceCondensed(condense);
        });
}

}  // namespace quillet::test
