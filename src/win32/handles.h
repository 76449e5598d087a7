// Owners of Win32 handles: each is released once, when its owner goes.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <memory>
#include <type_traits>
#include <utility>

namespace rm::win {

template <auto Release>
struct Releaser {
    template <class Handle>
    void operator()(Handle handle) const {
        Release(handle);
    }
};

template <class Handle, auto Release>
using Owned = std::unique_ptr<std::remove_pointer_t<Handle>, Releaser<Release>>;

using OwnedDC = Owned<HDC, &DeleteDC>;
using OwnedFont = Owned<HFONT, &DeleteObject>;
using OwnedIcon = Owned<HICON, &DestroyIcon>;
using OwnedMenu = Owned<HMENU, &DestroyMenu>;
using OwnedWindow = Owned<HWND, &DestroyWindow>;

// A SOCKET is a number, not a pointer, so it has an owner of its own.
class UniqueSocket {
public:
    UniqueSocket() = default;
    explicit UniqueSocket(SOCKET s) : s_(s) {}
    UniqueSocket(UniqueSocket&& other) noexcept : s_(std::exchange(other.s_, INVALID_SOCKET)) {}
    UniqueSocket& operator=(UniqueSocket&& other) noexcept {
        if (this != &other) {
            if (s_ != INVALID_SOCKET) closesocket(s_);
            s_ = std::exchange(other.s_, INVALID_SOCKET);
        }
        return *this;
    }
    ~UniqueSocket() {
        if (s_ != INVALID_SOCKET) closesocket(s_);
    }
    SOCKET get() const { return s_; }

private:
    SOCKET s_ = INVALID_SOCKET;
};

}  // namespace rm::win
