// The window that lists this project's products, each with its picture; a
// click on one opens its part of the help page. Leaving it brings the main
// window back.
#pragma once

#include "win_handle.h"

#include <windows.h>

#include <functional>
#include <string>

namespace velmi {

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
    struct Entry {
        int id;
        int top;  // pixels at 96 dpi
        HANDLE picture;
        UINT pictureType;
        const wchar_t* text;
    };
    LRESULT OnMessage(UINT message, WPARAM wp, LPARAM lp);
    [[nodiscard]] HRESULT Create();
    void LoadPictures();
    [[nodiscard]] HRESULT CreateControls();
    [[nodiscard]] HRESULT AddEntry(const Entry& entry);
    [[nodiscard]] int Scaled(int pixelsAt96) const;
    void OnCommand(int id);
    void Leave();
    void OnNcDestroy();

    Callbacks callbacks_;
    HWND hwnd_ = nullptr;
    // The window's pictures and font, made afresh with each window.
    unique_hfont font_;
    unique_hicon stopwatch_;
    unique_hbitmap toolbox_;
};

}  // namespace velmi
