// One copy per program file name: a global atom plus the main window's title.
// A second start tells the running copy, which says so from its icon.
#pragma once

#include <optional>

#include <windows.h>

namespace rm::win {

inline constexpr const char* StartedAgainBalloon = "すでに起動しています";

class SingleInstance {
public:
    // Nothing when another copy of this program file runs, or the atom cannot be added.
    static std::optional<SingleInstance> Acquire();
    SingleInstance(SingleInstance&& other) noexcept : atom_(other.atom_) { other.atom_ = 0; }
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;
    SingleInstance& operator=(SingleInstance&&) = delete;
    ~SingleInstance();

private:
    explicit SingleInstance(ATOM atom) : atom_(atom) {}
    ATOM atom_;
};

// Tells the running copy that the user started the program again.
void TellRunningCopy();

}  // namespace rm::win
