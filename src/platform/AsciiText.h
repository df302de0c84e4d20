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

}  // namespace quillet::platform
