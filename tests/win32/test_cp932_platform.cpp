#include <gtest/gtest.h>

#include <windows.h>

#include "text/cp932.h"
#include "wide.h"

namespace rm::win {
namespace {

std::string PlatformDecode(const std::string& bytes) {
    const int n = MultiByteToWideChar(932, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(932, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), n);
    return Narrow(wide);
}

std::string PlatformEncode(const std::wstring& wide) {
    const int n = WideCharToMultiByte(932, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                      nullptr);
    std::string bytes(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(932, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(), n, nullptr, nullptr);
    return bytes;
}

// The core converts files and datagrams without the platform; it must agree
// with it on every character, or a file written here would read differently.
TEST(Cp932Platform, DecodingAgreesForEveryOneAndTwoByteSequence) {
    ASSERT_EQ(PlatformDecode("\x90\xDA\x91\xB1"), "接続");
    int mismatches = 0;
    for (int lead = 0; lead < 256; ++lead) {
        const std::string single(1, static_cast<char>(lead));
        if (Cp932ToUtf8(single) != PlatformDecode(single)) ++mismatches;
        for (int trail = 0x40; trail < 256; ++trail) {
            const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
            if (Cp932ToUtf8(pair) != PlatformDecode(pair) && ++mismatches <= 5) {
                ADD_FAILURE() << std::hex << "bytes " << lead << " " << trail;
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(Cp932Platform, EncodingAgreesForEveryCharacterOfThePlane) {
    int mismatches = 0;
    for (wchar_t c = 1; c < 0xD800; ++c) {
        const std::wstring wide(1, c);
        if (Utf8ToCp932(Narrow(wide)) != PlatformEncode(wide) && ++mismatches <= 5) {
            ADD_FAILURE() << std::hex << "U+" << static_cast<int>(c);
        }
    }
    EXPECT_EQ(mismatches, 0);
}

}  // namespace
}  // namespace rm::win
