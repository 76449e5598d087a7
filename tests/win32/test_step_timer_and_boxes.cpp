#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "box_window.h"
#include "message_box.h"
#include "pump.h"
#include "step_timer.h"
#include "wide.h"

namespace rm::win {
namespace {

// Steps asked for (a delay below 0 posts a message instead, as another event
// already waiting) and the order they ran in, each through the runner, never
// one inside another; those dropped never run.
TEST(Win32Steps, StepsRunByTimeAfterWhatWasPostedBeforeEachOnItsOwn) {
    struct Ask {
        std::string name;
        int milliseconds;
    };
    struct Row {
        const char* name;
        std::vector<Ask> asked;
        std::vector<std::string> ran;
        bool dropAfterTwo = false;
    };
    const Row rows[] = {
        {"by time", {{"c", 60}, {"a", 0}, {"b", 20}}, {"a", "b", "c"}},
        {"the same time in the order asked", {{"a", 30}, {"b", 30}, {"c", 0}}, {"c", "a", "b"}},
        {"no delay after the events posted before", {{"posted", -1}, {"a", 0}, {"posted", -1}, {"b", 0}},
         {"posted", "a", "posted", "b"}},
        {"dropped", {{"a", 0}, {"b", 10}, {"c", 50}}, {"c"}, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<std::string> ran;
        int depth = 0, deepest = 0;
        Win32Steps timer([&](const std::function<void()>& step) {
            deepest = std::max(deepest, ++depth);
            step();
            --depth;
        });
        const HWND posted = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        SetWindowLongPtrW(posted, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND, UINT msg, WPARAM, LPARAM lp) -> LRESULT {
                              if (msg == WM_APP) reinterpret_cast<std::vector<std::string>*>(lp)->push_back("posted");
                              return 0;
                          }));
        for (const Ask& ask : row.asked) {
            if (ask.milliseconds < 0) {
                PostMessageW(posted, WM_APP, 0, reinterpret_cast<LPARAM>(&ran));
            } else {
                // Each step asks for one more, which runs later as an event of its own.
                timer.After(ask.milliseconds, [&, name = ask.name] {
                    ran.push_back(name);
                    timer.After(0, [] {});
                });
            }
            if (row.dropAfterTwo && &ask == &row.asked[1]) timer.DropAll();
        }
        ASSERT_TRUE(PumpUntil([&] { return ran.size() >= row.ran.size() && timer.Waiting() == 0; }));
        EXPECT_EQ(ran, row.ran);
        EXPECT_EQ(deepest, 1);
        DestroyWindow(posted);
    }
}

// The program's boxes as a user finds them: by caption and text.
std::vector<HWND> BoxesShowing(const std::wstring& caption, const std::wstring& text) {
    std::vector<HWND> found;
    for (HWND box = FindWindowExW(nullptr, nullptr, L"#32770", caption.c_str()); box;
         box = FindWindowExW(nullptr, box, L"#32770", caption.c_str())) {
        if (IsWindowVisible(box) && TextOf(GetDlgItem(box, 0xFFFF)) == text) found.push_back(box);
    }
    return found;
}

TEST(Boxes, OneBoxPerTextWhoseAnswerGoesToEveryAsker) {
    // No button: every box goes at exit, unanswered.
    struct Row {
        const char* name;
        BoxContent content;
        int button;
        const wchar_t* caption;
        std::vector<bool> answers;
    };
    const Row rows[] = {
        {"OK", {.Text = "一行目\r二行目", .Icon = BoxIcon::Warning}, IDOK, L"OK", {true, true}},
        {"はい", {.Text = "続けますか？", .Buttons = BoxButtons::YesNo, .Icon = BoxIcon::Question, .Caption = "確認"},
         IDYES, L"はい(&Y)", {true, true}},
        {"いいえ", {.Text = "続けますか？", .Buttons = BoxButtons::YesNo, .Caption = "確認"}, IDNO, L"いいえ(&N)",
         {false, false}},
        {"at exit", {.Text = "終了前"}, 0, nullptr, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<bool> answers;
        for (int asker = 0; asker < 2; ++asker) ShowBox(nullptr, row.content, [&](bool yes) { answers.push_back(yes); });
        const std::wstring caption = Widen(row.content.Caption), text = BoxText(row.content.Text);
        const std::vector<HWND> shown = BoxesShowing(caption, text);
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_TRUE(answers.empty());
        if (row.button) {
            const HWND button = GetDlgItem(shown[0], row.button);
            EXPECT_EQ(TextOf(button), row.caption);
            PostMessageW(button, BM_CLICK, 0, 0);
            ASSERT_TRUE(PumpUntil([&] { return !answers.empty(); }));
        } else {
            CloseAllBoxes();
        }
        EXPECT_EQ(answers, row.answers);
        EXPECT_TRUE(BoxesShowing(caption, text).empty());
    }
}

}  // namespace
}  // namespace rm::win
