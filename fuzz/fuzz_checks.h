// What every fuzz target checks with.
#pragma once

#include <cstdlib>
#include <string_view>

// Stops the run, so libFuzzer keeps the input.
inline void Check(bool condition) {
    if (!condition) std::abort();
}

// Whether s is well-formed UTF-8, as every text inside the program must be.
inline bool IsUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto lead = static_cast<unsigned char>(s[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
        if (length == 0 || i + length > s.size()) return false;
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        }
        i += length;
    }
    return true;
}
