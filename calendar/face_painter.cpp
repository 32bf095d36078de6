#include "face_painter.h"

#include "layout.h"
#include "module.h"
#include "win_date.h"
#include "win_gdi.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace nuv {
namespace {

using velmi::PaintDc;
using velmi::Selected;
using velmi::WindowDc;

constexpr COLORREF kPaleYellow = RGB(255, 255, 192);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kFrameEdge = RGB(128, 128, 128);
constexpr COLORREF kMarkedText = RGB(0, 0, 160);
constexpr COLORREF kTodayOutline = RGB(200, 0, 0);

// The day cells' typeface, and what stands in for it where it is missing.
constexpr const wchar_t* kDayFaces[] = {L"Abadi MT Condensed", L"Arial Narrow",
                                        L"Liberation Sans Narrow"};

bool FontInstalled(const wchar_t* face) {
    LOGFONTW lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    bool found = false;
    const WindowDc screen(nullptr);
    EnumFontFamiliesExW(
        screen.Get(), &lf,
        [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM param) -> int {
            *reinterpret_cast<bool*>(param) = true;
            return 0;
        },
        reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

std::wstring GuiFace() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        return metrics.lfMessageFont.lfFaceName;
    }
    return L"MS Shell Dlg";
}

const std::wstring& DayFace() {
    static const std::wstring face = [] {
        for (const wchar_t* f : kDayFaces)
            if (FontInstalled(f)) return std::wstring(f);
        return GuiFace();
    }();
    return face;
}

velmi::unique_hfont MakeFont(const std::wstring& face, int hundredthsOfPoint, int weight, int ppi,
                             bool underline = false) {
    LOGFONTW lf{};
    lf.lfUnderline = underline;
    lf.lfHeight = -MulDiv(hundredthsOfPoint, ppi, 7200);
    lf.lfWeight = weight;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    return velmi::unique_hfont(CreateFontIndirectW(&lf));
}

// The widest of the texts in the font selected into the device context.
int WidestExtent(HDC dc, const std::vector<std::wstring>& texts) {
    int widest = 0;
    for (const std::wstring& text : texts) {
        SIZE extent{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        widest = std::max(widest, static_cast<int>(extent.cx));
    }
    return widest;
}

// The labels' face at 8 points, or the day cells' narrower face, and smaller
// sizes after them: the first in which every month's date with a two-digit
// day and a four-digit year, as the calendar writes it, fits the box's room
// at this scale. The room is the box less its edge, margins and caret.
velmi::unique_hfont MakeDateBoxFont(int ppi) {
    const RECT box = velmi::TwipsToRect(kDateBoxRect, ppi);
    const int room = box.right - box.left - 2 * GetSystemMetricsForDpi(SM_CXEDGE, ppi) -
                     2 * kDateBoxMargin - MulDiv(2, ppi, 96);
    std::vector<std::wstring> dates;
    for (int month = 1; month <= 12; ++month)
        dates.push_back(velmi::MonthName(month) + L"  30,  2026");
    const std::wstring faces[] = {GuiFace(), DayFace()};
    const WindowDc screen(nullptr);
    for (int size = 800; size >= 600; size -= 25) {
        for (const std::wstring& face : faces) {
            velmi::unique_hfont candidate = MakeFont(face, size, FW_NORMAL, ppi);
            const Selected selected(screen.Get(), candidate.get());
            if (WidestExtent(screen.Get(), dates) <= room || size == 600) return candidate;
        }
    }
    return {};
}

velmi::unique_hicon LoadArrow(int id, int ppi) {
    const int size = MulDiv(32, ppi, 96);
    return velmi::unique_hicon(static_cast<HICON>(
        LoadImageW(ModuleInstance(), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0)));
}

// The arrows that go forward (the next year, the next month) point right.
HICON ArrowIcon(const FaceResources& res, int arrow) {
    return arrow % 2 ? res.rightArrow.get() : res.leftArrow.get();
}

void FillSolid(HDC dc, const RECT& r, COLORREF colour) {
    SetBkColor(dc, colour);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

void PaintText(HDC dc, RECT r, std::wstring_view text, HFONT font, UINT format,
               COLORREF colour = kBlack) {
    Selected selected(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colour);
    DrawTextW(dc, text.data(), static_cast<int>(text.size()), &r,
              format | DT_SINGLELINE | DT_NOPREFIX);
}

void PaintFrame(HDC dc, const RECT& r) {
    FillSolid(dc, r, kPaleYellow);
    const velmi::unique_hbrush edge(CreateSolidBrush(kFrameEdge));
    FrameRect(dc, &r, edge.get());
}

void PaintDay(HDC dc, const RECT& r, const DayCell& cell, const FaceResources& res, bool focused) {
    FillSolid(dc, r, cell.green ? kGreen : kWhite);
    // A marked day: underlined, in a dark blue that reads on white and on green.
    PaintText(dc, r, cell.text, cell.marked ? res.markedDayFont.get() : res.dayFont.get(),
              DT_CENTER | DT_VCENTER, cell.marked ? kMarkedText : kBlack);
    // Today's outline runs along the edge, the focus rectangle inside it, so
    // a selected, focused today shows both.
    const int line = std::max(1, res.pixelsPerInch / 96);
    if (cell.today) {
        const velmi::unique_hbrush outline(CreateSolidBrush(kTodayOutline));
        RECT ring = r;
        for (int i = 0; i < line; ++i, InflateRect(&ring, -1, -1))
            FrameRect(dc, &ring, outline.get());
    }
    if (focused) {
        RECT inner = r;
        InflateRect(&inner, -line, -line);
        DrawFocusRect(dc, &inner);
    }
}

void PaintLabel(HDC dc, const RECT& r, std::wstring_view text, COLORREF back, HFONT font,
                bool centred) {
    FillSolid(dc, r, back);
    PaintText(dc, r, text, font, centred ? DT_CENTER : DT_LEFT);
}

// The initials as their own windows drew them, each clipped to its place.
template <typename ToPixels>
void PaintWeekdayInitials(HDC dc, const ToPixels& toPixels, HFONT font) {
    for (int i = 0; i < kWeekdayCount; ++i)
        PaintLabel(dc, toPixels(WeekdayInitialRect(i)), kWeekdayInitials[i], kPaleYellow, font,
                   false);
}

void PaintArrow(HDC dc, const RECT& r, HICON icon) {
    FillSolid(dc, r, kPaleYellow);
    DrawIconEx(dc, r.left, r.top, icon, r.right - r.left, r.bottom - r.top, 0, nullptr, DI_NORMAL);
}

void PaintDateBox(HDC dc, const RECT& r, std::wstring_view text, HFONT font) {
    FillSolid(dc, r, kWhite);
    RECT edge = r;
    DrawEdge(dc, &edge, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    edge.left += 2;
    PaintText(dc, edge, text, font, DT_LEFT | DT_VCENTER);
}

// Maps the face's twips onto a device context's bounds, whatever their size.
class FaceMapping {
public:
    explicit FaceMapping(const RECT& bounds) noexcept
        : bounds_(bounds),
          width_(bounds.right - bounds.left),
          height_(bounds.bottom - bounds.top) {}
    [[nodiscard]] RECT operator()(const TwipRect& r) const noexcept {
        return RECT{bounds_.left + MulDiv(r.left, width_, kSurfaceWidth),
                    bounds_.top + MulDiv(r.top, height_, kSurfaceHeight),
                    bounds_.left + MulDiv(r.left + r.width, width_, kSurfaceWidth),
                    bounds_.top + MulDiv(r.top + r.height, height_, kSurfaceHeight)};
    }

private:
    RECT bounds_;
    int width_;
    int height_;
};

void DrawParts(const Face& face, HDC dc, const FaceMapping& map, const FaceResources& res) {
    const HFONT labelFont = res.labelFont.get();
    PaintFrame(dc, map(kFrameRect));
    PaintWeekdayInitials(dc, map, labelFont);
    PaintLabel(dc, map(kYearLabelRect), face.yearLabel, kPaleYellow, labelFont, true);
    PaintLabel(dc, map(kMonthLabelRect), face.monthLabel, kWhite, labelFont, true);
    for (int i = 0; i < kArrowCount; ++i)
        PaintArrow(dc, map(kArrowRects[i]), ArrowIcon(res, i));
    for (int i = 0; i < kDayCount; ++i)
        if (face.days[i].visible) PaintDay(dc, map(DayRect(i)), face.days[i], res, false);
    PaintDateBox(dc, map(kDateBoxRect), face.dateBox, res.dateBoxFont.get());
}

}  // namespace

FaceResources::FaceResources(int ppi)
    : pixelsPerInch(ppi),
      dayFont(MakeFont(DayFace(), 825, FW_BOLD, ppi)),
      markedDayFont(MakeFont(DayFace(), 825, FW_BOLD, ppi, true)),
      labelFont(MakeFont(GuiFace(), 800, FW_NORMAL, ppi)),
      dateBoxFont(MakeDateBoxFont(ppi)),
      leftArrow(LoadArrow(kArrowLeftIconId, ppi)),
      rightArrow(LoadArrow(kArrowRightIconId, ppi)) {}

void PaintPart(HWND part, const Face& face, const FaceResources& res) noexcept {
    PaintDc paint(part);
    const HDC dc = paint.Get();
    RECT r{};
    GetClientRect(part, &r);
    const int id = GetDlgCtrlID(part);
    switch (KindOf(id)) {
        case PartKind::kDay:
            PaintDay(dc, r, face.days[id - kDayIdBase], res, GetFocus() == part);
            break;
        case PartKind::kArrow:
            PaintArrow(dc, r, ArrowIcon(res, id - kArrowIdBase));
            break;
        case PartKind::kYearLabel:
            PaintLabel(dc, r, face.yearLabel, kPaleYellow, res.labelFont.get(), true);
            break;
        case PartKind::kMonthLabel:
            PaintLabel(dc, r, face.monthLabel, kWhite, res.labelFont.get(), true);
            break;
        case PartKind::kFrame:
            // The frame stands at the surface's origin, where the twips count from.
            PaintFrame(dc, r);
            PaintWeekdayInitials(
                dc, [&](const TwipRect& t) { return velmi::TwipsToRect(t, res.pixelsPerInch); },
                res.labelFont.get());
            break;
        case PartKind::kOther:
            break;
    }
}

void DrawFace(const Face& face, HDC dc, const RECT& bounds) noexcept {
    const int width = bounds.right - bounds.left;
    if (width <= 0 || bounds.bottom - bounds.top <= 0) return;
    try {
        const FaceResources res(std::max(1, MulDiv(width, 1440, kSurfaceWidth)));
        const int saved = SaveDC(dc);
        FillSolid(dc, bounds, GetSysColor(COLOR_BTNFACE));
        DrawParts(face, dc, FaceMapping(bounds), res);
        RestoreDC(dc, saved);
    } catch (...) {
        // Nothing drawn when the fonts cannot be made.
    }
}

}  // namespace nuv
