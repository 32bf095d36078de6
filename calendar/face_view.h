// The calendar's face on screen: a surface window holding the frame with its
// arrows, labels and day cells, and the date box in front of the frame. It
// shows the model and reports the user's clicks and edits; it decides nothing.
#pragma once

#include "calendar_model.h"
#include "face_painter.h"
#include "layout.h"

#include <windows.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace nuv {

// The face's owner. Every message a window of the face handles runs between
// Hold and Unhold, so that an owner let go of from inside a handler lives
// until the message is done; handlers may throw, and the window procedure
// catches what they throw.
class FaceViewHost {
public:
    virtual ~FaceViewHost() = default;
    virtual void Hold() noexcept = 0;
    virtual void Unhold() noexcept = 0;
    virtual void OnDayClicked(int index) = 0;
    virtual void OnDayKey(DayKey key) = 0;  // a key that moves the selected day
    virtual void OnArrowClicked(Arrow arrow) = 0;
    virtual void OnFrameClicked() = 0;
    virtual void OnDateBoxEdited(const std::wstring& text) = 0;
    virtual void OnDateBoxCommitted() = 0;  // Enter, or the focus left the box
    virtual void OnFocusEnter() = 0;
    virtual void OnMidnight() = 0;  // the local date has just changed
    // Tab moved past the last (or before the first) stop; true when the
    // container took the focus.
    virtual bool OnTabOut(const MSG& tab) = 0;
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
    // Runs a handler with the owner held, and stops what it throws.
    template <typename Handler>
    LRESULT Routed(Handler&& handler) noexcept;

    // Calls action(window, id, rect) for each child of the frame, in the
    // order they are created.
    template <typename Action>
    void ForEachFramePart(Action&& action);

    [[nodiscard]] HRESULT CreateParts();
    [[nodiscard]] HRESULT CreateDateBox();
    [[nodiscard]] HRESULT CreatePart(HWND parent, int id, const TwipRect& rect, HWND& part);
    [[nodiscard]] std::wstring PartText(int id) const;
    void MakeResources();  // the fonts, brushes and pictures at the surface's resolution
    void ApplyDpi();       // all of them anew, and every part placed by them
    void ApplyFont();      // the date box's font and margins
    void Place(HWND window, const TwipRect& rect) const noexcept;
    [[nodiscard]] RECT ToPixels(const TwipRect& r) const noexcept;
    void RefreshDay(int index) noexcept;  // all but hiding it
    void HideDayIfHidden(int index) noexcept;
    [[nodiscard]] std::vector<HWND> FocusStops() const;

    LRESULT OnSurfaceMessage(UINT, WPARAM, LPARAM);
    LRESULT OnDateBoxMessage(HWND box, UINT, WPARAM, LPARAM, WNDPROC original);
    void OnDateBoxChange();
    void OnMidnightTimer();
    void SetMidnightTimer() noexcept;
    LRESULT OnPartMessage(HWND part, UINT, WPARAM, LPARAM);
    void OnPartButtonDown(HWND part, LPARAM lp);
    // In the frame's own coordinates.
    [[nodiscard]] bool IsOnWeekdayInitial(POINT at) const noexcept;
    void OnPartButtonUp(HWND part, LPARAM lp);
    void OnPartCaptureChanged(HWND part, LPARAM lp);
    void OnPartFocus(HWND part, bool gained);
    void OnPartClicked(HWND part);
    void OnTabKey(HWND from, WPARAM key);
    void OnDayCellKey(HWND cell, WPARAM key);
    // Keeps the focus, when a day cell has it, on the selected day's cell.
    void FollowSelectedDay() noexcept;
    void FocusSelectedDay() noexcept;
    [[nodiscard]] bool IsDayCell(HWND window) const noexcept;

    const Face& face_;
    FaceViewHost& host_;
    HWND surface_ = nullptr;
    HWND frame_ = nullptr;
    HWND dateBox_ = nullptr;
    std::array<HWND, kDayCount> dayCells_{};
    std::array<HWND, kArrowCount> arrows_{};
    HWND yearLabel_ = nullptr;
    HWND monthLabel_ = nullptr;
    std::unique_ptr<FaceResources> resources_;
    HWND pressed_ = nullptr;                  // the part a click started on
    bool pressedInitial_ = false;             // on a weekday initial the frame draws
    std::array<DayCell, kDayCount> shown_{};  // what the cells show, to touch only changes
};

}  // namespace nuv
