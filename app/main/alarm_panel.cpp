#include "alarm_panel.h"

#include "alarm_panel_rules.h"
#include "main_window_layout.h"
#include "velmi_controls.h"
#include "win_gdi.h"
#include "win_system.h"

namespace velmi {
namespace {

constexpr wchar_t kFrameClass[] = L"VelmiPanel";
constexpr wchar_t kFontProperty[] = L"VelmiFont";
constexpr COLORREF kLightYellow = RGB(255, 255, 192);

void PaintFrame(HWND frame) {
    const PaintDc paint(frame);
    const HDC dc = paint.Get();
    RECT client;
    GetClientRect(frame, &client);
    SetBkColor(dc, kLightYellow);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &client, nullptr, 0, nullptr);

    const std::wstring caption = WindowText(frame);
    const int length = static_cast<int>(caption.size());
    const Selected font(dc, reinterpret_cast<HFONT>(SendMessageW(frame, WM_GETFONT, 0, 0)));
    SIZE text{};
    GetTextExtentPoint32W(dc, caption.c_str(), length, &text);
    // An etched border that starts halfway down the caption, as frames have.
    RECT border = client;
    border.top = text.cy / 2;
    DrawEdge(dc, &border, EDGE_ETCHED, BF_RECT);
    const int captionLeft = MulDiv(8, GetDpiForWindow(frame), 96);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    RECT label{captionLeft, 0, captionLeft + text.cx + 2, text.cy};
    ExtTextOutW(dc, captionLeft + 1, 0, ETO_OPAQUE, &label, caption.c_str(),
                static_cast<UINT>(length), nullptr);
}

// A frame child window with a caption; created hidden. Its owner hears what
// the controls in it report.
HWND CreateFrame(HWND parent, int id, const wchar_t* caption, WNDPROC procedure, void* owner) {
    static const ATOM registered = RegisterWindowClass(kFrameClass, procedure);
    if (!registered) return nullptr;
    const HWND frame = CreateChildWindow(parent, {.className = kFrameClass,
                                                  .text = caption,
                                                  .style = WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                                                  .exStyle = WS_EX_CONTROLPARENT,
                                                  .id = id});
    if (frame) SetWindowLongPtrW(frame, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
    return frame;
}

HWND CreateControl(HWND parent, int id, const wchar_t* className, const wchar_t* text, DWORD style,
                   DWORD exStyle = 0) {
    return CreateChildWindow(parent, {.className = className,
                                      .text = text,
                                      .style = WS_CLIPSIBLINGS | WS_VISIBLE | style,
                                      .exStyle = exStyle,
                                      .id = id});
}

}  // namespace

AlarmPanel::AlarmPanel(Callbacks callbacks)
    : callbacks_(std::move(callbacks)), yellow_(CreateSolidBrush(kLightYellow)) {}

HRESULT AlarmPanel::Create(HWND parent) {
    constexpr DWORD boxStyle = WS_TABSTOP | ES_AUTOHSCROLL;
    constexpr DWORD button = WS_TABSTOP | BS_PUSHBUTTON;
    panel_ = CreateFrame(parent, kAlarmPanelId, L"Enter time for alarm", FrameProc, this);
    if (!panel_) return LastErrorResult();
    setButton_ = CreateControl(panel_, kSetButtonId, L"BUTTON", L"Set", button);
    cancelButton_ = CreateControl(panel_, kCancelButtonId, L"BUTTON", L"Cancel", button);
    timeFrame_ = CreateFrame(panel_, kTimeFrameId, L"Non Military Time", FrameProc, this);
    if (!timeFrame_) return LastErrorResult();
    ShowWindow(timeFrame_, SW_SHOWNA);
    hint_ = CreateControl(panel_, kPanelHintId, L"STATIC",
                          L"Click on AM to change to PM and Click on PM to change to AM", SS_LEFT);
    hoursBox_ = CreateControl(timeFrame_, kHoursBoxId, L"EDIT", L"", boxStyle, WS_EX_CLIENTEDGE);
    minutesBox_ =
        CreateControl(timeFrame_, kMinutesBoxId, L"EDIT", L"", boxStyle, WS_EX_CLIENTEDGE);
    // A button, so the keyboard reaches it, drawn as the label it was.
    designator_ =
        CreateControl(timeFrame_, kDesignatorId, L"BUTTON", L"AM", WS_TABSTOP | BS_OWNERDRAW);
    rangeWord_ = CreateControl(timeFrame_, kRangeWordId, L"STATIC", L"", SS_LEFT);
    for (HWND control :
         {setButton_, cancelButton_, hint_, hoursBox_, minutesBox_, designator_, rangeWord_})
        if (!control) return LastErrorResult();
    for (HWND box : {hoursBox_, minutesBox_}) {
        SendMessageW(box, EM_SETLIMITTEXT, 2, 0);
        Subclass(box, BoxProc, this);
    }
    Subclass(designator_, DesignatorProc, this);
    return S_OK;
}

void AlarmPanel::Open(const TimeOfDay& now) {
    const PanelTime next = NextQuarterHour(now);
    ShowWindow(panel_, SW_SHOW);
    SetWindowTextW(hoursBox_, next.hours.c_str());
    SetWindowTextW(minutesBox_, next.minutes.c_str());
    SetDesignator(next.designator);
    ShowRangeWord(std::nullopt);
    SetFocus(hoursBox_);
    // A box that had the focus already hears no focus event; its text must
    // still be selected, so the first digit typed replaces the hour shown.
    OnBoxFocused(hoursBox_);
}

LRESULT CALLBACK AlarmPanel::FrameProc(HWND frame, UINT message, WPARAM wp, LPARAM lp) {
    switch (message) {
        case WM_PAINT:
            PaintFrame(frame);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_SETFONT:
            SetPropW(frame, kFontProperty, reinterpret_cast<HANDLE>(wp));
            if (lp) InvalidateRect(frame, nullptr, TRUE);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(GetPropW(frame, kFontProperty));
        case WM_NCDESTROY:
            RemovePropW(frame, kFontProperty);
            break;
        case WM_COMMAND:
        case WM_CTLCOLORSTATIC:
        case WM_DRAWITEM: {
            // The panel hears what its controls report, in whichever frame they stand.
            auto* panel = reinterpret_cast<AlarmPanel*>(GetWindowLongPtrW(frame, GWLP_USERDATA));
            if (!panel) break;
            try {
                return panel->OnControlMessage(frame, message, wp, lp);
            } catch (...) {
                return 0;  // nothing may cross the system's frames
            }
        }
        default:
            break;
    }
    return DefWindowProcW(frame, message, wp, lp);
}

LRESULT AlarmPanel::OnControlMessage(HWND frame, UINT message, WPARAM wp, LPARAM lp) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
            return 0;
        case WM_DRAWITEM:
            DrawDesignator(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
            return TRUE;
        default:
            if (HBRUSH brush =
                    OnCtlColorStatic(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp)))
                return reinterpret_cast<LRESULT>(brush);
            return DefWindowProcW(frame, message, wp, lp);
    }
}

