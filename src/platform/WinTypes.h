// Basic window-system value types shared by the window, drawing and dialog layers.
#pragma once
#include "platform/Controls.h" // CRect, SW_SHOW, SW_HIDE
#include <cstdint>

// Window and dialog calls take message numbers, timer ids and key flags as
// unsigned, message parameters as uintptr_t / intptr_t and give results as
// intptr_t (messages) or bool (success).
using COLORREF = uint32_t; // 0x00BBGGRR

constexpr COLORREF RGB(int r, int g, int b) {
    return COLORREF(r & 0xFF) | (COLORREF(g & 0xFF) << 8) | (COLORREF(b & 0xFF) << 16);
}
constexpr int GetRValue(COLORREF c) {
    return int(c & 0xFF);
}
constexpr int GetGValue(COLORREF c) {
    return int((c >> 8) & 0xFF);
}
constexpr int GetBValue(COLORREF c) {
    return int((c >> 16) & 0xFF);
}

struct CPoint {
    int x = 0, y = 0;
    CPoint() = default;
    CPoint(int px, int py) : x(px), y(py) {}
    bool operator==(const CPoint&) const = default;
};

struct CSize {
    int cx = 0, cy = 0;
    CSize() = default;
    CSize(int w, int h) : cx(w), cy(h) {}
    bool operator==(const CSize&) const = default;
};

inline bool PtInRect(const CRect& r, CPoint p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}
inline CRect InflatedRect(const CRect& r, int dx, int dy) {
    return {r.left - dx, r.top - dy, r.right + dx, r.bottom + dy};
}

// Mouse key flags passed to the button handlers.
enum : unsigned { MK_LBUTTON = 0x1, MK_RBUTTON = 0x2, MK_SHIFT = 0x4, MK_CONTROL = 0x8 };
