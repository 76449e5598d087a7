#include "graph_window.h"

#include <algorithm>
#include <cwchar>

#include <commdlg.h>

#include "chart_paint.h"
#include "clipboard.h"
#include "commands.h"
#include "message_box.h"
#include "png_file.h"
#include "rmview_resource.h"
#include "wide.h"

namespace rmview::win {
namespace {

constexpr int ClientWidth = 760, ClientHeight = 560;
constexpr DWORD Style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr COLORREF SundayColor = RGB(204, 0, 0), SaturdayColor = RGB(0, 0, 204);

HWND Child(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, WORD id = 0) {
    return CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                           reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
}

HFONT PGothic(UINT dpi, int points, int weight) {
    return CreateFontW(-MulDiv(points, static_cast<int>(dpi), 72), 0, 0, 0, weight, FALSE, FALSE, FALSE,
                       SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       VARIABLE_PITCH | FF_SWISS, L"ＭＳ Ｐゴシック");
}

}  // namespace

bool GraphWindow::Create(const std::filesystem::path& appDir, YearMonth otherwise) {
    appDir_ = appDir;
    otherwise_ = otherwise;
    Load();
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    if (!CreateWindowOf(
            {GraphWindowClass, LoadIconW(instance, MAKEINTRESOURCEW(IDI_RMVIEW)), GetSysColorBrush(COLOR_BTNFACE)},
            {GraphWindowTitle, Style, 0, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT})) {
        return false;
    }
    SetMenu(Handle(), BuildMenuBar());
    MakeFonts();
    CreateControls();
    RECT r{0, 0, Scale(ClientWidth), Scale(ClientHeight)};
    AdjustWindowRectExForDpi(&r, Style, TRUE, 0, Dpi());
    // At a large scale on a small screen: the whole screen.
    MONITORINFO screen{sizeof screen};
    GetMonitorInfoW(MonitorFromWindow(Handle(), MONITOR_DEFAULTTONEAREST), &screen);
    const RECT& work = screen.rcWork;
    const bool fits = r.right - r.left <= work.right - work.left && r.bottom - r.top <= work.bottom - work.top;
    SetWindowPos(Handle(), nullptr, work.left, work.top, std::min(r.right - r.left, work.right - work.left),
                 std::min(r.bottom - r.top, work.bottom - work.top),
                 SWP_NOZORDER | SWP_NOACTIVATE | (fits ? SWP_NOMOVE : 0));
    FillMonthList();
    ShowMonth(months_.empty() ? otherwise_ : months_.back());
    return true;
}

void GraphWindow::Load() {
    read_ = ReadHistoryFiles(appDir_);
    usage_ = Aggregate(read_.Calls);
    months_ = MonthsWithUsage(usage_);
}

void GraphWindow::CreateControls() {
    previous_ = Child(Handle(), L"BUTTON", L"◀", BS_PUSHBUTTON, IdPreviousMonth);
    list_ = Child(Handle(), L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL, IdMonthList);
    next_ = Child(Handle(), L"BUTTON", L"▶", BS_PUSHBUTTON, IdNextMonth);
    summary_ = Child(Handle(), L"STATIC", L"", SS_LEFT | SS_NOPREFIX);
    monthTotals_ = Child(Handle(), L"STATIC", L"", SS_LEFT | SS_NOPREFIX);
    yearTotals_ = Child(Handle(), L"STATIC", L"", SS_LEFT | SS_NOPREFIX);
    for (const HWND child : {previous_, list_, next_, summary_, monthTotals_, yearTotals_}) {
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    }
}

void GraphWindow::MakeFonts() {
    font_.reset(PGothic(Dpi(), 9, FW_NORMAL));
    headingFont_.reset(PGothic(Dpi(), 10, FW_BOLD));
}

void GraphWindow::FillMonthList() {
    SendMessageW(list_, CB_RESETCONTENT, 0, 0);
    for (const YearMonth& month : months_) {
        SendMessageW(list_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(rm::win::Widen(MonthLabel(month)).c_str()));
    }
}

void GraphWindow::ShowMonth(YearMonth month) {
    page_ = PageOf(usage_, month);
    const auto shown = std::find(months_.begin(), months_.end(), month);
    SendMessageW(list_, CB_SETCURSEL, shown == months_.end() ? -1 : shown - months_.begin(), 0);
    EnableWindow(previous_, !months_.empty() && months_.front() < month);
    EnableWindow(next_, !months_.empty() && month < months_.back());
    SetWindowTextW(summary_, rm::win::Widen(ReadSummary(read_, usage_)).c_str());
    SetWindowTextW(monthTotals_, rm::win::Widen(page_.MonthTotals).c_str());
    SetWindowTextW(yearTotals_, rm::win::Widen(page_.YearTotals).c_str());
    InvalidateRect(Handle(), nullptr, FALSE);
}

void GraphWindow::Step(int delta) {
    const YearMonth month = page_.Month;
    if (delta < 0) {
        const auto before = std::lower_bound(months_.begin(), months_.end(), month);
        if (before != months_.begin()) ShowMonth(*(before - 1));
    } else {
        const auto after = std::upper_bound(months_.begin(), months_.end(), month);
        if (after != months_.end()) ShowMonth(*after);
    }
}

bool GraphWindow::CopyText() { return PutOnClipboard(Handle(), rm::win::Widen(PageText(page_))); }

bool GraphWindow::SavePicture(const std::filesystem::path& file) {
    RECT client;
    GetClientRect(Handle(), &client);
    if (client.right <= 0 || client.bottom <= 0) return false;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, client.right, -client.bottom, 1, 32, BI_RGB};
    void* bits = nullptr;
    const rm::win::Owned<HBITMAP, &DeleteObject> picture(
        CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const rm::win::Owned<HDC, &DeleteDC> dc(CreateCompatibleDC(nullptr));
    if (!picture || !dc) return false;
    const HGDIOBJ old = SelectObject(dc.get(), picture.get());
    Paint(dc.get());
    // The controls draw themselves into the picture where they sit.
    for (const HWND child : {previous_, list_, next_, summary_, monthTotals_, yearTotals_}) {
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&r), 2);
        SetViewportOrgEx(dc.get(), r.left, r.top, nullptr);
        SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND);
    }
    SetViewportOrgEx(dc.get(), 0, 0, nullptr);
    GdiFlush();
    const bool saved = SavePng(file, bits, static_cast<UINT>(client.right), static_cast<UINT>(client.bottom));
    SelectObject(dc.get(), old);
    return saved;
}

