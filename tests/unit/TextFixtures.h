#pragma once

#include <string>

#include "support/PackageBuilder.h"

namespace quillet::test {

// The "Content" and "Titles" texts that the extractor builds for a package.
std::string ContentOf(const PackageBuilder& package);
std::string TitlesOf(const PackageBuilder& package);

// Minimal parts around given children.
std::string WordDocument(const std::string& bodyChildren);
std::string Worksheet(const std::string& rows);
std::string SharedStrings(const std::string& uniqueCount, const std::string& items);
std::string Slide(const std::string& shapeTreeChildren);
std::string ExtendedProperties(const std::string& children);

}  // namespace quillet::test
