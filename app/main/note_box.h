// The note box: the multi-line edit box that holds the shown day's note, with
// its font, its scroll bar, Ctrl+A, the markers set into it and the notice
// over it while the day takes no edits. It tells when the user has stopped
// typing, so that the note is stored without waiting for a change of day.
#pragma once

#include "win_handle.h"

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

namespace velmi {

// How long typing must pause before the note is stored.
inline constexpr UINT kNoteSaveDelayMs = 2000;

class NoteBox {
public:
    // Called once typing has paused, on the main window's thread.
    explicit NoteBox(std::function<void()> typingPaused) : typingPaused_(std::move(typingPaused)) {}
    NoteBox(const NoteBox&) = delete;
    NoteBox& operator=(const NoteBox&) = delete;

    // Makes the box and its notice on the parent, whose timer it uses.
    [[nodiscard]] bool Create(HWND parent);
    [[nodiscard]] HWND Window() const noexcept { return box_; }

    [[nodiscard]] std::wstring Text() const;
    // Another day's note: nothing typed is pending any more.
    void Show(std::wstring_view text);
    // The notice shows above a shortened box while the box takes no edits.
    void SetReadOnly(bool readOnly);
    [[nodiscard]] bool ReadOnly() const noexcept { return readOnly_; }
    // Puts a marker in at a position of the text, as an edit of the user's,
    // with the caret after it.
    void InsertMarker(size_t pos, std::wstring_view marker);
    [[nodiscard]] size_t CaretPosition() const;

    void SetFont(HFONT font);
    // The area of the box with its notice, in the parent's pixels.
    void Place(const RECT& area);

    // The box's notification codes, the parent's timer and its keys.
    void OnCommand(int code);
    void OnTimer();
    // Ctrl+A selects the whole note; true when the key was that.
    [[nodiscard]] bool OnKey(const MSG& msg);

private:
    void Edited();
    void Layout();
    void FitScrollBar();

    std::function<void()> typingPaused_;
    HWND parent_ = nullptr, box_ = nullptr, notice_ = nullptr;
    RECT area_{};
    LONG lineHeight_ = 0;  // of the box's font
    bool readOnly_ = false;
    bool replacing_ = false;  // the text is being replaced, not typed
    bool pending_ = false;    // typed and not yet told
};

}  // namespace velmi