LRESULT GraphWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SIZE: Layout(); return 0;
    case WM_ERASEBKGND: return 1;  // WM_PAINT covers every pixel
    case WM_PAINT: OnPaint(); return 0;
    case WM_COMMAND: OnCommand(LOWORD(wp), HIWORD(wp)); return 0;
    default: return Window::HandleMessage(msg, wp, lp);
    }
}

void GraphWindow::OnDestroyed() {
    if (endsProgram_) PostQuitMessage(0);
}

void GraphWindow::Layout() {
    if (!list_) return;
    RECT c;
    GetClientRect(Handle(), &c);
    const int margin = Scale(8), row = Scale(24), text = Scale(18), gap = Scale(4);
    MoveWindow(previous_, margin, margin, Scale(28), row, TRUE);
    // A drop-down list's height is that of the list when it is open.
    MoveWindow(list_, margin + Scale(32), margin, Scale(120), Scale(300), TRUE);
    MoveWindow(next_, margin + Scale(156), margin, Scale(28), row, TRUE);
    const int summaryLeft = margin + Scale(196);
    MoveWindow(summary_, summaryLeft, margin + Scale(5), std::max(0, static_cast<int>(c.right) - summaryLeft - margin),
               text, TRUE);
    const int top = margin + row + margin;
    const int width = std::max(0, static_cast<int>(c.right) - 2 * margin);
    const int chart = std::max(0, (static_cast<int>(c.bottom) - top - margin - 2 * (text + gap) - Scale(6)) / 2);
    dayChart_ = {margin, top, margin + width, top + chart};
    MoveWindow(monthTotals_, margin, dayChart_.bottom + gap, width, text, TRUE);
    const int monthTop = dayChart_.bottom + gap + text + Scale(6);
    monthChart_ = {margin, monthTop, margin + width, monthTop + chart};
    MoveWindow(yearTotals_, margin, monthChart_.bottom + gap, width, text, TRUE);
    InvalidateRect(Handle(), nullptr, FALSE);
}

