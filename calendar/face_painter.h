// How the calendar's face looks: its colours, fonts and arrow pictures, and
// the painting of each part, on screen and into a container's device context.
#pragma once

#include "calendar_model.h"
#include "win_handle.h"

#include <windows.h>

namespace nuv {

// Fonts and pictures for drawing the face at one scale.
struct FaceResources {
    explicit FaceResources(int pixelsPerInch);
    int pixelsPerInch;
    velmi::unique_hfont dayFont;
    velmi::unique_hfont markedDayFont;
    velmi::unique_hfont labelFont;
    velmi::unique_hfont dateBoxFont;  // fits the widest date the box shows
    velmi::unique_hicon leftArrow;
    velmi::unique_hicon rightArrow;
};

// The date box's margins inside its edge, each side, in pixels.
inline constexpr int kDateBoxMargin = 1;

// Answers WM_PAINT for one child window of the face, known by its id.
void PaintPart(HWND part, const Face& face, const FaceResources& resources) noexcept;

// Paints the whole face, date box included, into any device context, scaled
// to the bounds (IViewObject::Draw).
void DrawFace(const Face& face, HDC dc, const RECT& bounds) noexcept;

}  // namespace nuv
