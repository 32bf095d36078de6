// The alarm panel: a pale-yellow frame over the calendar where the user
// picks the hour, the minutes and AM or PM of an alarm. It owns its child
// controls and handles what they report; the main window inserts the marker
// it makes.
#pragma once

#include "alarm_panel_rules.h"
#include "twips.h"
#include "win_handle.h"

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace velmi {

class AlarmPanel {
public:
    struct Callbacks {
        std::function<void(const std::wstring& marker)> set;  // Set was pressed
        std::function<void()> hidden;                         // Set or Cancel hid the panel
    };
    explicit AlarmPanel(Callbacks callbacks);
    AlarmPanel(const AlarmPanel&) = delete;
    AlarmPanel& operator=(const AlarmPanel&) = delete;

    // Creates the panel, hidden, with its controls on the parent.
    [[nodiscard]] HRESULT Create(HWND parent);
    // Shows the panel at the quarter hour after now, the focus in the hours.
    void Open(const TimeOfDay& now);
    [[nodiscard]] bool IsOpen() const noexcept { return IsWindowVisible(panel_) != FALSE; }
    // "Cancel": hides the panel and writes nothing.
    void Cancel();

    // Places the panel with its top at panelTop (twips), and the controls inside it.
    void Layout(int panelTop, const std::function<RECT(const TwipRect&)>& toPixels);
    void SetFont(HFONT font);
    // The panel's stops for Tab, in order, while it is shown.
    void AddFocusStops(std::vector<HWND>& stops) const;
    [[nodiscard]] bool IsButton(HWND window) const noexcept {
        return window && (window == setButton_ || window == cancelButton_);
    }

private:
    static LRESULT CALLBACK FrameProc(HWND frame, UINT message, WPARAM wp, LPARAM lp);
    // What the controls report to the frame they stand in.
    LRESULT OnControlMessage(HWND frame, UINT message, WPARAM wp, LPARAM lp);
    void OnCommand(int id, int code, HWND control);
    [[nodiscard]] HBRUSH OnCtlColorStatic(HDC dc, HWND control) const;
    void DrawDesignator(const DRAWITEMSTRUCT& item) const;
    void OnDesignatorKey(wchar_t key);
    void SetDesignator(std::wstring_view text);
    void ShowRangeWord(std::optional<PanelBox> refused);
    void OnSet();
    void OnBoxFocused(HWND box);
    void OnBoxLeft(HWND box);
    [[nodiscard]] bool OnBoxKey(HWND box, wchar_t key);
    static LRESULT BoxProc(void* self, HWND, UINT, WPARAM, LPARAM, WNDPROC original);
    static LRESULT DesignatorProc(void* self, HWND, UINT, WPARAM, LPARAM, WNDPROC original);

    Callbacks callbacks_;
    HWND panel_ = nullptr, hint_ = nullptr, timeFrame_ = nullptr;
    HWND hoursBox_ = nullptr, minutesBox_ = nullptr, designator_ = nullptr, rangeWord_ = nullptr;
    HWND setButton_ = nullptr, cancelButton_ = nullptr;
    unique_hbrush yellow_;
};

}  // namespace velmi
