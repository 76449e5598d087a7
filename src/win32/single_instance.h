// One copy per program file name: a global atom plus the main window's title.
#pragma once

#include <optional>

#include <windows.h>

namespace rm::win {

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

}  // namespace rm::win
