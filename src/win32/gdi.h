// RAII owners for GDI objects and icons.
#pragma once

#include <utility>

#include <windows.h>

namespace rm::win {

template <class Handle>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(Handle h) : h_(h) {}
    GdiObject(GdiObject&& other) noexcept : h_(std::exchange(other.h_, nullptr)) {}
    GdiObject& operator=(GdiObject&& other) noexcept {
        reset(std::exchange(other.h_, nullptr));
        return *this;
    }
    ~GdiObject() { reset(); }
    Handle get() const { return h_; }
    void reset(Handle h = nullptr) {
        if (h_) DeleteObject(h_);
        h_ = h;
    }

private:
    Handle h_ = nullptr;
};

class IconHandle {
public:
    IconHandle() = default;
    explicit IconHandle(HICON h) : h_(h) {}
    IconHandle(IconHandle&& other) noexcept : h_(std::exchange(other.h_, nullptr)) {}
    IconHandle& operator=(IconHandle&& other) noexcept {
        if (h_) DestroyIcon(h_);
        h_ = std::exchange(other.h_, nullptr);
        return *this;
    }
    ~IconHandle() {
        if (h_) DestroyIcon(h_);
    }
    HICON get() const { return h_; }

private:
    HICON h_ = nullptr;
};

}  // namespace rm::win
