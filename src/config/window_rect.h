// The main window's position and size as kept in the settings. The value
// kUseDefaultPosition in all four fields lets the window system choose.
#pragma once
#include <cstdint>

struct WindowRect {
    static constexpr int32_t kUseDefaultPosition = INT32_MIN;

    int32_t x = kUseDefaultPosition;
    int32_t y = kUseDefaultPosition;
    int32_t width = kUseDefaultPosition;
    int32_t height = kUseDefaultPosition;

    friend bool operator==(const WindowRect&, const WindowRect&) = default;
};
