#include "face_view.h"

#include "module.h"

#include "win_com.h"
#include "win_handle.h"
#include "win_system.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace nuv {
namespace {

constexpr wchar_t kSurfaceClass[] = L"NuvenderSurface";
constexpr wchar_t kPartClass[] = L"NuvenderPart";
constexpr wchar_t kFrameText[] = L"Month";
constexpr UINT_PTR kMidnightTimer = 1;
constexpr UINT kDayMilliseconds = 24 * 60 * 60 * 1000;
// The timer is due a little after midnight, so the clock reads the new day.
constexpr UINT kPastMidnightMilliseconds = 500;
constexpr const wchar_t* kArrowNames[kArrowCount] = {L"Previous year", L"Next year",
                                                     L"Previous month", L"Next month"};

HMENU ChildId(int id) {
    return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
}

// Both classes belong to this library's module, not to the program that
// loaded it. A failed registration shows as the failed creation that follows.
void RegisterClasses(WNDPROC surfaceProc, WNDPROC partProc) {
    static std::once_flag once;
    std::call_once(once, [&] {
        (void)velmi::RegisterWindowClass(
            {.name = kSurfaceClass,
             .procedure = surfaceProc,
             .instance = ModuleInstance(),
             .background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)});
        (void)velmi::RegisterWindowClass(
            {.name = kPartClass, .procedure = partProc, .instance = ModuleInstance()});
    });
}

POINT PointOf(LPARAM lp) {
    return {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
}

// Only what changed is touched: a redraw usually changes two cells of 37,
// and every window call is a round trip on some platforms.
void SetTextIfChanged(HWND window, const std::wstring& text) {
    if (velmi::WindowText(window) == text) return;
    SetWindowTextW(window, text.c_str());
    InvalidateRect(window, nullptr, FALSE);
}

}  // namespace

HRESULT FaceView::Create(HWND parent, const RECT& position) noexcept {
    if (surface_) return S_OK;
    HRESULT result = S_OK;
    try {
        RegisterClasses(SurfaceProc, PartProc);
        surface_ = CreateWindowExW(
            0, kSurfaceClass, L"", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, position.left,
            position.top, position.right - position.left, position.bottom - position.top, parent,
            nullptr, ModuleInstance(), this);
        if (!surface_) return velmi::LastErrorResult();
        // The parts are made in place, at the surface's resolution.
        MakeResources();
        result = CreateParts();
        if (SUCCEEDED(result)) {
            ApplyFont();
            Refresh();
            RefreshDateBox();
            SetMidnightTimer();
            ShowWindow(surface_, SW_SHOWNA);
        }
    } catch (...) {
        result = E_OUTOFMEMORY;
    }
    if (FAILED(result)) Destroy();
    return result;
}

void FaceView::Destroy() noexcept {
    if (!surface_) return;
    HWND surface = surface_;
    surface_ = frame_ = dateBox_ = yearLabel_ = monthLabel_ = pressed_ = nullptr;
    dayCells_.fill(nullptr);
    arrows_.fill(nullptr);
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

// ---- Creation and placement ------------------------------------------------

// From the top of the z-order down, as each child window made goes beneath
// its elder siblings: the labels lie beneath the arrows they overlap.
template <typename Action>
void FaceView::ForEachFramePart(Action&& action) {
    for (int i = 0; i < kDayCount; ++i)
        action(dayCells_[i], kDayIdBase + i, DayRect(i));
    for (int i = 0; i < kArrowCount; ++i)
        action(arrows_[i], kArrowIdBase + i, kArrowRects[i]);
    action(yearLabel_, kYearLabelId, kYearLabelRect);
    action(monthLabel_, kMonthLabelId, kMonthLabelRect);
}

HRESULT FaceView::CreateParts() {
    // The date box stands in front of the frame that covers the whole surface.
    VELMI_RETURN_IF_FAILED(CreateDateBox());
    VELMI_RETURN_IF_FAILED(CreatePart(surface_, kFrameId, kFrameRect, frame_));
    HRESULT result = S_OK;
    ForEachFramePart([&](HWND& part, int id, const TwipRect& rect) {
        if (SUCCEEDED(result)) result = CreatePart(frame_, id, rect, part);
    });
    VELMI_RETURN_IF_FAILED(result);
    for (int i = 0; i < kDayCount; ++i)
        shown_[i] = {true, face_.days[i].text, face_.days[i].green};
    return S_OK;
}

HRESULT FaceView::CreateDateBox() {
    const RECT r = ToPixels(kDateBoxRect);
    dateBox_ =
        CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", face_.dateBox.c_str(),
                        WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | ES_AUTOHSCROLL,
                        r.left, r.top, r.right - r.left, r.bottom - r.top, surface_,
                        ChildId(kDateBoxId), ModuleInstance(), nullptr);
    if (!dateBox_) return velmi::LastErrorResult();
    SendMessageW(dateBox_, EM_SETLIMITTEXT, kMaxTextLength, 0);
    velmi::Subclass(dateBox_, DateBoxProc, this);
    return S_OK;
}

