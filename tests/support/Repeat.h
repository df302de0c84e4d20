#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quillet::test {

// `unit` written `times` times over: the floods of elements and text the tests are made of.
inline std::string Repeat(std::string_view unit, size_t times) {
    std::string text;
    text.reserve(unit.size() * times);
    for (size_t i = 0; i < times; ++i) {
        text += unit;
    }
    return text;
}

}  // namespace quillet::test
