#include <gtest/gtest.h>

#include "program_path.h"
#include "single_instance.h"

namespace rm::win {
namespace {

// A top-level window with the program's title, as a running copy has.
class TitledWindow {
public:
    TitledWindow() {
        hwnd_ = CreateWindowExW(0, L"STATIC", L"Routavista Monitor", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    }
    ~TitledWindow() { DestroyWindow(hwnd_); }

private:
    HWND hwnd_;
};

std::wstring AtomName() { return ProgramPath().filename().wstring(); }

bool AtomExists() { return GlobalFindAtomW(AtomName().c_str()) != 0; }

TEST(SingleInstance, AtomAndWindowTogetherRefuseASecondCopy) {
    auto first = SingleInstance::Acquire();
    ASSERT_TRUE(first.has_value());
    EXPECT_TRUE(AtomExists());
    {
        TitledWindow running;
        EXPECT_FALSE(SingleInstance::Acquire().has_value());
    }
    first.reset();
    EXPECT_FALSE(AtomExists());
}

TEST(SingleInstance, StaleAtomWithoutTheWindowDoesNotBlock) {
    const ATOM stale = GlobalAddAtomW(AtomName().c_str());  // left behind by a crash
    ASSERT_NE(stale, 0);
    {
        auto copy = SingleInstance::Acquire();
        EXPECT_TRUE(copy.has_value());
    }
    GlobalDeleteAtom(stale);
    EXPECT_FALSE(AtomExists());
}

TEST(SingleInstance, WindowOfAnotherProgramAloneDoesNotBlock) {
    TitledWindow other;
    auto copy = SingleInstance::Acquire();
    EXPECT_TRUE(copy.has_value());
}

}  // namespace
}  // namespace rm::win
