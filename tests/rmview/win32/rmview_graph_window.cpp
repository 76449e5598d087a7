#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <objbase.h>
#include <wincodec.h>
#include <wrl/client.h>

#include "commands.h"
#include "graph_window.h"
#include "pump.h"

namespace rmview::win {
namespace {

namespace fs = std::filesystem;
using rm::win::TextOf;
using Microsoft::WRL::ComPtr;

class GraphWindowTest : public testing::Test {
protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        folder_ = fs::temp_directory_path() / ("rmview-" + std::to_string(GetTickCount64()));
        fs::create_directories(folder_ / "log");
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
        CoUninitialize();
    }

    void Write(const char* name, const std::string& bytes) {
        std::ofstream(folder_ / "log" / name, std::ios::binary) << bytes;
    }
    // January and February 2003, the newest record in the master's file, and
    // one damaged line.
    void WriteHistory() {
        Write("Rmonitor.csv",
              "2.04,Port1,2003/01/10,20:00:00,2003/01/10,20:00:10,2003/01/10,21:00:10,   1234\r\n"
              "2.04,Port2,2003/02/03,09:00:00,2003/02/03,09:00:00,2003/02/03,09:30:00\r\n"
              "2.04,Port1,2003/02/0\r\n");
        Write("LogBackUp.csv", "2.04,Port1,2003/02/03,23:30:00,2003/02/03,23:30:00,2003/02/04,00:15:00,    117\r\n");
    }
    void Open(GraphWindow& window, YearMonth otherwise = {2010, 5}) {
        ASSERT_TRUE(window.Create(folder_, otherwise));
        ShowWindow(window.Handle(), SW_SHOWNOACTIVATE);
        UpdateWindow(window.Handle());
        rm::win::PumpUntil([] { return true; });
    }

