// GraphWindow: the history graph. The month list and its arrows choose the
// month; the window draws it by day and its year by month, with the totals
// of both and a summary of what was read.
#pragma once

#include <filesystem>
#include <vector>

#include <windows.h>

#include "handles.h"
#include "history_records.h"
#include "usage.h"
#include "usage_page.h"
#include "window.h"

namespace rmview::win {

constexpr const wchar_t* GraphWindowClass = L"TRMViewForm";
constexpr const wchar_t* GraphWindowTitle = L"接続履歴のグラフ";

class GraphWindow : public rm::win::Window {
public:
    // endsProgram: closing the window ends the message loop.
    explicit GraphWindow(bool endsProgram) : endsProgram_(endsProgram) {}
    ~GraphWindow() override { Destroy(); }

    // Reads the history files of appDir and opens on the month of the newest
    // record, or on `otherwise` when there is none. Not yet shown.
    bool Create(const std::filesystem::path& appDir, YearMonth otherwise);
    void ShowMonth(YearMonth month);
    YearMonth ShownMonth() const { return page_.Month; }

    // The shown page as tab-separated text.
    bool CopyText();
    // The client area as it is drawn, in a PNG of its size.
    bool SavePicture(const std::filesystem::path& file);

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnDestroyed() override;

private:
    void Load();
    void CreateControls();
    void MakeFonts();
    void FillMonthList();
    void Layout();
    void Paint(HDC dc);
    void OnPaint();
    void OnCommand(WORD id, WORD code);
    void OnDpiChanged(UINT dpi) override;
    void Step(int delta);
    void SaveAs();

    bool endsProgram_;
    std::filesystem::path appDir_;
    YearMonth otherwise_;
    HistoryRead read_;
    Usage usage_;
    std::vector<YearMonth> months_;
    UsagePage page_;
    rm::win::OwnedFont font_, headingFont_;
    HWND previous_ = nullptr, list_ = nullptr, next_ = nullptr;
    HWND summary_ = nullptr, monthTotals_ = nullptr, yearTotals_ = nullptr;
    RECT dayChart_{}, monthChart_{};
};

}  // namespace rmview::win
