// The window that lists this project's products, each with its picture; a
// click on one opens its part of the help page. Leaving it brings the main
// window back.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace velmi {

inline constexpr wchar_t kProductsClass[] = L"VelmiProducts";
inline constexpr int kProductsBackId = IDOK;
inline constexpr int kProductVelmiId = 11;
inline constexpr int kProductCalendarId = 12;

class ProductsWindow {
public:
    struct Callbacks {
        std::function<void(const std::wstring& section)> openHelpSection;
        std::function<void()> left;  // the window was left, by its button or otherwise
    };
    explicit ProductsWindow(Callbacks callbacks) : callbacks_(std::move(callbacks)) {}
    ~ProductsWindow();
    ProductsWindow(const ProductsWindow&) = delete;
    ProductsWindow& operator=(const ProductsWindow&) = delete;

    void Show();
    [[nodiscard]] HWND Window() const noexcept { return hwnd_; }

private:
    static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT OnMessage(UINT message, WPARAM wp, LPARAM lp);
    void Create();
    void AddEntry(int id, int top, HANDLE picture, UINT pictureType, const wchar_t* text);
    void Leave();

    Callbacks callbacks_;
    HWND hwnd_ = nullptr;
    HFONT font_ = nullptr;
    HBITMAP toolbox_ = nullptr;
};

}  // namespace velmi
