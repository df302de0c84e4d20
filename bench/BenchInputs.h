#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace quillet::bench {

// One member as the generator wrote it: the uncompressed text and its raw deflate stream.
struct GeneratedPart {
    std::string name;
    std::string text;
    std::string deflated;
};

// A generated package on disk, in several byte-identical copies under distinct paths, so that a
// request can be made for a file that was not read just before (as a host walking a folder does).
struct BenchInput {
    std::string label;  // "document", "large workbook", ...
    std::vector<std::string> copies;
    size_t packageSize = 0;
    std::vector<GeneratedPart> propertyParts;  // docProps/core.xml, docProps/app.xml
    std::vector<GeneratedPart> contentParts;   // the parts "Content" is built from
    size_t contentXmlSize = 0;                 // uncompressed bytes of the content parts
};

// Writes the three typical and three large inputs into `directory`, `copies` files each.
std::vector<BenchInput> GenerateInputs(const std::string& directory, size_t copies);

// Writes, one copy each, a workbook whose one sheet is rows of small numbers and a document whose
// body is one-word paragraphs, each part just under the 64 MiB a part may have: the largest
// trees a reader is asked to build today. The parts keep their names but not their bytes.
std::vector<BenchInput> GenerateLargestInputs(const std::string& directory);

}  // namespace quillet::bench
