// Drives windows the way a user's mouse and keyboard reach them: one pump,
// one child finder, one text reader, one click and one typist for every test.
// Click, Type and Key send their messages, so they work on windows of other
// processes too; Pump runs only this thread's queue.
#pragma once

#include "win_system.h"

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace velmi::test {

// Sees each keyboard message before it is dispatched, as a program's message
// loop lets its window pre-translate it; true when it used the message.
using KeyFilter = std::function<bool(MSG&)>;

// Runs this thread's messages, waiting for more until the time is up.
void Pump(std::chrono::milliseconds duration = std::chrono::milliseconds(20),
          const KeyFilter& filter = {});
// Pumps until done() holds; false when the timeout came first.
[[nodiscard]] bool PumpUntil(const std::function<bool()>& done,
                             std::chrono::milliseconds timeout = std::chrono::seconds(10),
                             const KeyFilter& filter = {});

// The descendant of parent with the control id, at any depth, or null.
[[nodiscard]] HWND Child(HWND parent, int id);

// The text of a window, of this process or another: asked for with
// WM_GETTEXT, since GetWindowText does not ask another process's edit box.
[[nodiscard]] std::wstring WindowText(HWND window);

// The rows of a list box, of this process or another.
[[nodiscard]] std::vector<std::wstring> ListRows(HWND list);

// The left button pressed and released at the centre of the client area, or
// at a point of it.
void Click(HWND window);
void Click(HWND window, POINT at);
// One WM_CHAR per character; a CR is Enter, offered to the filter first, and
// an LF after it adds nothing.
void Type(HWND window, std::wstring_view text, const KeyFilter& filter = {});
// A key press, offered to the filter first.
void Key(HWND window, UINT vk, const KeyFilter& filter = {});
// Real key presses through the system's input queue, to the window with the
// keyboard focus: each character typed, '\r' as Enter, '\t' as Tab. Pumps
// this thread until they all arrived; false when they did not.
[[nodiscard]] bool Press(std::wstring_view keys, const KeyFilter& filter = {});
// One real press of a virtual key, with Ctrl held when asked, delivered the same way.
[[nodiscard]] bool PressKey(WORD vk, bool control = false, const KeyFilter& filter = {});
// A real click: the pointer moves to the centre of the window and the left
// button goes down and up there, so the window system's own hit-testing
// picks the window that gets it. False when the click never arrived.
[[nodiscard]] bool RealClick(HWND window);

}  // namespace velmi::test
