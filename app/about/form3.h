// The About window Form3: the program's version in a pale-yellow window.
// It is created once and hidden by OK; its close box destroys it.
#pragma once

#include <windows.h>

namespace velmi {

inline constexpr wchar_t kForm3Class[] = L"VelmiForm3";
inline constexpr int kForm3TextId = 10;
inline constexpr int kForm3OkId = IDOK;

class Form3 {
public:
    Form3() = default;
    ~Form3();
    Form3(const Form3&) = delete;
    Form3& operator=(const Form3&) = delete;

    // Shows the one About window, creating it when there is none.
    void Show(HWND owner);
    [[nodiscard]] HWND Window() const noexcept { return hwnd_; }

private:
    static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT OnMessage(UINT message, WPARAM wp, LPARAM lp);
    void Create(HWND owner);
    void Command1_Click() { ShowWindow(hwnd_, SW_HIDE); }

    HWND hwnd_ = nullptr;
    HWND text1_ = nullptr;
    HWND command1_ = nullptr;
    HBRUSH yellow_ = nullptr;
    HFONT font_ = nullptr;
};

}  // namespace velmi
