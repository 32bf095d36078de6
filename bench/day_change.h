// Day changes: a date text written into a date box, until the handler of
// that change returns (the note of the day left saved, the new one loaded),
// in Velmi's main window and in the floor, a window that does only that.
#pragma once

#include <windows.h>

#include <span>
#include <string>
#include <vector>

namespace velmi::bench {

// Seconds per change, from the write of the date text to its return.
struct ChangeTimes {
    std::vector<double> change;
    std::vector<double> withRepaint;  // the same, and the window repainted
};

// The changes between two days whose notes have `lines` lines each.
struct NoteSizeRun {
    int lines = 0;
    ChangeTimes velmi, floor;
};

struct DayChangeRun {
    std::vector<NoteSizeRun> sizes;
    std::wstring error;  // why the run stopped, or empty
};

// Builds Velmi's main window in this process over a store of `storedDays`
// day keys (a key of the benchmark's own, removed afterwards) with a fixed
// clock and no sound, and beside it the floor: a caption, a note box and a
// date box over the same store. For each of `noteLines`, times `changes`
// changes of each window, alternating between the two windows and between
// two days with notes of that many lines.
[[nodiscard]] DayChangeRun RunInProcessDayChanges(std::span<const int> noteLines, int changes,
                                                  int storedDays);

// Posts `changes` clicks, alternating between two days other than today,
// to the calendar of a running Velmi, each waited for until the caption
// names the new day. Gives how many were seen.
[[nodiscard]] int DriveDayChanges(HWND mainWindow, int changes);

}  // namespace velmi::bench
