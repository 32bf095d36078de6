// The About window: the program's version in a pale-yellow window.
// It is created once and hidden by OK; its close box destroys it.
#pragma once

#include "win_handle.h"

#include <windows.h>

namespace velmi {

class AboutWindow {
public:
    AboutWindow() = default;
    ~AboutWindow();
    AboutWindow(const AboutWindow&) = delete;
    AboutWindow& operator=(const AboutWindow&) = delete;

    // Shows the one About window, creating it when there is none.
    void Show(HWND owner);
    [[nodiscard]] HWND Window() const noexcept { return hwnd_; }

private:
    LRESULT OnMessage(UINT message, WPARAM wp, LPARAM lp);
    [[nodiscard]] HRESULT Create(HWND owner);
    [[nodiscard]] HRESULT CreateControls(int dpi);
    void OnOk() { ShowWindow(hwnd_, SW_HIDE); }
    LRESULT OnEraseBackground(HDC dc);
    LRESULT OnCtlColor(HDC dc);
    LRESULT OnNcDestroy(WPARAM wp, LPARAM lp);

    HWND hwnd_ = nullptr;
    HWND text_ = nullptr;
    HWND okButton_ = nullptr;
    unique_hbrush yellow_;
    unique_hfont font_;
};

}  // namespace velmi