HRESULT FaceView::CreatePart(HWND parent, int id, const TwipRect& rect, HWND& part) {
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    if (KindOf(id) == PartKind::kDay) style |= WS_TABSTOP;
    if (KindOf(id) == PartKind::kFrame) style |= WS_CLIPCHILDREN;
    const RECT r = ToPixels(rect);
    part =
        CreateWindowExW(0, kPartClass, PartText(id).c_str(), style, r.left, r.top, r.right - r.left,
                        r.bottom - r.top, parent, ChildId(id), ModuleInstance(), this);
    return part ? S_OK : velmi::LastErrorResult();
}

std::wstring FaceView::PartText(int id) const {
    switch (KindOf(id)) {
        case PartKind::kDay:
            return face_.days[id - kDayIdBase].text;
        case PartKind::kYearLabel:
            return face_.yearLabel;
        case PartKind::kMonthLabel:
            return face_.monthLabel;
        case PartKind::kFrame:
            return kFrameText;
        case PartKind::kArrow:
            // Not drawn: the names that accessibility clients read.
            return kArrowNames[id - kArrowIdBase];
        default:
            return L"";
    }
}

RECT FaceView::ToPixels(const TwipRect& r) const noexcept {
    return velmi::TwipsToRect(r, resources_ ? resources_->pixelsPerInch : 96);
}

