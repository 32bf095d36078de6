// Day changes: a click on a day cell of the calendar, until the new day's
// note is shown (the note of the day left saved, the new one loaded, its
// alarms armed, the days before today purged).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace velmi::bench {

struct DayChangeRun {
    std::vector<double> change;       // seconds, click down to the return of the click up
    std::vector<double> withRepaint;  // the same, and every window repainted
    std::wstring error;               // why the run stopped, or empty
};

// Builds the main window in this process over a store of `storedDays` day
// keys (a key of the benchmark's own, removed afterwards) with a fixed clock
// and no sound, and times `changes` clicks that alternate between two days.
[[nodiscard]] DayChangeRun RunInProcessDayChanges(int changes, int storedDays);

// Posts `changes` clicks, alternating between two days other than today,
// to the calendar of a running Velmi, each waited for until the caption
// names the new day. Gives how many were seen.
[[nodiscard]] int DriveDayChanges(HWND mainWindow, int changes);

}  // namespace velmi::bench