void GraphWindow::Paint(HDC dc) {
    RECT client;
    GetClientRect(Handle(), &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    const ChartFonts fonts{font_.get(), headingFont_.get(), Dpi()};

    std::vector<ChartSlot> days;
    for (int day = 1; day <= static_cast<int>(page_.Days.size()); ++day) {
        const int weekday = WeekdayOf(page_.Month, day);
        days.push_back({std::to_wstring(day), weekday == 0   ? SundayColor
                                              : weekday == 6 ? SaturdayColor
                                                             : RGB(0, 0, 0)});
    }
    PaintChart(dc, dayChart_, rm::win::Widen(page_.MonthHeading), page_.Days, days, fonts);

    std::vector<ChartSlot> months;
    for (int month = 1; month <= 12; ++month) {
        months.push_back({std::to_wstring(month) + L"月", RGB(0, 0, 0), month == page_.Month.Month});
    }
    PaintChart(dc, monthChart_, rm::win::Widen(page_.YearHeading), page_.Months, months, fonts);
}

void GraphWindow::OnPaint() {
    PAINTSTRUCT ps;
    const HDC dc = BeginPaint(Handle(), &ps);
    RECT client;
    GetClientRect(Handle(), &client);
    // Drawn off screen first, so the bars do not flicker while the window is sized.
    const rm::win::Owned<HDC, &DeleteDC> buffer(CreateCompatibleDC(dc));
    const rm::win::Owned<HBITMAP, &DeleteObject> picture(CreateCompatibleBitmap(dc, client.right, client.bottom));
    if (buffer && picture) {
        const HGDIOBJ old = SelectObject(buffer.get(), picture.get());
        Paint(buffer.get());
        BitBlt(dc, 0, 0, client.right, client.bottom, buffer.get(), 0, 0, SRCCOPY);
        SelectObject(buffer.get(), old);
    } else {
        Paint(dc);
    }
    EndPaint(Handle(), &ps);
}

void GraphWindow::OnCommand(WORD id, WORD code) {
    switch (id) {
    case IdCopyText:
        if (!CopyText()) {
            rm::win::ShowMessageBox(Handle(), "クリップボードにコピーできませんでした。", MB_OK,
                                    rm::win::Narrow(GraphWindowTitle));
        }
        break;
    case IdSavePng: SaveAs(); break;
    case IdExit: Destroy(); break;
    case IdPreviousMonth: Step(-1); break;
    case IdNextMonth: Step(1); break;
    case IdReload:
        Load();
        FillMonthList();
        ShowMonth(page_.Month);
        break;
    case IdMonthList:
        if (code == CBN_SELCHANGE) {
            const LRESULT index = SendMessageW(list_, CB_GETCURSEL, 0, 0);
            if (index >= 0 && index < std::ssize(months_)) ShowMonth(months_[static_cast<std::size_t>(index)]);
        }
        break;
    default: break;
    }
}

void GraphWindow::OnDpiChanged(UINT) {
    MakeFonts();
    for (const HWND child : {previous_, list_, next_, summary_, monthTotals_, yearTotals_}) {
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
    }
}

void GraphWindow::SaveAs() {
    wchar_t name[MAX_PATH];
    std::swprintf(name, MAX_PATH, L"接続履歴_%04d%02d.png", page_.Month.Year, page_.Month.Month);
    OPENFILENAMEW dialog{sizeof dialog};
    dialog.hwndOwner = Handle();
    dialog.lpstrFilter = L"PNG 画像 (*.png)\0*.png\0";
    dialog.lpstrFile = name;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrDefExt = L"png";
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    if (!GetSaveFileNameW(&dialog)) return;
    if (!SavePicture(name)) {
        rm::win::ShowMessageBox(Handle(), "画像を保存できませんでした。\r" + rm::win::Narrow(name), MB_OK,
                                rm::win::Narrow(GraphWindowTitle));
    }
}

}  // namespace rmview::win