    fs::path folder_;
};

// The children of one class, in the order they were made.
std::vector<HWND> Children(HWND parent, const wchar_t* cls) {
    std::vector<HWND> found;
    for (HWND child = FindWindowExW(parent, nullptr, cls, nullptr); child;
         child = FindWindowExW(parent, child, cls, nullptr)) {
        found.push_back(child);
    }
    return found;
}

std::wstring MenuText(HMENU menu, UINT position) {
    wchar_t text[128] = {};
    GetMenuStringW(menu, position, text, 128, MF_BYPOSITION);
    return text;
}

struct Shown {
    std::wstring month, summary, monthTotals, yearTotals;
    bool previousEnabled, nextEnabled;
};

Shown Read(const GraphWindow& window) {
    const auto statics = Children(window.Handle(), L"Static");
    const auto buttons = Children(window.Handle(), L"Button");
    const auto lists = Children(window.Handle(), L"ComboBox");
    EXPECT_EQ(statics.size(), 3u);
    EXPECT_EQ(buttons.size(), 2u);
    EXPECT_EQ(lists.size(), 1u);
    if (statics.size() != 3 || buttons.size() != 2 || lists.size() != 1) return {};
    return {TextOf(lists[0]),
            TextOf(statics[0]),
            TextOf(statics[1]),
            TextOf(statics[2]),
            IsWindowEnabled(buttons[0]) != FALSE,
            IsWindowEnabled(buttons[1]) != FALSE};
}

void Command(const GraphWindow& window, WORD id, WORD code = 0, HWND from = nullptr) {
    SendMessageW(window.Handle(), WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(from));
}

TEST_F(GraphWindowTest, OpensOnTheMonthOfTheNewestRecordWithItsTotals) {
    WriteHistory();
    GraphWindow window(false);
    Open(window);
    EXPECT_EQ(TextOf(window.Handle()), L"接続履歴のグラフ");
    const Shown shown = Read(window);
    EXPECT_EQ(shown.month, L"2003年02月");
    EXPECT_EQ(shown.summary, L"接続記録 3件　読めない行 1行");
    // The call across midnight: 30 minutes on the 3rd, 15 on the 4th, one call.
    EXPECT_EQ(shown.monthTotals, L"2003年2月の合計　Port1 0:45:00 (1回)　Port2 0:30:00 (1回)　計 1:15:00 (2回)");
    EXPECT_EQ(shown.yearTotals, L"2003年の合計　Port1 1:45:00 (2回)　Port2 0:30:00 (1回)　計 2:15:00 (3回)");
    EXPECT_TRUE(shown.previousEnabled);
    EXPECT_FALSE(shown.nextEnabled);

    const HMENU bar = GetMenu(window.Handle());
    ASSERT_EQ(GetMenuItemCount(bar), 2);
    EXPECT_EQ(MenuText(bar, 0), L"ﾌｧｲﾙ");
    EXPECT_EQ(MenuText(bar, 1), L"表示");
    const HMENU file = GetSubMenu(bar, 0);
    EXPECT_EQ(MenuText(file, 0), L"テキストとしてコピー\tCtrl+C");
    EXPECT_EQ(MenuText(file, 1), L"PNG画像として保存...\tCtrl+S");
    EXPECT_EQ(MenuText(file, 3), L"終了");
}

TEST_F(GraphWindowTest, TheArrowsAndTheListMoveBetweenTheMonthsWithRecords) {
    Write("Rmonitor.csv",
          "2.04,Port1,2002/11/10,20:00:00,2002/11/10,20:00:00,2002/11/10,20:10:00\r\n"
          "2.04,Port1,2003/01/10,20:00:00,2003/01/10,20:00:00,2003/01/10,20:20:00\r\n"
          "2.04,Port2,2003/02/03,09:00:00,2003/02/03,09:00:00,2003/02/03,09:30:00\r\n");
    GraphWindow window(false);
    Open(window);
    const HWND list = Children(window.Handle(), L"ComboBox").at(0);
    ASSERT_EQ(SendMessageW(list, CB_GETCOUNT, 0, 0), 3);

    Command(window, IdPreviousMonth);
    EXPECT_EQ(window.ShownMonth(), (YearMonth{2003, 1}));
    EXPECT_EQ(Read(window).month, L"2003年01月");
    EXPECT_EQ(Read(window).monthTotals, L"2003年1月の合計　Port1 0:20:00 (1回)　Port2 0:00:00 (0回)　計 0:20:00 (1回)");
    EXPECT_TRUE(Read(window).nextEnabled);

    // Over the empty December, into the year before.
    Command(window, IdPreviousMonth);
    EXPECT_EQ(Read(window).month, L"2002年11月");
    EXPECT_EQ(Read(window).yearTotals, L"2002年の合計　Port1 0:10:00 (1回)　Port2 0:00:00 (0回)　計 0:10:00 (1回)");
    EXPECT_FALSE(Read(window).previousEnabled);
    Command(window, IdPreviousMonth);
    EXPECT_EQ(window.ShownMonth(), (YearMonth{2002, 11}));

    // The user picks the last entry of the list.
    SendMessageW(list, CB_SETCURSEL, 2, 0);
    Command(window, IdMonthList, CBN_SELCHANGE, list);
    EXPECT_EQ(window.ShownMonth(), (YearMonth{2003, 2}));
    EXPECT_EQ(Read(window).monthTotals, L"2003年2月の合計　Port1 0:00:00 (0回)　Port2 0:30:00 (1回)　計 0:30:00 (1回)");

    // A record written meanwhile shows after 再読み込み.
    Write("Rmonitor.csv",
          "2.04,Port1,2003/02/05,20:00:00,2003/02/05,20:00:00,2003/02/05,21:00:00\r\n"
          "2.04,Port2,2003/03/03,09:00:00,2003/03/03,09:00:00,2003/03/03,09:30:00\r\n");
    Command(window, IdReload);
    EXPECT_EQ(Read(window).month, L"2003年02月");
    EXPECT_EQ(Read(window).monthTotals, L"2003年2月の合計　Port1 1:00:00 (1回)　Port2 0:00:00 (0回)　計 1:00:00 (1回)");
    EXPECT_TRUE(Read(window).nextEnabled);
}

TEST_F(GraphWindowTest, WithoutHistoryItOpensOnTheGivenMonthAndSaysSo) {
    GraphWindow window(false);
    Open(window, {2026, 12});
    EXPECT_EQ(window.ShownMonth(), (YearMonth{2026, 12}));
    const Shown shown = Read(window);
    EXPECT_EQ(shown.summary, L"履歴ファイル log\\Rmonitor.csv がありません");
    EXPECT_EQ(shown.monthTotals, L"2026年12月の合計　Port1 0:00:00 (0回)　Port2 0:00:00 (0回)　計 0:00:00 (0回)");
    EXPECT_FALSE(shown.previousEnabled);
    EXPECT_FALSE(shown.nextEnabled);
}

std::wstring ClipboardText() {
    std::wstring text;
    if (!OpenClipboard(nullptr)) return text;
    if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* wide = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = wide;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

TEST_F(GraphWindowTest, CopyPutsTheShownMonthAndItsYearOnTheClipboard) {
    WriteHistory();
    GraphWindow window(false);
    Open(window);
    Command(window, IdCopyText);
    const std::wstring text = ClipboardText();
    EXPECT_TRUE(
        text.starts_with(L"2003年2月 日別の接続時間\r\n日\tPort1\tPort1回数\tPort2\tPort2回数\r\n"
                         L"1日(土)\t0:00:00\t0\t0:00:00\t0\r\n"))
        << text.substr(0, 200);
    EXPECT_NE(text.find(L"\r\n3日(月)\t0:30:00\t1\t0:30:00\t1\r\n4日(火)\t0:15:00\t0\t0:00:00\t0\r\n"),
              std::wstring::npos);
    EXPECT_NE(text.find(L"\r\n28日(金)\t0:00:00\t0\t0:00:00\t0\r\n合計\t0:45:00\t1\t0:30:00\t1\r\n\r\n"
                        L"2003年 月別の接続時間\r\n月\tPort1\tPort1回数\tPort2\tPort2回数\r\n"
                        L"1月\t1:00:00\t1\t0:00:00\t0\r\n2月\t0:45:00\t1\t0:30:00\t1\r\n"),
              std::wstring::npos);
    EXPECT_TRUE(text.ends_with(L"\r\n合計\t1:45:00\t2\t0:30:00\t1\r\n"));
    EXPECT_EQ(text.find(L"29日"), std::wstring::npos);
}

std::string FileBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

unsigned BigEndian(const std::string& bytes, std::size_t at) {
    unsigned value = 0;
    for (std::size_t i = at; i < at + 4; ++i) value = value << 8 | static_cast<unsigned char>(bytes[i]);
    return value;
}

// The picture's pixels as blue, green, red, alpha, read back through the
// imaging component.
std::vector<BYTE> DecodedPixels(const fs::path& file, UINT& width, UINT& height) {
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICFormatConverter> converter;
    std::vector<BYTE> pixels;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(factory.GetAddressOf()))) ||
        FAILED(factory->CreateDecoderFromFilename(file.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                  decoder.GetAddressOf())) ||
        FAILED(decoder->GetFrame(0, frame.GetAddressOf())) || FAILED(frame->GetSize(&width, &height)) ||
        FAILED(factory->CreateFormatConverter(converter.GetAddressOf())) ||
        FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0,
                                     WICBitmapPaletteTypeCustom))) {
        return pixels;
    }
    pixels.resize(static_cast<std::size_t>(width) * height * 4);
    if (FAILED(converter->CopyPixels(nullptr, width * 4, static_cast<UINT>(pixels.size()), pixels.data()))) {
        pixels.clear();
    }
    return pixels;
}

