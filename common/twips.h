// Positions and sizes in twips (1/1440 inch), converted to pixels at a
// window's real resolution (15 twips a pixel at 96 dpi).
#pragma once

namespace velmi {

struct TwipRect {
    int left, top, width, height;
    [[nodiscard]] constexpr TwipRect WithTop(int t) const noexcept {
        return {left, t, width, height};
    }
};

[[nodiscard]] constexpr int TwipsToPixels(int twips, int dpi) noexcept {
    // Rounded to the nearest pixel, as the platform's MulDiv does.
    const long long scaled = static_cast<long long>(twips) * dpi;
    return static_cast<int>(scaled >= 0 ? (scaled + 720) / 1440 : -((-scaled + 720) / 1440));
}

}  // namespace velmi

#ifdef _WIN32
#include <windows.h>

namespace velmi {

// The rectangle in pixels at a resolution, as window positions take it.
[[nodiscard]] inline RECT TwipsToRect(const TwipRect& r, int dpi) noexcept {
    return {TwipsToPixels(r.left, dpi), TwipsToPixels(r.top, dpi),
            TwipsToPixels(r.left + r.width, dpi), TwipsToPixels(r.top + r.height, dpi)};
}

}  // namespace velmi
#endif