void FaceView::Place(HWND window, const TwipRect& rect) const noexcept {
    const RECT r = ToPixels(rect);
    SetWindowPos(window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void FaceView::MakeResources() {
    UINT dpi = GetDpiForWindow(surface_);
    if (dpi == 0) dpi = 96;
    resources_ = std::make_unique<FaceResources>(static_cast<int>(dpi));
}

void FaceView::ApplyDpi() {
    // The old fonts go only once the date box has its new one.
    const std::unique_ptr<FaceResources> old = std::move(resources_);
    MakeResources();
    Place(frame_, kFrameRect);
    Place(dateBox_, kDateBoxRect);
    ForEachFramePart([&](HWND part, int, const TwipRect& rect) { Place(part, rect); });
    ApplyFont();
}

void FaceView::ApplyFont() {
    SendMessageW(dateBox_, WM_SETFONT, reinterpret_cast<WPARAM>(resources_->dateBoxFont.get()),
                 TRUE);
    // The font chosen counts on these margins; a new font resets them.
    SendMessageW(dateBox_, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN,
                 MAKELPARAM(kDateBoxMargin, kDateBoxMargin));
    InvalidateRect(surface_, nullptr, TRUE);
}

// ---- Showing the model -----------------------------------------------------

void FaceView::Refresh() noexcept {
    if (!surface_) return;
    // The focus goes to the selected day's cell before the cell that held it
    // is hidden: a hidden window hands the focus to its parent, the frame,
    // where no key works.
    const bool gridFocused = IsDayCell(GetFocus());
    for (int i = 0; i < kDayCount; ++i)
        RefreshDay(i);
    SetTextIfChanged(yearLabel_, face_.yearLabel);
    SetTextIfChanged(monthLabel_, face_.monthLabel);
    if (gridFocused) FocusSelectedDay();
    for (int i = 0; i < kDayCount; ++i)
        HideDayIfHidden(i);
}

bool FaceView::IsDayCell(HWND window) const noexcept {
    return window && KindOf(GetDlgCtrlID(window)) == PartKind::kDay && IsChild(surface_, window);
}

void FaceView::FollowSelectedDay() noexcept {
    if (IsDayCell(GetFocus())) FocusSelectedDay();
}

void FaceView::FocusSelectedDay() noexcept {
    // A dotted box on another cell would look like a second selection.
    const int selected = SelectedCellOf(face_);
    if (selected >= 0 && dayCells_[selected] != GetFocus()) SetFocus(dayCells_[selected]);
}

void FaceView::RefreshDay(int index) noexcept {
    const DayCell& cell = face_.days[index];
    DayCell& shown = shown_[index];
    const HWND window = dayCells_[index];
    const bool textChanged = cell.text != shown.text;
    if (textChanged) SetWindowTextW(window, cell.text.c_str());
    // Out of sight (at start-up, before the container shows its window) a
    // cell is drawn whole when it comes into sight.
    if ((textChanged || cell.green != shown.green || cell.marked != shown.marked ||
         cell.today != shown.today) &&
        IsWindowVisible(window))
        InvalidateRect(window, nullptr, FALSE);
    if (cell.visible && !shown.visible) ShowWindow(window, SW_SHOWNA);
    const bool wasVisible = shown.visible;
    try {
        shown = cell;
    } catch (...) {
        shown.text.clear();  // compared afresh next time
    }
    shown.visible = wasVisible || cell.visible;  // hidden after the focus moved
}

void FaceView::HideDayIfHidden(int index) noexcept {
    if (face_.days[index].visible || !shown_[index].visible) return;
    ShowWindow(dayCells_[index], SW_HIDE);
    shown_[index].visible = false;
}

void FaceView::RefreshDateBox() noexcept {
    // The edit box reports a change even for its own text; the surface
    // ignores it because the text then equals the model's.
    if (surface_ && velmi::WindowText(dateBox_) != face_.dateBox)
        SetWindowTextW(dateBox_, face_.dateBox.c_str());
}

// ---- Focus -----------------------------------------------------------------

std::vector<HWND> FaceView::FocusStops() const {
    // The grid is one stop, the selected day's cell (before the first date,
    // the first cell shown), then the date box; the arrows move in the grid.
    const int selected = SelectedCellOf(face_);
    HWND grid = selected >= 0 ? dayCells_[selected] : nullptr;
    for (int i = 0; !grid && i < kDayCount; ++i)
        if (IsWindowVisible(dayCells_[i])) grid = dayCells_[i];
    std::vector<HWND> stops;
    if (grid) stops.push_back(grid);
    stops.push_back(dateBox_);
    return stops;
}

bool FaceView::MoveFocus(bool backward) noexcept {
    if (!surface_) return false;
    const std::vector<HWND> stops = FocusStops();
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

// ---- The surface -----------------------------------------------------------

template <typename Handler>
LRESULT FaceView::Routed(Handler&& handler) noexcept {
    struct Held {
        FaceViewHost& host;
        ~Held() { host.Unhold(); }  // may end the owner, and this view with it
    };
    host_.Hold();
    const Held held{host_};
    try {
        return handler();
    } catch (...) {
        return 0;  // out of memory in the middle: the face shows what it had
    }
}

LRESULT CALLBACK FaceView::SurfaceProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
    auto* self = velmi::CreatorOf<FaceView>(window, message, lp);
    // Not while the face is made or taken down: the owner may be going.
    if (!self || self->surface_ != window) return DefWindowProcW(window, message, wp, lp);
    return self->Routed([&] { return self->OnSurfaceMessage(message, wp, lp); });
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
        case WM_TIMER:
            if (wp == kMidnightTimer) OnMidnightTimer();
            return 0;
        default:
            return DefWindowProcW(surface_, message, wp, lp);
    }
}

void FaceView::SetMidnightTimer() noexcept {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const UINT elapsed =
        ((now.wHour * 60u + now.wMinute) * 60u + now.wSecond) * 1000u + now.wMilliseconds;
    // One shot, set again when it fires: a child window hears of no clock
    // change and no resume, and the next midnight is due from the clock anew.
    SetTimer(surface_, kMidnightTimer, kDayMilliseconds - elapsed + kPastMidnightMilliseconds,
             nullptr);
}

void FaceView::OnMidnightTimer() {
    KillTimer(surface_, kMidnightTimer);
    host_.OnMidnight();
    if (surface_) SetMidnightTimer();
}

void FaceView::OnDateBoxChange() {
    std::wstring text = velmi::WindowText(dateBox_);
    if (text != face_.dateBox) host_.OnDateBoxEdited(text);
}

LRESULT FaceView::DateBoxProc(void* owner, HWND window, UINT message, WPARAM wp, LPARAM lp,
                              WNDPROC original) {
    auto* self = static_cast<FaceView*>(owner);
    if (!self->surface_) return CallWindowProcW(original, window, message, wp, lp);
    return self->Routed([&] { return self->OnDateBoxMessage(window, message, wp, lp, original); });
}

LRESULT FaceView::OnDateBoxMessage(HWND window, UINT message, WPARAM wp, LPARAM lp,
                                   WNDPROC original) {
    switch (message) {
        case WM_KEYDOWN:
            if (wp == VK_TAB) {
                OnTabKey(window, wp);
                return 0;
            }
            if (wp == VK_RETURN) {
                host_.OnDateBoxCommitted();
                return 0;
            }
            if (wp == 'A' && GetKeyState(VK_CONTROL) < 0) {
                SendMessageW(window, EM_SETSEL, 0, -1);
                return 0;
            }
            break;
        case WM_CHAR:
            // Tab moved the focus, Enter committed the text and Ctrl+A
            // selected it; none is a character.
            if (wp == L'\t' || wp == L'\r' || wp == L'\n' || wp == 1) return 0;
            break;
        case WM_GETDLGCODE: {
            // Enter is the box's own, even in a container that runs a dialog manager.
            const auto* key = reinterpret_cast<const MSG*>(lp);
            const LRESULT code = CallWindowProcW(original, window, message, wp, lp);
            if (key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN)
                return code | DLGC_WANTMESSAGE;
            return code;
        }
        case WM_SETFOCUS:
            host_.OnFocusEnter();
            break;
        case WM_KILLFOCUS: {
            const LRESULT result = CallWindowProcW(original, window, message, wp, lp);
            host_.OnDateBoxCommitted();
            return result;
        }
        default:
            break;
    }
    return CallWindowProcW(original, window, message, wp, lp);
}

// ---- The parts: frame, cells, arrows, labels -------------------------------

LRESULT CALLBACK FaceView::PartProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
    auto* self = velmi::CreatorOf<FaceView>(window, message, lp);
    if (!self || !self->surface_) return DefWindowProcW(window, message, wp, lp);
    return self->Routed([&] { return self->OnPartMessage(window, message, wp, lp); });
}