void AlarmPanel::OnCommand(int id, int code, HWND control) {
    switch (id) {
        case kDesignatorId:
            // A quick second click is a double click to an owner-drawn button.
            if (code == BN_CLICKED || code == BN_DOUBLECLICKED)
                SetDesignator(ToggleDesignator(WindowText(designator_)));
            break;
        case kHoursBoxId:
        case kMinutesBoxId:
            if (code == EN_CHANGE)
                ShowRangeWord(BoxOutOfRange(WindowText(hoursBox_), WindowText(minutesBox_)));
            if (code == EN_SETFOCUS) OnBoxFocused(control);
            if (code == EN_KILLFOCUS) OnBoxLeft(control);
            break;
        case kSetButtonId:
            if (code == BN_CLICKED) OnSet();
            break;
        case kCancelButtonId:
            if (code == BN_CLICKED) Cancel();
            break;
        default:
            break;
    }
}

void AlarmPanel::SetDesignator(std::wstring_view text) {
    SetWindowTextW(designator_, std::wstring(text).c_str());
}

void AlarmPanel::OnDesignatorKey(wchar_t key) {
    // Enter moves on to "Set", as from the boxes.
    if (key == kKeyEnter) SetFocus(setButton_);
    if (const auto chosen = DesignatorOfKey(key)) SetDesignator(*chosen);
}

LRESULT AlarmPanel::DesignatorProc(void* self, HWND button, UINT message, WPARAM wp, LPARAM lp,
                                   WNDPROC original) {
    // Space clicks it as any button; typed characters choose.
    if (message == WM_CHAR) {
        static_cast<AlarmPanel*>(self)->OnDesignatorKey(static_cast<wchar_t>(wp));
        return 0;
    }
    return CallWindowProcW(original, button, message, wp, lp);
}

