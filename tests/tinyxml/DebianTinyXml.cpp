// Debian's tinyxml as Debian builds it (TIXML_USE_STL), without our patches, compiled into the
// namespace debian_tinyxml so it links beside the patched copy. Its headers come first, outside
// the namespace, so the sources' own includes of them inside it are empty.
#include <assert.h>
#include <ctype.h>
#include <stddef.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "tinyxml/ParseOutcome.h"

namespace debian_tinyxml {
#include "tinyxml.cpp"
#include "tinyxmlerror.cpp"
#include "tinyxmlparser.cpp"

#include "tinyxml/DescribeParse.inc"
}  // namespace debian_tinyxml

namespace quillet::test {

ParseOutcome ParseWithDebianTinyXml(const std::string& text, int encoding, bool condense) {
    // Its only switch is process-wide; it belongs to this copy alone, and is set back at once.
    debian_tinyxml::TiXmlBase::SetCondenseWhiteSpace(condense);
    ParseOutcome outcome =
        debian_tinyxml::DescribeParse(text, encoding, [](debian_tinyxml::TiXmlDocument&) {});
    debian_tinyxml::TiXmlBase::SetCondenseWhiteSpace(true);
    return outcome;
}

}  // namespace quillet::test
