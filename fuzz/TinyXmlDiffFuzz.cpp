// The patched TinyXML against Debian's own on arbitrary texts: any difference in result, error or
// tree, other than the patched parser refusing what passes the guards' limits, is a finding.
// Input: the text (read up to its first NUL, as TiXmlDocument::Parse reads it).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tinyxml/TinyXmlDiff.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string difference = quillet::test::TinyXmlDifference(text);
    if (!difference.empty()) {
        std::fprintf(stderr, "TinyXML parses differ\n%s", difference.c_str());
        std::abort();
    }
    return 0;
}