void AlarmPanel::DrawDesignator(const DRAWITEMSTRUCT& item) const {
    // Flat and yellow with its text at the top left, as the label it replaces;
    // a dotted frame around the text while it has the keyboard focus.
    const HDC dc = item.hDC;
    SetBkColor(dc, kLightYellow);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &item.rcItem, nullptr, 0, nullptr);
    const std::wstring text = WindowText(item.hwndItem);
    const Selected font(dc, reinterpret_cast<HFONT>(SendMessageW(item.hwndItem, WM_GETFONT, 0, 0)));
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    constexpr UINT kFormat = DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX;
    RECT bounds = item.rcItem;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &bounds, kFormat);
    if (!(item.itemState & ODS_FOCUS)) return;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &bounds, kFormat | DT_CALCRECT);
    IntersectRect(&bounds, &bounds, &item.rcItem);
    DrawFocusRect(dc, &bounds);
}

void AlarmPanel::ShowRangeWord(std::optional<PanelBox> refused) {
    const std::wstring word(refused ? RangeWord(*refused) : std::wstring_view());
    if (word != WindowText(rangeWord_)) SetWindowTextW(rangeWord_, word.c_str());
}

void AlarmPanel::OnSet() {
    const PanelSet set =
        SetMarker(WindowText(hoursBox_), WindowText(minutesBox_), WindowText(designator_));
    if (set.marker.empty()) {
        // The user is sent to the box that needs another number, and told what it takes.
        MessageBeep(MB_OK);
        ShowRangeWord(set.refused);
        const HWND box = set.refused == PanelBox::kHours ? hoursBox_ : minutesBox_;
        SetFocus(box);
        OnBoxFocused(box);
        return;
    }
    callbacks_.set(set.marker);
    Cancel();
}

void AlarmPanel::Cancel() {
    ShowWindow(panel_, SW_HIDE);
    callbacks_.hidden();
}

void AlarmPanel::OnBoxFocused(HWND box) {
    SendMessageW(box, EM_SETSEL, 0, -1);
}

void AlarmPanel::OnBoxLeft(HWND box) {
    if (const auto padded = PadOnLostFocus(WindowText(box))) SetWindowTextW(box, padded->c_str());
}

bool AlarmPanel::OnBoxKey(HWND box, wchar_t key) {
    const PanelKey filtered = FilterPanelKey(key);
    if (filtered.moveFocus) SetFocus(box == hoursBox_ ? minutesBox_ : setButton_);
    return filtered.pass;
}

LRESULT AlarmPanel::BoxProc(void* self, HWND box, UINT message, WPARAM wp, LPARAM lp,
                            WNDPROC original) {
    if (message == WM_CHAR &&
        !static_cast<AlarmPanel*>(self)->OnBoxKey(box, static_cast<wchar_t>(wp))) {
        return 0;
    }
    return CallWindowProcW(original, box, message, wp, lp);
}

HBRUSH AlarmPanel::OnCtlColorStatic(HDC dc, HWND control) const {
    if (control != hint_ && control != rangeWord_) return nullptr;
    SetBkColor(dc, kLightYellow);
    return yellow_.get();
}

void AlarmPanel::Layout(int panelTop, const std::function<RECT(const TwipRect&)>& toPixels) {
    auto place = [&](HWND window, const TwipRect& twips) {
        const RECT r = toPixels(twips);
        SetWindowPos(window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    };
    using namespace main_layout;
    place(panel_, kAlarmPanel.WithTop(panelTop));
    place(timeFrame_, kTimeFrame);
    place(hint_, kPanelHint);
    place(hoursBox_, kHoursBox);
    place(minutesBox_, kMinutesBox);
    place(designator_, kDesignator);
    place(rangeWord_, kRangeWord);
    place(setButton_, kSetButton);
    place(cancelButton_, kCancelButton);
}

void AlarmPanel::SetFont(HFONT font) {
    for (HWND w : {panel_, hint_, timeFrame_, hoursBox_, minutesBox_, designator_, rangeWord_,
                   setButton_, cancelButton_})
        SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    // Narrow margins (a new font resets them), so both digits fit the small boxes.
    for (HWND box : {hoursBox_, minutesBox_})
        SendMessageW(box, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(1, 1));
}

void AlarmPanel::AddFocusStops(std::vector<HWND>& stops) const {
    if (IsOpen())
        stops.insert(stops.end(), {hoursBox_, minutesBox_, designator_, setButton_, cancelButton_});
}

}  // namespace velmi
