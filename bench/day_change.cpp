#include "day_change.h"

#include "layout.h"
#include "main_window.h"
#include "note_keys.h"
#include "notes.h"
#include "program_probe.h"
#include "registry.h"
#include "registry_note_store.h"
#include "win_date.h"
#include "win_system.h"

#include <cwchar>

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
    void Stop() override {}
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

// The floor of a day change: what any program that keeps a note per day in
// the registry cannot do without. On each change of its date box's text it
// stores the note box under the day it leaves, reads the new day's note into
// it and sets the caption; no more.
class FloorWindow {
public:
    explicit FloorWindow(HKEY root) : root_(root) {}
    ~FloorWindow() {
        if (window_) DestroyWindow(window_);
    }
    FloorWindow(const FloorWindow&) = delete;
    FloorWindow& operator=(const FloorWindow&) = delete;

    // Beside Velmi's window, its note box as large, in the same font and made
    // with a scroll bar (an edit box made without one never keeps one up to
    // date); the bar is shown as Velmi's for each note size (MatchScrollBar).
    [[nodiscard]] bool Create(const RECT& noteBox, HFONT font) {
        static const ATOM registered = RegisterWindowClass(
            L"VelmiBenchDayFloor",
            RouteToCreator<FloorWindow, &FloorWindow::window_, &FloorWindow::OnMessage>,
            reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
        if (!registered) return false;
        CreateWindowExW(0, L"VelmiBenchDayFloor", L"Floor", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 520,
                        0, 506, 300, nullptr, nullptr, GetModuleHandleW(nullptr), this);
        note_ = CreateChildWindow(window_, {.className = L"EDIT",
                                            .style = WS_VISIBLE | WS_VSCROLL | ES_MULTILINE |
                                                     ES_AUTOVSCROLL | ES_WANTRETURN,
                                            .exStyle = WS_EX_CLIENTEDGE,
                                            .position = noteBox});
        date_ = CreateChildWindow(window_, {.className = L"EDIT",
                                            .style = WS_VISIBLE | ES_AUTOHSCROLL,
                                            .exStyle = WS_EX_CLIENTEDGE,
                                            .id = kDateId,
                                            .position = {8, 220, 160, 240}});
        if (!note_ || !date_) return false;
        SendMessageW(note_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        SendMessageW(date_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        return true;
    }
    [[nodiscard]] HWND Window() const noexcept { return window_; }
    [[nodiscard]] HWND DateBox() const noexcept { return date_; }
    [[nodiscard]] HWND NoteBox() const noexcept { return note_; }
    // The bar shown as in `like`, where the same note is laid out in the same room.
    void MatchScrollBar(HWND like) {
        ShowScrollBar(note_, SB_VERT, (GetWindowLongPtrW(like, GWL_STYLE) & WS_VSCROLL) != 0);
    }

private:
    static constexpr int kDateId = 1;

    LRESULT OnMessage(UINT message, WPARAM wp, LPARAM lp) {
        if (message == WM_COMMAND && LOWORD(wp) == kDateId && HIWORD(wp) == EN_CHANGE) {
            OnDateChanged();
            return 0;
        }
        return DefWindowProcW(window_, message, wp, lp);
    }

    void OnDateChanged() {
        // velmi::WindowText reads a box whole; the benchmark's own reads
        // captions, of at most 511 characters.
        const std::wstring text = velmi::WindowText(date_);
        int month = 0, day = 0, year = 0;
        if (swscanf(text.c_str(), L"%d/%d/%d", &month, &day, &year) != 3) return;
        // Only an edited note is written back, as Velmi does.
        if (shown_ != 0 && SendMessageW(note_, EM_GETMODIFY, 0, 0)) {
            const std::wstring note = velmi::WindowText(note_);
            RegSetKeyValueW(root_, NoteKeyPath(shown_).c_str(), nullptr, REG_SZ, note.c_str(),
                            static_cast<DWORD>((note.size() + 1) * sizeof(wchar_t)));
        }
        shown_ = SerialFromCivil({year, month, day});
        DWORD size = static_cast<DWORD>(text_.size() * sizeof(wchar_t));
        if (RegGetValueW(root_, NoteKeyPath(shown_).c_str(), nullptr, RRF_RT_REG_SZ, nullptr,
                         text_.data(), &size) != ERROR_SUCCESS) {
            text_[0] = 0;
        }
        SetWindowTextW(note_, text_.data());
        SetWindowTextW(window_, (std::wstring(kCaptionPrefix) + text).c_str());
    }

    HKEY root_;
    HWND window_ = nullptr, note_ = nullptr, date_ = nullptr;
    DateSerial shown_ = 0;
    std::vector<wchar_t> text_ = std::vector<wchar_t>(1 << 15);  // read into, for any test note
};

// Writes the date text into a date box, as a paste does, then Enter, which
// commits a typed date in the calendar: it draws the month, as a click on a
// day does (the floor's box takes the date at once and the key changes
// nothing there); times both.
void TimeChange(HWND top, HWND dateBox, const std::wstring& text, ChangeTimes& times) {
    const double start = Seconds();
    SetWindowTextW(dateBox, text.c_str());
    SendMessageW(dateBox, WM_KEYDOWN, VK_RETURN, 0);
    const double changed = Seconds();
    RedrawWindow(top, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    const double painted = Seconds();
    times.change.push_back(changed - start);
    times.withRepaint.push_back(painted - start);
}

// The two days of one note size, each size with days of its own, and their notes.
struct DayPair {
    // The calendar is given its own text, which a click on a day writes too: a
    // short date would add the calendar's rewriting it at Enter, a second write
    // of its box, which is not the day change's.
    std::wstring calendarTexts[2], floorTexts[2], notes[2];
};

[[nodiscard]] bool StorePair(HKEY root, int size, int lines, DayPair& pair) {
    for (int which = 0; which < 2; ++which) {
        const int day = (which == 0 ? kFirstDay : kSecondDay) + size;
        const DateSerial serial = SerialFromCivil({kToday.year, kToday.month, day});
        pair.notes[which] = ListNote(which, lines);
        pair.calendarTexts[which] = CanonicalDateText(MonthName(kToday.month), day, kToday.year);
        pair.floorTexts[which] = std::to_wstring(kToday.month) + L"/" + std::to_wstring(day) +
                                 L"/" + std::to_wstring(kToday.year);
        // An empty note is a day without a key.
        const LSTATUS status =
            pair.notes[which].empty()
                ? RegDeleteTreeW(root, NoteKeyPath(serial).c_str())
                : (WriteRegText(root, NoteKeyPath(serial), L"", pair.notes[which]).Failed()
                       ? ERROR_WRITE_FAULT
                       : ERROR_SUCCESS);
        if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) return false;
    }
    return true;
}

struct Windows {
    HWND velmi, velmiDate, velmiNote;
    FloorWindow& floor;
};

// `count` changes between the pair's days, Velmi's window and the floor by
// turns, timed into `run` unless it is null; false when a change did not
// show its day's note.
[[nodiscard]] bool Alternate(const Windows& w, const DayPair& pair, int count, NoteSizeRun* run) {
    ChangeTimes ignored;
    for (int i = 0; i < count; ++i) {
        const int which = i % 2;
        TimeChange(w.velmi, w.velmiDate, pair.calendarTexts[which], run ? run->velmi : ignored);
        TimeChange(w.floor.Window(), w.floor.DateBox(), pair.floorTexts[which],
                   run ? run->floor : ignored);
        if (velmi::WindowText(w.velmiNote) != pair.notes[which] ||
            velmi::WindowText(w.floor.NoteBox()) != pair.notes[which]) {
            return false;
        }
        Pump();
    }
    return true;
}

// The changes of each note size; an error when one could not be run.
[[nodiscard]] std::wstring RunSizes(HKEY root, const Windows& w, std::span<const int> noteLines,
                                    int changes, std::vector<NoteSizeRun>& sizes) {
    for (std::size_t size = 0; size < noteLines.size(); ++size) {
        DayPair pair;
        if (!StorePair(root, static_cast<int>(size), noteLines[size], pair))
            return L"the notes could not be stored";
        // An even count, so the first timed change leaves the other day.
        if (!Alternate(w, pair, kWarmupChanges, nullptr))
            return L"a change did not show the new day's note";
        w.floor.MatchScrollBar(w.velmiNote);
        NoteSizeRun& run = sizes.emplace_back();
        run.lines = noteLines[size];
        for (ChangeTimes* times : {&run.velmi, &run.floor}) {
            times->change.reserve(static_cast<std::size_t>(changes));
            times->withRepaint.reserve(static_cast<std::size_t>(changes));
        }
        if (!Alternate(w, pair, changes, &run)) return L"a change did not show the new day's note";
    }
    return {};
}

}  // namespace

DayChangeRun RunInProcessDayChanges(std::span<const int> noteLines, int changes, int storedDays) {
    DayChangeRun run;
    BenchStore key;
    if (!key.Root() || !key.Fill(storedDays)) return {{}, L"the store could not be filled"};
    RegistryNoteStore store(key.Root());
    FixedClock clock;
    SilentSound sound;
    MainWindow mainWindow({[&]() -> NoteStore& { return store; }, clock, sound,
                           L"Local\\VelmiBench.MainWindow", L"VelmiReg.htm",
                           [](const std::wstring&) { return DWORD{ERROR_SUCCESS}; }});
    if (!mainWindow.Create()) return {{}, L"the main window could not be created"};
    mainWindow.Show();
    HWND velmiNote = GetDlgItem(mainWindow.Window(), kNoteBoxId);
    HWND velmiDate = GetDlgItem(mainWindow.Calendar().Window(), nuv::kDateBoxId);
    RECT noteBox{};
    GetWindowRect(velmiNote, &noteBox);
    MapWindowPoints(nullptr, mainWindow.Window(), reinterpret_cast<POINT*>(&noteBox), 2);
    const auto font = reinterpret_cast<HFONT>(SendMessageW(velmiNote, WM_GETFONT, 0, 0));
    FloorWindow floor(key.Root());
    if (!velmiDate) return {{}, L"Velmi's date box was not found"};
    if (!floor.Create(noteBox, font)) return {{}, L"the floor window could not be created"};
    Pump();
    run.error = RunSizes(key.Root(), {mainWindow.Window(), velmiDate, velmiNote, floor}, noteLines,
                         changes, run.sizes);
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
