// The alarm panel: a pale-yellow frame over the calendar where the user
// picks the hour, the minutes and AM or PM of an alarm. It owns its child
// controls and their handlers; the main window inserts the marker it makes.
#pragma once

#include "twips.h"
#include "win_handle.h"

#include <windows.h>

#include <functional>
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
    // Shows the panel with "00", "00" and AM, the focus in the hours.
    void Open();
    [[nodiscard]] bool IsOpen() const noexcept { return IsWindowVisible(panel_) != FALSE; }
    // "Cancel": hides the panel and writes nothing.
    void Cancel();

    // A WM_COMMAND from one of the panel's controls.
    void OnCommand(int id, int code, HWND control);
    // The brush of the labels; null for windows not the panel's.
    [[nodiscard]] HBRUSH OnCtlColorStatic(HDC dc, HWND control) const;
    // Places the panel with its top at panelTop and its time frame at
    // frameTop (twips), and the controls inside them.
    void Layout(int panelTop, int frameTop, const std::function<RECT(const TwipRect&)>& toPixels);
    void SetFont(HFONT font);
    // The panel's stops for Tab, in order, while it is shown.
    void AddFocusStops(std::vector<HWND>& stops) const;
    [[nodiscard]] bool IsButton(HWND window) const noexcept {
        return window && (window == setButton_ || window == cancelButton_);
    }

private:
    void OnDesignatorClicked();
    void OnSet();
    void OnBoxChanged(HWND box);
    void OnBoxFocused(HWND box);
    void OnBoxLeft(HWND box);
    [[nodiscard]] bool OnBoxKey(HWND box, wchar_t key);
    static LRESULT BoxProc(void* self, HWND, UINT, WPARAM, LPARAM, WNDPROC original);

    Callbacks callbacks_;
    HWND panel_ = nullptr, hint_ = nullptr, timeFrame_ = nullptr;
    HWND hoursBox_ = nullptr, minutesBox_ = nullptr, designator_ = nullptr;
    HWND setButton_ = nullptr, cancelButton_ = nullptr;
    unique_hbrush yellow_;
};

}  // namespace velmi
