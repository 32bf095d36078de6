#include "note_box.h"

#include "alarm_panel_rules.h"
#include "velmi_controls.h"
#include "velmi_texts.h"
#include "win_gdi.h"
#include "win_system.h"

#include <algorithm>

namespace velmi {

bool NoteBox::Create(HWND parent) {
    parent_ = parent;
    box_ =
        CreateChildWindow(parent, {.className = L"EDIT",
                                   .style = WS_CLIPSIBLINGS | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL |
                                            ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
                                   .exStyle = WS_EX_CLIENTEDGE,
                                   .id = kNoteBoxId});
    notice_ = CreateChildWindow(
        parent, {.text = kPurgedDayNotice,
                 .style = WS_CLIPSIBLINGS | SS_LEFTNOWORDWRAP | SS_CENTERIMAGE | SS_ENDELLIPSIS,
                 .id = kNoteNoticeId});
    if (!box_ || !notice_) return false;
    SendMessageW(box_, EM_SETLIMITTEXT, 0, 0);  // no length limit of its own
    return true;
}

std::wstring NoteBox::Text() const {
    return WindowText(box_);
}

void NoteBox::Show(std::wstring_view text) {
    const std::wstring copy(text);
    // A multi-line box may or may not announce a new text; it is no typing.
    replacing_ = true;
    SetWindowTextW(box_, copy.c_str());
    replacing_ = false;
    pending_ = false;
    KillTimer(parent_, kNoteSaveTimerId);
    FitScrollBar();
}

void NoteBox::SetReadOnly(bool readOnly) {
    if (readOnly == readOnly_) return;
    readOnly_ = readOnly;
    SendMessageW(box_, EM_SETREADONLY, readOnly, 0);
    ShowWindow(notice_, readOnly ? SW_SHOWNA : SW_HIDE);
    Layout();
}

void NoteBox::InsertMarker(size_t pos, std::wstring_view marker) {
    const std::wstring before = Text();
    const std::wstring note = velmi::InsertMarker(before, pos, marker);
    replacing_ = true;
    SetWindowTextW(box_, note.c_str());
    replacing_ = false;
    Edited();
    const size_t caret = std::min(pos, before.size()) + marker.size();
    FitScrollBar();
    SendMessageW(box_, EM_SETSEL, caret, static_cast<LPARAM>(caret));
    SendMessageW(box_, EM_SCROLLCARET, 0, 0);
}

size_t NoteBox::CaretPosition() const {
    DWORD start = 0;
    SendMessageW(box_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
    return start;
}

void NoteBox::SetFont(HFONT font) {
    SendMessageW(box_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageW(notice_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    // A line's height, measured at a change of font rather than at every edit.
    if (const WindowDc dc(box_); dc.Get()) {
        const Selected selected(dc.Get(), font);
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc.Get(), &metrics);
        lineHeight_ = metrics.tmHeight;
    }
    Layout();
}

void NoteBox::Place(const RECT& area) {
    area_ = area;
    Layout();
}

void NoteBox::Layout() {
    RECT box = area_;
    if (readOnly_) {
        // One line of the box's font, with a little air.
        const LONG height = lineHeight_ + lineHeight_ / 2;
        SetWindowPos(notice_, nullptr, box.left, box.top, box.right - box.left, height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        box.top += height;
    }
    SetWindowPos(box_, nullptr, box.left, box.top, box.right - box.left, box.bottom - box.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    FitScrollBar();
}

void NoteBox::FitScrollBar() {
    // The bar shows while the text, as now wrapped, is taller than the box.
    // This never flips back and forth: the bar narrows the text, which can
    // only add lines. Showing it lays the whole text out again, even when
    // nothing changes, so it is touched only when the need flips.
    const auto lines = SendMessageW(box_, EM_GETLINECOUNT, 0, 0);
    RECT text{};
    SendMessageW(box_, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&text));
    const bool needed = lines * lineHeight_ > text.bottom - text.top;
    const bool shown = (GetWindowLongPtrW(box_, GWL_STYLE) & WS_VSCROLL) != 0;
    if (needed != shown) ShowScrollBar(box_, SB_VERT, needed);
}

void NoteBox::OnCommand(int code) {
    if (code != EN_CHANGE || replacing_) return;
    FitScrollBar();
    Edited();
}

void NoteBox::Edited() {
    // Each edit starts the pause again: a key held down stores nothing until
    // it is let go.
    pending_ = true;
    SetTimer(parent_, kNoteSaveTimerId, kNoteSaveDelayMs, nullptr);
}

void NoteBox::OnTimer() {
    KillTimer(parent_, kNoteSaveTimerId);
    if (!pending_) return;
    pending_ = false;
    typingPaused_();
}

bool NoteBox::OnKey(const MSG& msg) {
    if (msg.hwnd != box_ || msg.message != WM_KEYDOWN || msg.wParam != 'A' ||
        GetKeyState(VK_CONTROL) >= 0 || GetKeyState(VK_MENU) < 0) {
        return false;
    }
    SendMessageW(box_, EM_SETSEL, 0, -1);
    return true;
}

}  // namespace velmi
