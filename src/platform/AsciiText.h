#pragma once

namespace quillet::platform {

// True when every byte of the NUL-terminated text is ASCII: the same bytes in every character
// set a text is converted into, so such a text needs no conversion at all.
inline bool IsAsciiText(const char* text) {
    for (; *text != '\0'; ++text) {
        if (static_cast<unsigned char>(*text) >= 0x80) {
            return false;
        }
    }
    return true;
}

// The value of a hexadecimal digit of either case, -1 for any other byte.
inline int HexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

}  // namespace quillet::platform
