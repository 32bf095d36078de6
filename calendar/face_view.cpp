#include "face_view.h"

#include "module.h"
#include "resource_ids.h"

#include "win_system.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace nuv {
namespace {

constexpr wchar_t kSurfaceClass[] = L"NuvenderSurface";
constexpr wchar_t kPartClass[] = L"NuvenderPart";

constexpr COLORREF kPaleYellow = RGB(255, 255, 192);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kFrameEdge = RGB(128, 128, 128);

// The day cells' typeface, and what stands in for it where it is missing.
constexpr const wchar_t* kDayFaces[] = {L"Abadi MT Condensed", L"Arial Narrow",
                                        L"Liberation Sans Narrow"};

enum class Kind { kDay, kArrow, kWeekday, kYearLabel, kMonthLabel, kFrame, kOther };

Kind KindOf(int id) {
    if (id >= kDayIdBase && id < kDayIdBase + kDayCount) return Kind::kDay;
    if (id >= kArrowIdBase && id < kArrowIdBase + 4) return Kind::kArrow;
    if (id >= kWeekdayIdBase && id < kWeekdayIdBase + 7) return Kind::kWeekday;
    if (id == kYearLabelId) return Kind::kYearLabel;
    if (id == kMonthLabelId) return Kind::kMonthLabel;
    if (id == kFrameId) return Kind::kFrame;
    return Kind::kOther;
}

std::wstring TextOf(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

bool FontInstalled(const wchar_t* face) {
    LOGFONTW lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    bool found = false;
    HDC dc = GetDC(nullptr);
    EnumFontFamiliesExW(
        dc, &lf,
        [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM param) -> int {
            *reinterpret_cast<bool*>(param) = true;
            return 0;
        },
        reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, dc);
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

UniqueFont MakeFont(const std::wstring& face, int hundredthsOfPoint, int weight, int ppi) {
    LOGFONTW lf{};
    lf.lfHeight = -MulDiv(hundredthsOfPoint, ppi, 7200);
    lf.lfWeight = weight;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    return UniqueFont(CreateFontIndirectW(&lf));
}

UniqueIcon LoadArrow(int id, int ppi) {
    const int size = MulDiv(32, ppi, 96);
    return UniqueIcon(static_cast<HICON>(
        LoadImageW(ModuleInstance(), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0)));
}

class Selected {
public:
    Selected(HDC dc, HGDIOBJ object) noexcept : dc_(dc), old_(SelectObject(dc, object)) {}
    ~Selected() { SelectObject(dc_, old_); }
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

class PaintDc {
public:
    explicit PaintDc(HWND window) noexcept : window_(window), dc_(BeginPaint(window, &ps_)) {}
    ~PaintDc() { EndPaint(window_, &ps_); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    [[nodiscard]] HDC Get() const noexcept { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

void FillSolid(HDC dc, const RECT& r, COLORREF colour) {
    SetBkColor(dc, colour);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

void PaintText(HDC dc, RECT r, const std::wstring& text, HFONT font, UINT format) {
    Selected selected(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
              format | DT_SINGLELINE | DT_NOPREFIX);
}

void PaintFrame(HDC dc, const RECT& r) {
    FillSolid(dc, r, kPaleYellow);
    HBRUSH edge = CreateSolidBrush(kFrameEdge);
    FrameRect(dc, &r, edge);
    DeleteObject(edge);
}

void PaintDay(HDC dc, const RECT& r, const DayCell& cell, HFONT font, bool focused) {
    FillSolid(dc, r, cell.green ? kGreen : kWhite);
    PaintText(dc, r, cell.text, font, DT_CENTER | DT_VCENTER);
    if (focused) {
        RECT inner = r;
        InflateRect(&inner, -1, -1);
        DrawFocusRect(dc, &inner);
    }
}

void PaintLabel(HDC dc, const RECT& r, const std::wstring& text, COLORREF back, HFONT font,
                bool centred) {
    FillSolid(dc, r, back);
    PaintText(dc, r, text, font, centred ? DT_CENTER : DT_LEFT);
}

void PaintArrow(HDC dc, const RECT& r, HICON icon) {
    FillSolid(dc, r, kPaleYellow);
    DrawIconEx(dc, r.left, r.top, icon, r.right - r.left, r.bottom - r.top, 0, nullptr, DI_NORMAL);
}

void PaintDateBox(HDC dc, const RECT& r, const std::wstring& text, HFONT font) {
    FillSolid(dc, r, kWhite);
    RECT edge = r;
    DrawEdge(dc, &edge, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    edge.left += 2;
    PaintText(dc, edge, text, font, DT_LEFT | DT_VCENTER);
}

void RegisterClasses(WNDPROC surfaceProc, WNDPROC partProc) {
    static std::once_flag once;
    std::call_once(once, [&] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.hInstance = ModuleInstance();
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpfnWndProc = surfaceProc;
        wc.lpszClassName = kSurfaceClass;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        RegisterClassExW(&wc);
        wc.lpfnWndProc = partProc;
        wc.lpszClassName = kPartClass;
        wc.hbrBackground = nullptr;
        RegisterClassExW(&wc);
    });
}

}  // namespace

FaceResources::FaceResources(int ppi)
    : pixelsPerInch(ppi),
      dayFont(MakeFont(DayFace(), 825, FW_BOLD, ppi)),
      labelFont(MakeFont(GuiFace(), 800, FW_NORMAL, ppi)),
      leftArrow(LoadArrow(IDI_ARROW_LEFT, ppi)),
      rightArrow(LoadArrow(IDI_ARROW_RIGHT, ppi)) {}

HRESULT FaceView::Create(HWND parent, const RECT& position) noexcept {
    if (surface_) return S_OK;
    try {
        RegisterClasses(SurfaceProc, PartProc);
        surface_ = CreateWindowExW(
            0, kSurfaceClass, L"", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, position.left,
            position.top, position.right - position.left, position.bottom - position.top, parent,
            nullptr, ModuleInstance(), this);
        if (!surface_) return HRESULT_FROM_WIN32(GetLastError());
        CreateParts();
        ApplyDpi();
        Refresh();
        RefreshDateBox();
        ShowWindow(surface_, SW_SHOWNA);
        return S_OK;
    } catch (...) {
        Destroy();
        return E_OUTOFMEMORY;
    }
}

void FaceView::Destroy() noexcept {
    if (!surface_) return;
    HWND surface = surface_;
    surface_ = frame_ = dateBox_ = yearLabel_ = monthLabel_ = pressed_ = nullptr;
    days_.fill(nullptr);
    arrows_.fill(nullptr);
    weekdays_.fill(nullptr);
    DestroyWindow(surface);
}

bool FaceView::Contains(HWND window) const noexcept {
    return surface_ && window && (window == surface_ || IsChild(surface_, window));
}

void FaceView::SetPosition(const RECT& position) noexcept {
    if (!surface_) return;
    SetWindowPos(surface_, nullptr, position.left, position.top, position.right - position.left,
                 position.bottom - position.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND FaceView::CreatePart(HWND parent, int id, const TwipRect& rect, const std::wstring& text) {
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    if (KindOf(id) == Kind::kDay) style |= WS_TABSTOP;
    if (KindOf(id) == Kind::kFrame) style |= WS_CLIPCHILDREN;
    const RECT r = ToPixels(rect);
    HWND part = CreateWindowExW(
        0, kPartClass, text.c_str(), style, r.left, r.top, r.right - r.left, r.bottom - r.top,
        parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ModuleInstance(), this);
    if (!part) throw std::bad_alloc();
    return part;
}

void FaceView::CreateParts() {
    dateBox_ = CreateWindowExW(
        WS_EX_CLIENTEDGE, L"EDIT", face_.dateBox.c_str(),
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | ES_AUTOHSCROLL, 0, 0, 0, 0, surface_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kDateBoxId)), ModuleInstance(), nullptr);
    if (!dateBox_) throw std::bad_alloc();
    SendMessageW(dateBox_, EM_SETLIMITTEXT, 0, 0);
    velmi::Subclass(dateBox_, DateBoxProc, this);
    frame_ = CreatePart(surface_, kFrameId, kFrameRect, L"Month");
    // The date box stands in front of the frame that covers the whole surface.
    SetWindowPos(dateBox_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    for (int i = 0; i < kDayCount; ++i) {
        days_[i] = CreatePart(frame_, kDayIdBase + i, DayRect(i), face_.days[i].text);
        shown_[i] = {true, face_.days[i].text, face_.days[i].green};
    }
    for (int i = 0; i < 4; ++i)
        arrows_[i] = CreatePart(frame_, kArrowIdBase + i, kArrowRects[i], L"");
    yearLabel_ = CreatePart(frame_, kYearLabelId, kYearLabelRect, face_.yearLabel);
    monthLabel_ = CreatePart(frame_, kMonthLabelId, kMonthLabelRect, face_.monthLabel);
    for (int i = 0; i < 7; ++i)
        weekdays_[i] =
            CreatePart(frame_, kWeekdayIdBase + i, WeekdayLabelRect(i), kWeekdayInitials[i]);

    // Labels lie beneath the cells and arrows they overlap (the tall Sunday
    // initial reaches into the first row of cells).
    constexpr UINT kZOnly = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    for (HWND label : weekdays_)
        SetWindowPos(label, HWND_BOTTOM, 0, 0, 0, 0, kZOnly);
    SetWindowPos(yearLabel_, HWND_BOTTOM, 0, 0, 0, 0, kZOnly);
    SetWindowPos(monthLabel_, HWND_BOTTOM, 0, 0, 0, 0, kZOnly);
    for (HWND day : days_)
        SetWindowPos(day, HWND_TOP, 0, 0, 0, 0, kZOnly);
}

RECT FaceView::ToPixels(const TwipRect& r) const noexcept {
    return velmi::TwipsToRect(r, resources_ ? resources_->pixelsPerInch : 96);
}

void FaceView::ApplyDpi() {
    UINT dpi = GetDpiForWindow(surface_);
    if (dpi == 0) dpi = 96;
    resources_ = std::make_unique<FaceResources>(static_cast<int>(dpi));
    auto place = [&](HWND w, const TwipRect& tr) {
        const RECT r = ToPixels(tr);
        SetWindowPos(w, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    };
    place(frame_, kFrameRect);
    place(dateBox_, kDateBoxRect);
    for (int i = 0; i < kDayCount; ++i)
        place(days_[i], DayRect(i));
    for (int i = 0; i < 4; ++i)
        place(arrows_[i], kArrowRects[i]);
    for (int i = 0; i < 7; ++i)
        place(weekdays_[i], WeekdayLabelRect(i));
    place(yearLabel_, kYearLabelRect);
    place(monthLabel_, kMonthLabelRect);
    SendMessageW(dateBox_, WM_SETFONT, reinterpret_cast<WPARAM>(resources_->labelFont.get()), TRUE);
    InvalidateRect(surface_, nullptr, TRUE);
}

void FaceView::Refresh() noexcept {
    if (!surface_) return;
    // Only what changed is touched: a redraw usually changes two cells of 37,
    // and every window call is a round trip on some platforms.
    auto setText = [](HWND w, const std::wstring& text) {
        if (TextOf(w) == text) return;
        SetWindowTextW(w, text.c_str());
        InvalidateRect(w, nullptr, FALSE);
    };
    for (int i = 0; i < kDayCount; ++i) {
        const DayCell& cell = face_.days[i];
        DayCell& shown = shown_[i];
        if (cell.text != shown.text) setText(days_[i], cell.text);
        if (cell.green != shown.green) InvalidateRect(days_[i], nullptr, FALSE);
        if (cell.visible != shown.visible) ShowWindow(days_[i], cell.visible ? SW_SHOWNA : SW_HIDE);
        try {
            shown = cell;
        } catch (...) {
            shown.text.clear();  // compared afresh next time
        }
    }
    setText(yearLabel_, face_.yearLabel);
    setText(monthLabel_, face_.monthLabel);
}

void FaceView::RefreshDateBox() noexcept {
    // The edit box reports a change even for its own text; the surface
    // ignores it because the text then equals the model's.
    if (surface_ && TextOf(dateBox_) != face_.dateBox)
        SetWindowTextW(dateBox_, face_.dateBox.c_str());
}

bool FaceView::MoveFocus(bool backward) noexcept {
    if (!surface_) return false;
    // Days(0), then Days(36) down to Days(1), then the date box; hidden cells are skipped.
    std::vector<HWND> stops;
    stops.reserve(kDayCount + 1);
    stops.push_back(days_[0]);
    for (int i = kDayCount - 1; i >= 1; --i)
        stops.push_back(days_[i]);
    stops.push_back(dateBox_);
    std::erase_if(stops, [](HWND w) { return !IsWindowVisible(w); });
    if (stops.empty()) return false;

    const auto at = std::find(stops.begin(), stops.end(), GetFocus());
    HWND target = nullptr;
    if (at == stops.end()) {
        target = backward ? stops.back() : stops.front();
    } else if (backward) {
        if (at == stops.begin()) return false;
        target = *(at - 1);
    } else {
        if (at + 1 == stops.end()) return false;
        target = *(at + 1);
    }
    SetFocus(target);
    return true;
}

void FaceView::OnTabKey(HWND from, WPARAM key) {
    const bool backward = GetKeyState(VK_SHIFT) < 0;
    if (MoveFocus(backward)) return;
    const MSG tab{from, WM_KEYDOWN, key, 0, static_cast<DWORD>(GetMessageTime()), {}};
    if (host_.OnTabOut(tab)) return;
    // Nobody outside takes the focus: go round within the control.
    if (surface_) SetFocus(surface_);
}

LRESULT CALLBACK FaceView::SurfaceProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
    auto* self = velmi::CreatorOf<FaceView>(window, message, lp);
    if (!self || self->surface_ != window) return DefWindowProcW(window, message, wp, lp);
    return self->OnSurfaceMessage(message, wp, lp);
}

LRESULT FaceView::OnSurfaceMessage(UINT message, WPARAM wp, LPARAM lp) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wp) == kDateBoxId && HIWORD(wp) == EN_CHANGE) OnDateBoxChange();
            return 0;
        case WM_SETFOCUS:
            // Focus given to the control as a whole goes to its first stop,
            // or to its last when the user came back with Shift+Tab.
            (void)MoveFocus(GetKeyState(VK_SHIFT) < 0);
            return 0;
        case WM_DPICHANGED_AFTERPARENT:
            ApplyDpi();
            return 0;
        default:
            return DefWindowProcW(surface_, message, wp, lp);
    }
}

void FaceView::OnDateBoxChange() {
    std::wstring text = TextOf(dateBox_);
    if (text != face_.dateBox) host_.OnDateBoxEdited(text);
}

LRESULT CALLBACK FaceView::PartProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
    auto* self = velmi::CreatorOf<FaceView>(window, message, lp);
    if (!self || !self->surface_) return DefWindowProcW(window, message, wp, lp);
    return self->OnPartMessage(window, message, wp, lp);
}

LRESULT FaceView::OnPartMessage(HWND part, UINT message, WPARAM wp, LPARAM lp) {
    const Kind kind = KindOf(GetDlgCtrlID(part));
    switch (message) {
        case WM_PAINT:
            OnPartPaint(part);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_LBUTTONDOWN:
            pressed_ = part;
            SetCapture(part);
            if (kind == Kind::kDay) SetFocus(part);
            return 0;
        case WM_LBUTTONUP: {
            if (pressed_ != part) return 0;
            pressed_ = nullptr;
            ReleaseCapture();
            RECT client{};
            GetClientRect(part, &client);
            const POINT at{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
            // The click may end in anything, the control's own end included.
            if (PtInRect(&client, at)) OnPartClick(part);
            return 0;
        }
        case WM_CAPTURECHANGED:
            if (pressed_ == part && reinterpret_cast<HWND>(lp) != part) pressed_ = nullptr;
            return 0;
        case WM_SETFOCUS:
            InvalidateRect(part, nullptr, FALSE);
            host_.OnFocusEnter();
            return 0;
        case WM_KILLFOCUS:
            InvalidateRect(part, nullptr, FALSE);
            return 0;
        case WM_KEYDOWN:
            if (wp == VK_TAB) OnTabKey(part, wp);
            return 0;
        default:
            return DefWindowProcW(part, message, wp, lp);
    }
}

void FaceView::OnPartClick(HWND part) {
    const int id = GetDlgCtrlID(part);
    switch (KindOf(id)) {
        case Kind::kDay:
            host_.OnDayClick(id - kDayIdBase);
            break;
        case Kind::kArrow:
            host_.OnArrowClick(id - kArrowIdBase);
            break;
        case Kind::kFrame:
            host_.OnFrameClick();
            break;
        default:
            break;  // labels have no click of their own
    }
}

void FaceView::OnPartPaint(HWND part) {
    PaintDc paint(part);
    RECT r{};
    GetClientRect(part, &r);
    const int id = GetDlgCtrlID(part);
    const FaceResources& res = *resources_;
    switch (KindOf(id)) {
        case Kind::kDay:
            PaintDay(paint.Get(), r, face_.days[id - kDayIdBase], res.dayFont.get(),
                     GetFocus() == part);
            break;
        case Kind::kArrow:
            PaintArrow(paint.Get(), r,
                       (id - kArrowIdBase) % 2 ? res.rightArrow.get() : res.leftArrow.get());
            break;
        case Kind::kWeekday:
            PaintLabel(paint.Get(), r, kWeekdayInitials[id - kWeekdayIdBase], kPaleYellow,
                       res.labelFont.get(), false);
            break;
        case Kind::kYearLabel:
            PaintLabel(paint.Get(), r, face_.yearLabel, kPaleYellow, res.labelFont.get(), true);
            break;
        case Kind::kMonthLabel:
            PaintLabel(paint.Get(), r, face_.monthLabel, kWhite, res.labelFont.get(), true);
            break;
        case Kind::kFrame:
            PaintFrame(paint.Get(), r);
            break;
        case Kind::kOther:
            break;
    }
}

LRESULT FaceView::DateBoxProc(void* owner, HWND window, UINT message, WPARAM wp, LPARAM lp,
                              WNDPROC original) {
    auto* self = static_cast<FaceView*>(owner);
    switch (message) {
        case WM_KEYDOWN:
            if (wp == VK_TAB && self->surface_) {
                self->OnTabKey(window, wp);
                return 0;
            }
            break;
        case WM_CHAR:
            if (wp == L'\t') return 0;  // the key moved the focus; it is no character
            break;
        case WM_SETFOCUS:
            if (self->surface_) self->host_.OnFocusEnter();
            break;
        default:
            break;
    }
    return CallWindowProcW(original, window, message, wp, lp);
}

void DrawFace(const Face& face, HDC dc, const RECT& bounds) noexcept {
    const int width = bounds.right - bounds.left;
    const int height = bounds.bottom - bounds.top;
    if (width <= 0 || height <= 0) return;
    try {
        const FaceResources res(std::max(1, MulDiv(width, 1440, kSurfaceWidth)));
        auto map = [&](const TwipRect& r) {
            return RECT{bounds.left + MulDiv(r.left, width, kSurfaceWidth),
                        bounds.top + MulDiv(r.top, height, kSurfaceHeight),
                        bounds.left + MulDiv(r.left + r.width, width, kSurfaceWidth),
                        bounds.top + MulDiv(r.top + r.height, height, kSurfaceHeight)};
        };
        const int saved = SaveDC(dc);
        FillSolid(dc, bounds, GetSysColor(COLOR_BTNFACE));
        PaintFrame(dc, map(kFrameRect));
        for (int i = 0; i < 7; ++i)
            PaintLabel(dc, map(WeekdayLabelRect(i)), kWeekdayInitials[i], kPaleYellow,
                       res.labelFont.get(), false);
        PaintLabel(dc, map(kYearLabelRect), face.yearLabel, kPaleYellow, res.labelFont.get(), true);
        PaintLabel(dc, map(kMonthLabelRect), face.monthLabel, kWhite, res.labelFont.get(), true);
        for (int i = 0; i < 4; ++i)
            PaintArrow(dc, map(kArrowRects[i]), i % 2 ? res.rightArrow.get() : res.leftArrow.get());
        for (int i = 0; i < kDayCount; ++i)
            if (face.days[i].visible)
                PaintDay(dc, map(DayRect(i)), face.days[i], res.dayFont.get(), false);
        PaintDateBox(dc, map(kDateBoxRect), face.dateBox, res.labelFont.get());
        RestoreDC(dc, saved);
    } catch (...) {
        // Nothing drawn when the fonts cannot be made.
    }
}

}  // namespace nuv
