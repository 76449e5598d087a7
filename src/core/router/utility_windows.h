// Window titles of the router setup utility: for each of its three variants
// the application window, the main window and the settings window.
#pragma once

#include <array>

namespace rm {

inline constexpr std::array<const char*, 9> UtilityWindows{
    "RVT4SET",
    "Ｒｏｕｔａｖｉｓｔａ４ セットアップユーティリティー",
    "Ｒｏｕｔａｖｉｓｔａ４の設定",
    "DAZERA",
    "Ｒｏｕｔａｖｉｓｔａ セットアップユーティリティー",
    "Ｒｏｕｔａｖｉｓｔａの設定",
    "DUVizod",
    "Ｒｏｕｔａｖｉｓｔａ  Optional Tools",
    "Ｒｏｕｔａｖｉｓｔａの設定",
};

}  // namespace rm