int CountColour(const std::vector<BYTE>& pixels, COLORREF colour) {
    int count = 0;
    for (std::size_t i = 0; i + 3 < pixels.size(); i += 4) {
        if (RGB(pixels[i + 2], pixels[i + 1], pixels[i]) == colour && pixels[i + 3] == 0xFF) ++count;
    }
    return count;
}

TEST_F(GraphWindowTest, TheSavedPictureIsAPngOfTheWindowsClientArea) {
    WriteHistory();
    GraphWindow window(false);
    Open(window);
    const fs::path file = folder_ / "graph.png";
    ASSERT_TRUE(window.SavePicture(file));
    RECT client;
    GetClientRect(window.Handle(), &client);

    const std::string bytes = FileBytes(file);
    ASSERT_GT(bytes.size(), 33u);
    EXPECT_EQ(bytes.substr(0, 8), "\x89PNG\r\n\x1a\n");
    EXPECT_EQ(bytes.substr(12, 4), "IHDR");
    EXPECT_EQ(BigEndian(bytes, 16), static_cast<unsigned>(client.right));
    EXPECT_EQ(BigEndian(bytes, 20), static_cast<unsigned>(client.bottom));

    UINT width = 0, height = 0;
    const std::vector<BYTE> pixels = DecodedPixels(file, width, height);
    ASSERT_EQ(pixels.size(), static_cast<std::size_t>(client.right) * client.bottom * 4);
    // Both ports have bars this month, and the picture is opaque.
    EXPECT_GT(CountColour(pixels, RGB(49, 99, 206)), 100);
    EXPECT_GT(CountColour(pixels, RGB(230, 126, 34)), 100);
    for (std::size_t i = 3; i < pixels.size(); i += 4) ASSERT_EQ(pixels[i], 0xFF) << i;

    // A folder that does not exist: nothing saved, and it says so.
    EXPECT_FALSE(window.SavePicture(folder_ / "missing" / "graph.png"));
}

}  // namespace
}  // namespace rmview::win
