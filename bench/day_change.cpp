#include "day_change.h"

#include "layout.h"
#include "main_window.h"
#include "note_keys.h"
#include "notes.h"
#include "program_probe.h"
#include "registry.h"
#include "registry_note_store.h"

namespace velmi::bench {
namespace {

constexpr wchar_t kBenchKey[] = L"Software\\VelmiBench";
constexpr wchar_t kStoreKey[] = L"Software\\VelmiBench\\Notes";
constexpr CivilDate kToday{2026, 12, 5};
constexpr int kWarmupChanges = 20;
constexpr int kFirstDay = 10, kSecondDay = 20;  // both other than kToday's day
constexpr double kChangeTimeout = 5;            // seconds for one change seen from outside

class FixedClock final : public Clock {
public:
    LocalDateTime Now() const override { return {kToday, {9, 30, 0}}; }
};

class SilentSound final : public SoundPlayer {
public:
    void Play(std::wstring_view) override {}
};

// The benchmark's own store key, filled before and removed after the run.
class BenchStore {
public:
    BenchStore() {
        (void)RegDeleteTreeW(HKEY_CURRENT_USER, kBenchKey);
        if (RegCreateKeyExW(HKEY_CURRENT_USER, kStoreKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &root_, nullptr) != ERROR_SUCCESS) {
            root_ = nullptr;
        }
    }
    ~BenchStore() {
        if (root_) RegCloseKey(root_);
        (void)RegDeleteTreeW(HKEY_CURRENT_USER, kBenchKey);
    }
    BenchStore(const BenchStore&) = delete;
    BenchStore& operator=(const BenchStore&) = delete;

    [[nodiscard]] HKEY Root() const noexcept { return root_; }

    // Half the days long past, half from today on: none is in the purged
    // range, so the store keeps its size through the run.
    [[nodiscard]] bool Fill(int days) {
        const DateSerial today = SerialFromCivil(kToday);
        const DateSerial first = today - kPurgedDays - 1 - days / 2;
        for (int i = 0; i < days; ++i) {
            const DateSerial day = i < days / 2 ? first + i : today + (i - days / 2);
            if (WriteRegText(root_, NoteKeyPath(day), L"", DayNote(day)).Failed()) return false;
        }
        return true;
    }

private:
    HKEY root_ = nullptr;
};

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// The visible day cell of the calendar surface that shows the day number.
HWND DayCell(HWND surface, int day) {
    HWND frame = GetDlgItem(surface, nuv::kFrameId);
    for (int i = 0; i < nuv::kDayCount; ++i) {
        HWND cell = GetDlgItem(frame, nuv::kDayIdBase + i);
        if (cell && IsWindowVisible(cell) && WindowText(cell) == std::to_wstring(day)) return cell;
    }
    return nullptr;
}

void SendClick(HWND cell) {
    SendMessageW(cell, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    SendMessageW(cell, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
}

}  // namespace

DayChangeRun RunInProcessDayChanges(int changes, int storedDays) {
    DayChangeRun run;
    BenchStore key;
    if (!key.Root() || !key.Fill(storedDays)) return {{}, {}, L"the store could not be filled"};
    RegistryNoteStore store(key.Root());
    FixedClock clock;
    SilentSound sound;
    MainWindow mainWindow({[&]() -> NoteStore& { return store; }, clock, sound,
                           L"Local\\VelmiBench.MainWindow", L"VelmiReg.htm",
                           [](const std::wstring&) { return DWORD{ERROR_SUCCESS}; }});
    if (!mainWindow.Create()) return {{}, {}, L"the main window could not be created"};
    mainWindow.Show();
    Pump();

    const int days[2] = {kFirstDay, kSecondDay};
    HWND cells[2] = {DayCell(mainWindow.Calendar().Window(), days[0]),
                     DayCell(mainWindow.Calendar().Window(), days[1])};
    if (!cells[0] || !cells[1]) return {{}, {}, L"no day cells found"};
    HWND note = GetDlgItem(mainWindow.Window(), kNoteBoxId);
    run.change.reserve(static_cast<std::size_t>(changes));
    run.withRepaint.reserve(static_cast<std::size_t>(changes));
    for (int i = 0; i < kWarmupChanges + changes; ++i) {
        const int which = i % 2;
        const double start = Seconds();
        SendClick(cells[which]);
        const double changed = Seconds();
        RedrawWindow(mainWindow.Window(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        const double painted = Seconds();
        const DateSerial day = SerialFromCivil({kToday.year, kToday.month, days[which]});
        if (WindowText(note) != DayNote(day)) {
            run.error = L"a click did not show the new day's note";
            break;
        }
        Pump();
        if (i < kWarmupChanges) continue;
        run.change.push_back(changed - start);
        run.withRepaint.push_back(painted - start);
    }
    return run;
}

int DriveDayChanges(HWND mainWindow, int changes) {
    HWND surface = FindWindowExW(mainWindow, nullptr, L"NuvenderSurface", nullptr);
    SYSTEMTIME now{};
    GetLocalTime(&now);
    // Both days differ from today, so the first click is a change as well.
    const int days[2] = {now.wDay == kFirstDay ? kFirstDay + 1 : kFirstDay,
                         now.wDay == kSecondDay ? kSecondDay + 1 : kSecondDay};
    HWND cells[2] = {DayCell(surface, days[0]), DayCell(surface, days[1])};
    if (!cells[0] || !cells[1]) return 0;
    int seen = 0;
    for (int i = 0; i < changes; ++i) {
        const std::wstring before = WindowText(mainWindow);
        RECT r{};
        GetClientRect(cells[i % 2], &r);
        const LPARAM centre = MAKELPARAM(r.right / 2, r.bottom / 2);
        PostMessageW(cells[i % 2], WM_LBUTTONDOWN, MK_LBUTTON, centre);
        PostMessageW(cells[i % 2], WM_LBUTTONUP, 0, centre);
        const double end = Seconds() + kChangeTimeout;
        while (WindowText(mainWindow) == before && Seconds() < end)
            Sleep(1);
        if (WindowText(mainWindow) == before) break;
        ++seen;
    }
    return seen;
}

}  // namespace velmi::bench
