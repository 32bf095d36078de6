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

LRESULT CALLBACK FrameProc(HWND frame, UINT message, WPARAM wp, LPARAM lp) {
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
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORBTN:
            // The main window handles what its controls report.
            return SendMessageW(GetAncestor(frame, GA_ROOT), message, wp, lp);
        default:
            break;
    }
    return DefWindowProcW(frame, message, wp, lp);
}

// A frame child window with a caption; created hidden.
HWND CreateFrame(HWND parent, int id, const wchar_t* caption) {
    static const ATOM registered = RegisterWindowClass(kFrameClass, FrameProc);
    if (!registered) return nullptr;
    return CreateChildWindow(parent, {.className = kFrameClass,
                                      .text = caption,
                                      .style = WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                                      .exStyle = WS_EX_CONTROLPARENT,
                                      .id = id});
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
    panel_ = CreateFrame(parent, kAlarmPanelId, L"Enter time for alarm");
    if (!panel_) return LastErrorResult();
    setButton_ = CreateControl(panel_, kSetButtonId, L"BUTTON", L"Set", button);
    cancelButton_ = CreateControl(panel_, kCancelButtonId, L"BUTTON", L"Cancel", button);
    timeFrame_ = CreateFrame(panel_, kTimeFrameId, L"Non Military Time");
    if (!timeFrame_) return LastErrorResult();
    ShowWindow(timeFrame_, SW_SHOWNA);
    hint_ = CreateControl(panel_, kPanelHintId, L"STATIC",
                          L"Click on AM to change to PM and Click on PM to change to AM", SS_LEFT);
    hoursBox_ = CreateControl(timeFrame_, kHoursBoxId, L"EDIT", L"", boxStyle, WS_EX_CLIENTEDGE);
    minutesBox_ =
        CreateControl(timeFrame_, kMinutesBoxId, L"EDIT", L"", boxStyle, WS_EX_CLIENTEDGE);
    designator_ = CreateControl(timeFrame_, kDesignatorId, L"STATIC", L"AM", SS_LEFT | SS_NOTIFY);
    for (HWND control : {setButton_, cancelButton_, hint_, hoursBox_, minutesBox_, designator_})
        if (!control) return LastErrorResult();
    for (HWND box : {hoursBox_, minutesBox_}) {
        SendMessageW(box, EM_SETLIMITTEXT, 2, 0);
        Subclass(box, BoxProc, this);
    }
    return S_OK;
}

void AlarmPanel::Open() {
    ShowWindow(panel_, SW_SHOW);
    SetWindowTextW(hoursBox_, L"00");
    SetWindowTextW(minutesBox_, L"00");
    SetWindowTextW(designator_, L"AM");
    SetFocus(hoursBox_);
    // A box that had the focus already hears no focus event; its text must
    // still be selected, so the first digit typed replaces "00".
    OnBoxFocused(hoursBox_);
}

void AlarmPanel::OnCommand(int id, int code, HWND control) {
    switch (id) {
        case kDesignatorId:
            if (code == STN_CLICKED) OnDesignatorClicked();
            break;
        case kHoursBoxId:
        case kMinutesBoxId:
            if (code == EN_CHANGE) OnBoxChanged(control);
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

void AlarmPanel::OnDesignatorClicked() {
    SetWindowTextW(designator_, std::wstring(ToggleDesignator(WindowText(designator_))).c_str());
}

void AlarmPanel::OnSet() {
    const auto hours = CompleteBox(WindowText(hoursBox_));
    const auto minutes = CompleteBox(WindowText(minutesBox_));
    if (!hours || !minutes) {
        // The user is sent to the box that still needs a number.
        MessageBeep(MB_OK);
        SetFocus(hours ? minutesBox_ : hoursBox_);
        return;
    }
    callbacks_.set(MarkerText(*hours, *minutes, WindowText(designator_)));
    Cancel();
}

void AlarmPanel::Cancel() {
    ShowWindow(panel_, SW_HIDE);
    callbacks_.hidden();
}

void AlarmPanel::OnBoxChanged(HWND box) {
    const std::wstring text = WindowText(box);
    const auto fixed = box == hoursBox_ ? CheckHours(text) : CheckMinutes(text);
    if (fixed) SetWindowTextW(box, fixed->c_str());
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
    if (control != designator_ && control != hint_) return nullptr;
    SetBkColor(dc, kLightYellow);
    return yellow_.get();
}

void AlarmPanel::Layout(int panelTop, int frameTop,
                        const std::function<RECT(const TwipRect&)>& toPixels) {
    auto place = [&](HWND window, const TwipRect& twips) {
        const RECT r = toPixels(twips);
        SetWindowPos(window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    };
    using namespace main_layout;
    place(panel_, kAlarmPanel.WithTop(panelTop));
    place(timeFrame_, kTimeFrame.WithTop(frameTop));
    place(hint_, kPanelHint);
    place(hoursBox_, kHoursBox);
    place(minutesBox_, kMinutesBox);
    place(designator_, kDesignator);
    place(setButton_, kSetButton);
    place(cancelButton_, kCancelButton);
}

void AlarmPanel::SetFont(HFONT font) {
    for (HWND w : {panel_, hint_, timeFrame_, hoursBox_, minutesBox_, designator_, setButton_,
                   cancelButton_})
        SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    // Narrow margins (a new font resets them), so both digits fit the small boxes.
    for (HWND box : {hoursBox_, minutesBox_})
        SendMessageW(box, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(1, 1));
}

void AlarmPanel::AddFocusStops(std::vector<HWND>& stops) const {
    if (IsOpen()) stops.insert(stops.end(), {hoursBox_, minutesBox_, setButton_, cancelButton_});
}

}  // namespace velmi