LRESULT FaceView::OnPartMessage(HWND part, UINT message, WPARAM wp, LPARAM lp) {
    switch (message) {
        case WM_PAINT:
            PaintPart(part, face_, *resources_);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_LBUTTONDOWN:
            OnPartButtonDown(part, lp);
            return 0;
        case WM_LBUTTONUP:
            OnPartButtonUp(part, lp);
            return 0;
        case WM_CAPTURECHANGED:
            OnPartCaptureChanged(part, lp);
            return 0;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            OnPartFocus(part, message == WM_SETFOCUS);
            return 0;
        case WM_KEYDOWN:
            if (wp == VK_TAB) OnTabKey(part, wp);
            if (KindOf(GetDlgCtrlID(part)) == PartKind::kDay) OnDayCellKey(part, wp);
            return 0;
        case WM_GETDLGCODE: {
            // The arrows and Enter are the grid's own, even under a dialog manager.
            const auto* key = reinterpret_cast<const MSG*>(lp);
            const bool enter = key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN;
            if (KindOf(GetDlgCtrlID(part)) != PartKind::kDay) return 0;
            return DLGC_WANTARROWS | (enter ? DLGC_WANTMESSAGE : 0);
        }
        default:
            return DefWindowProcW(part, message, wp, lp);
    }
}

