#pragma once

#include <string>
#include <vector>

namespace quillet::test {

// The names of the members a package's central directory lists, in its order; none when the
// bytes hold no end record. The module itself only looks members up by name.
std::vector<std::string> MemberNames(const std::string& package);

}  // namespace quillet::test
