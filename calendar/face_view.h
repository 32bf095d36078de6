// The calendar's face on screen: a surface window holding the frame with its
// arrows, labels and day cells, and the date box in front of the frame. It
// shows the model and reports the user's clicks and edits; it decides nothing.
#pragma once

#include "calendar_model.h"
#include "layout.h"

#include <windows.h>

#include <array>
#include <memory>
#include <string>

namespace nuv {

class FaceViewHost {
public:
    virtual ~FaceViewHost() = default;
    virtual void OnDayClick(int index) = 0;
    virtual void OnArrowClick(int arrow) = 0;  // 0 .. 3 for Image1 .. Image4
    virtual void OnFrameClick() = 0;
    virtual void OnDateBoxEdited(const std::wstring& text) = 0;
    virtual void OnFocusEnter() = 0;
    // Tab moved past the last (or before the first) stop; true when the
    // container took the focus.
    virtual bool OnTabOut(const MSG& tab) = 0;
};

struct GdiDeleter {
    void operator()(HGDIOBJ object) const noexcept { DeleteObject(object); }
};
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiDeleter>;
struct IconDeleter {
    void operator()(HICON icon) const noexcept { DestroyIcon(icon); }
};
using UniqueIcon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;

// Fonts and pictures for drawing the face at one scale.
struct FaceResources {
    explicit FaceResources(int pixelsPerInch);
    int pixelsPerInch;
    UniqueFont dayFont;
    UniqueFont labelFont;
    UniqueIcon leftArrow;
    UniqueIcon rightArrow;
};

class FaceView {
public:
    FaceView(const Face& face, FaceViewHost& host) noexcept : face_(face), host_(host) {}
    ~FaceView() { Destroy(); }
    FaceView(const FaceView&) = delete;
    FaceView& operator=(const FaceView&) = delete;

    [[nodiscard]] HRESULT Create(HWND parent, const RECT& position) noexcept;
    void Destroy() noexcept;
    [[nodiscard]] HWND Window() const noexcept { return surface_; }
    [[nodiscard]] bool Contains(HWND window) const noexcept;
    void SetPosition(const RECT& position) noexcept;

    void Refresh() noexcept;         // cells and labels from the model
    void RefreshDateBox() noexcept;  // the model's date box text into the edit box

    // Moves the focus to the next (or previous) stop; false when it would
    // leave the control.
    [[nodiscard]] bool MoveFocus(bool backward) noexcept;

private:
    static LRESULT CALLBACK SurfaceProc(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK PartProc(HWND, UINT, WPARAM, LPARAM);
    static LRESULT DateBoxProc(void* self, HWND, UINT, WPARAM, LPARAM, WNDPROC original);

    LRESULT OnSurfaceMessage(UINT, WPARAM, LPARAM);
    LRESULT OnPartMessage(HWND part, UINT, WPARAM, LPARAM);
    void OnPartPaint(HWND part);
    void OnPartClick(HWND part);
    void OnDateBoxChange();
    void OnTabKey(HWND from, WPARAM key);
    void CreateParts();
    HWND CreatePart(HWND parent, int id, const TwipRect& rect, const std::wstring& text);
    void ApplyDpi();
    [[nodiscard]] RECT ToPixels(const TwipRect& r) const noexcept;

    const Face& face_;
    FaceViewHost& host_;
    HWND surface_ = nullptr;
    HWND frame_ = nullptr;
    HWND dateBox_ = nullptr;
    std::array<HWND, kDayCount> days_{};
    std::array<HWND, 4> arrows_{};
    std::array<HWND, 7> weekdays_{};
    HWND yearLabel_ = nullptr;
    HWND monthLabel_ = nullptr;
    std::unique_ptr<FaceResources> resources_;
    HWND pressed_ = nullptr;                  // the part a click started on
    std::array<DayCell, kDayCount> shown_{};  // what the cells show, to touch only changes
};

// Paints the whole face, date box included, into any device context, scaled
// to the bounds (IViewObject::Draw).
void DrawFace(const Face& face, HDC dc, const RECT& bounds) noexcept;

}  // namespace nuv