void FaceView::OnDayCellKey(HWND cell, WPARAM key) {
    // The keys that move the selected day, and what they do with Ctrl held.
    static constexpr struct {
        WPARAM key;
        DayKey plain, control;
    } kMoves[] = {{VK_LEFT, DayKey::kPreviousDay, DayKey::kPreviousDay},
                  {VK_RIGHT, DayKey::kNextDay, DayKey::kNextDay},
                  {VK_UP, DayKey::kPreviousWeek, DayKey::kPreviousWeek},
                  {VK_DOWN, DayKey::kNextWeek, DayKey::kNextWeek},
                  {VK_PRIOR, DayKey::kPreviousMonth, DayKey::kPreviousYear},
                  {VK_NEXT, DayKey::kNextMonth, DayKey::kNextYear},
                  {VK_HOME, DayKey::kFirstOfMonth, DayKey::kFirstOfMonth},
                  {VK_END, DayKey::kLastOfMonth, DayKey::kLastOfMonth}};
    if (key == VK_RETURN || key == VK_SPACE) {
        host_.OnDayClicked(GetDlgCtrlID(cell) - kDayIdBase);  // as a click
    } else {
        const auto move = std::find_if(std::begin(kMoves), std::end(kMoves),
                                       [&](const auto& m) { return m.key == key; });
        if (move == std::end(kMoves)) return;
        host_.OnDayKey(GetKeyState(VK_CONTROL) < 0 ? move->control : move->plain);
    }
    if (surface_) FollowSelectedDay();
}

void FaceView::OnPartButtonDown(HWND part, LPARAM lp) {
    pressed_ = part;
    // The initials take a click as their own windows did, doing nothing; it
    // must not reach the frame, whose click goes to today.
    pressedInitial_ = part == frame_ && IsOnWeekdayInitial(PointOf(lp));
    SetCapture(part);
    if (KindOf(GetDlgCtrlID(part)) == PartKind::kDay) SetFocus(part);
}

void FaceView::OnPartButtonUp(HWND part, LPARAM lp) {
    if (pressed_ != part) return;
    pressed_ = nullptr;
    ReleaseCapture();
    RECT client{};
    GetClientRect(part, &client);
    const POINT at = PointOf(lp);
    // The click may end in anything, the control's own end included.
    if (PtInRect(&client, at) && !pressedInitial_) OnPartClicked(part);
    // A press that ended elsewhere selected nothing: the focus goes back.
    if (surface_) FollowSelectedDay();
}

bool FaceView::IsOnWeekdayInitial(POINT at) const noexcept {
    for (int i = 0; i < kWeekdayCount; ++i) {
        const RECT initial = ToPixels(WeekdayInitialRect(i));
        if (PtInRect(&initial, at)) return true;
    }
    return false;
}

void FaceView::OnPartCaptureChanged(HWND part, LPARAM lp) {
    if (pressed_ == part && reinterpret_cast<HWND>(lp) != part) pressed_ = nullptr;
}

void FaceView::OnPartFocus(HWND part, bool gained) {
    InvalidateRect(part, nullptr, FALSE);
    if (gained) host_.OnFocusEnter();
}

void FaceView::OnPartClicked(HWND part) {
    const int id = GetDlgCtrlID(part);
    switch (KindOf(id)) {
        case PartKind::kDay:
            host_.OnDayClicked(id - kDayIdBase);
            break;
        case PartKind::kArrow:
            host_.OnArrowClicked(static_cast<Arrow>(id - kArrowIdBase));
            break;
        case PartKind::kFrame:
            host_.OnFrameClicked();
            break;
        default:
            break;  // labels have no click of their own
    }
}

}  // namespace nuv
