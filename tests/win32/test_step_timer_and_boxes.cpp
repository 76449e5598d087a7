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

// Records a message posted to it, as another event already waiting.
class PostedEvent {
public:
    explicit PostedEvent(std::vector<std::string>& ran) : ran_(ran) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = [](HWND window, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
            if (msg != WM_APP) return DefWindowProcW(window, msg, wp, lp);
            reinterpret_cast<PostedEvent*>(lp)->ran_.push_back("posted");
            return 0;
        };
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"RmTestPostedEvent";
        RegisterClassW(&wc);
        window_ = CreateWindowW(wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    }
    ~PostedEvent() { DestroyWindow(window_); }
    void Post() { PostMessageW(window_, WM_APP, 0, reinterpret_cast<LPARAM>(this)); }

private:
    std::vector<std::string>& ran_;
    HWND window_;
};

TEST(Win32Steps, StepsRunInTheOrderOfTheirTimesAfterWhatWasPostedBefore) {
    // A delay below 0 posts an event instead of asking for a step.
    struct Ask {
        std::string name;
        int milliseconds;
    };
    struct Row {
        const char* name;
        std::vector<Ask> asked;
        std::vector<std::string> ran;
    };
    const Row rows[] = {
        {"by time", {{"c", 60}, {"a", 0}, {"b", 20}}, {"a", "b", "c"}},
        {"the same time in the order asked", {{"a", 30}, {"b", 30}, {"c", 0}}, {"c", "a", "b"}},
        {"no delay after the events posted before", {{"posted", -1}, {"a", 0}, {"posted", -1}, {"b", 0}},
         {"posted", "a", "posted", "b"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<std::string> ran;
        int steps = 0;
        Win32Steps timer([&](const std::function<void()>& step) {
            ++steps;
            step();
        });
        PostedEvent posted(ran);
        for (const Ask& ask : row.asked) {
            if (ask.milliseconds < 0) {
                posted.Post();
                continue;
            }
            timer.After(ask.milliseconds, [&ran, name = ask.name] { ran.push_back(name); });
        }
        ASSERT_TRUE(PumpUntil([&] { return ran.size() >= row.ran.size(); }));
        EXPECT_EQ(ran, row.ran);
        EXPECT_EQ(steps, std::count_if(row.asked.begin(), row.asked.end(), [](const Ask& a) { return a.milliseconds >= 0; }));
        EXPECT_EQ(timer.Waiting(), 0u);
    }
}

TEST(Win32Steps, AStepAskedByAStepRunsAsAnEventOfItsOwnAndDroppedStepsNever) {
    std::vector<std::string> ran;
    int depth = 0, deepest = 0;
    Win32Steps timer([&](const std::function<void()>& step) {
        deepest = std::max(deepest, ++depth);
        step();
        --depth;
    });
    timer.After(0, [&] {
        ran.push_back("first");
        timer.After(0, [&] { ran.push_back("second"); });
    });
    ASSERT_TRUE(PumpUntil([&] { return ran.size() == 2; }));
    EXPECT_EQ(deepest, 1);

    timer.After(0, [&] { ran.push_back("dropped"); });
    timer.After(10, [&] { ran.push_back("dropped"); });
    timer.DropAll();
    timer.After(50, [&] { ran.push_back("after"); });
    ASSERT_TRUE(PumpUntil([&] { return ran.size() >= 3; }));
    EXPECT_EQ(ran, (std::vector<std::string>{"first", "second", "after"}));
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

HWND ButtonOf(HWND box, const std::wstring& caption) {
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (TextOf(child) == caption) return child;
    }
    return nullptr;
}

TEST(Boxes, OneBoxPerTextWhoseAnswerGoesToEveryAsker) {
    // No button: every box goes at exit.
    struct Row {
        const char* name;
        BoxContent content;
        const wchar_t* button;
        std::vector<bool> answers;
    };
    const Row rows[] = {
        {"OK", {.Text = "一行目\r二行目", .Icon = BoxIcon::Warning}, L"OK", {true, true}},
        {"はい", {.Text = "続けますか？", .Buttons = BoxButtons::YesNo, .Icon = BoxIcon::Question, .Caption = "確認"},
         L"はい(&Y)", {true, true}},
        {"いいえ", {.Text = "続けますか？", .Buttons = BoxButtons::YesNo, .Caption = "確認"}, L"いいえ(&N)",
         {false, false}},
        {"at exit", {.Text = "終了前"}, nullptr, {}},
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
            ASSERT_NE(ButtonOf(shown[0], row.button), nullptr);
            PostMessageW(ButtonOf(shown[0], row.button), BM_CLICK, 0, 0);
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
