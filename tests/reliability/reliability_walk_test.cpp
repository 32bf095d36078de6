// A long random walk of user actions on the real main window: days, arrows,
// back to today, typing and deleting (stored when typing pauses, or later),
// alarms set through the panel, the
// About and products windows, help, countdowns, the clock moving on to
// today's alarms, closing and starting again (now and then on a store that
// refuses writes) and the session's end. After every action the registry
// and the note box must hold exactly what a model of the notes says, and the
// reports what a model of the alarms says; now and then the objects an
// action leaves are counted.
#include "calendar_dates.h"
#include "main_window_fixture.h"
#include "resource_usage.h"
#include "alarm_check.h"
#include "alarm_scan.h"
#include "store_reading.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <map>
#include <random>
#include <set>
#include <tuple>

namespace velmi::test {
namespace {

constexpr int kDefaultSteps = 2000;
constexpr Serial kPurged = 10;  // the days before today that every change deletes
constexpr wchar_t kCaption[] = L"Scheduled items for ";
// The clock stands still at 04:17:29, far from midnight. The digit 4 never
// enters a note (typed, or in a marker the walk sets), so no marker for four
// o'clock can arise, not even from pieces joined by deleting: no alarm goes
// off while the notes are compared.
constexpr TimeOfDay kClockTime{4, 17, 29};
constexpr int kClockMinute = 4 * 60 + 17;
constexpr wchar_t kClockDigit = L'4';

std::wstring TwoDigits(int n) {
    return (n < 10 ? L"0" : L"") + std::to_wstring(n);
}
std::wstring HhMm(int minuteOfDay) {
    return TwoDigits(minuteOfDay / 60) + L":" + TwoDigits(minuteOfDay % 60);
}

int WithoutClockDigit(std::mt19937_64& random, int low, int high) {
    for (;;) {
        const int n = std::uniform_int_distribution(low, high)(random);
        if (std::to_wstring(n).find(kClockDigit) == std::wstring::npos) return n;
    }
}

// What the store, the note box and the calendar should hold.
struct NotesModel {
    Notes store;
    std::wstring box;
    Serial shown = 0;
    Serial today = 0;

    // The days the next purge deletes take no edits.
    [[nodiscard]] bool ReadOnly() const { return shown < today && shown >= today - kPurged; }
    // What a save would write: an edit of a day that takes them.
    [[nodiscard]] bool Pending() const {
        const auto found = store.find(shown);
        return !ReadOnly() && box != (found == store.end() ? std::wstring() : found->second);
    }
    // A change of the calendar to another day.
    void Change(Serial day) {
        if (day == shown) return;
        Save();
        Load(day);
    }
    void Load(Serial day) {
        shown = day;
        const auto found = store.find(day);
        box = found == store.end() ? std::wstring() : found->second;
        for (Serial d = today - kPurged; d < today; ++d)
            store.erase(d);
    }
    // An empty note leaves no key.
    void Save() {
        if (!Pending()) return;
        if (box.empty()) {
            store.erase(shown);
        } else {
            store[shown] = box;
        }
    }
};

// A caret there would split a line break or a surrogate pair.
bool Splits(const std::wstring& s, size_t pos) {
    if (pos == 0 || pos >= s.size()) return false;
    return (s[pos - 1] == L'\r' && s[pos] == L'\n') ||
           (IS_HIGH_SURROGATE(s[pos - 1]) && IS_LOW_SURROGATE(s[pos]));
}

// Letters, digits, accents, CJK, an emoji (two UTF-16 units) and Enter.
const std::vector<std::wstring> kPieces = {
    L"a",      L"b",      L"k",      L"x",      L"Z",      L" ",      L"7",          L".",
    L"\u00e9", L"\u00fc", L"\u00df", L"\u00c5", L"\u4e2d", L"\u6587", L"\U0001F600", L"\r"};

// The walk's own seed, under which it does every kind of action; another one
// in VELMI_SEED explores further, as many steps as VELMI_WALK_STEPS says.
constexpr std::uint64_t kSeed = 20261207;

std::uint64_t FromEnvironment(const char* name, std::uint64_t otherwise) {
    const char* given = std::getenv(name);
    return given ? std::strtoull(given, nullptr, 0) : otherwise;
}

// The objects that the actions of one kind left behind, measured around
// kMeasured of them in the walk's second half, once the platform's caches
// (fonts for new scripts, device contexts) have filled; counting takes long.
constexpr int kMeasured = 10;
struct Tally {
    int steps = 0, measured = 0;
    long gdi = 0, user = 0, handles = 0;
};

class Walk {
public:
    struct Action {
        const char* name;
        int weight, weightWithPanelOpen;  // the open alarm panel covers most of the calendar
        void (Walk::*run)();
    };
    static const std::array<Action, 15> kActions;
    // An entry of the reminder window; due is the minute it first fell due.
    struct Row {
        bool alarm = true, snoozed = false;
        int due = 0;
        std::wstring text;
        int line = 0;
    };

    Walk(std::uint64_t seed, test::MessageBoxAnswerer& boxes) : random_(seed), boxes_(boxes) {}

    // The number of steps done; problem tells why it stopped early.
    int Run(int steps) {
        SYSTEMTIME now{};
        GetLocalTime(&now);
        app.clock.now = {{now.wYear, now.wMonth, now.wDay}, kClockTime};
        model.today = SerialOf(now.wYear, now.wMonth, now.wDay);
        Log(L"start");
        if (!Start()) Fail(L"the main window did not start");
        std::vector<int> weights, weightsWithPanelOpen;
        for (const Action& a : kActions) {
            weights.push_back(a.weight);
            weightsWithPanelOpen.push_back(a.weightWithPanelOpen);
        }
        std::discrete_distribution<size_t> pick(weights.begin(), weights.end()),
            pickWithPanelOpen(weightsWithPanelOpen.begin(), weightsWithPanelOpen.end());
        int done = 0;
        for (; done < steps && problem.empty(); ++done) {
            const size_t kind = panelOpen_ ? pickWithPanelOpen(random_) : pick(random_);
            const bool measure = done >= steps / 2 && tallies[kind].measured < kMeasured;
            const test::ResourceUsage before =
                measure ? test::MeasureResources() : test::ResourceUsage{};
            const size_t windows = test::TopLevelWindows(kAboutWindowClass).size() +
                                   test::TopLevelWindows(kReminderWindowClass).size();
            (this->*kActions[kind].run)();
            app.Pump();
            Tally& tally = tallies[kind];
            ++tally.steps;
            // An About or reminder window that was only hidden lives on: a step that makes
            // or ends one is not counted.
            if (measure && windows == test::TopLevelWindows(kAboutWindowClass).size() +
                                          test::TopLevelWindows(kReminderWindowClass).size()) {
                const test::ResourceUsage after = test::MeasureResources();
                ++tally.measured;
                tally.gdi += after.gdi - before.gdi;
                tally.user += after.user - before.user;
                tally.handles += after.handles - before.handles;
            }
            Check();
        }
        return done;
    }

    [[nodiscard]] std::wstring Recent() const {
        std::wstring text;
        for (const std::wstring& action : recent_)
            text += L"\n  " + action;
        return text;
    }

    MainWindowDriver app{L"Software\\VelmiTests\\ReliabilityWalk",
                         L"Local\\VelmiTests.ReliabilityWalk"};
    NotesModel model;
    std::array<Tally, kActions.size()> tallies{};
    size_t boxesExpected = 0;
    int alarmReports = 0;
    std::wstring problem;

private:
    // The open alarm panel leaves only the lowest row of days in reach.
    void PickDay() {
        const bool lowestRowOnly = panelOpen_;
        constexpr int kLowestRow = 35;  // the last two day cells
        const SYSTEMTIME shown = DateOf(model.shown);
        const int length = DaysInMonth(shown.wYear, shown.wMonth);
        const int first =
            lowestRowOnly
                ? length - (CellOf(SerialOf(shown.wYear, shown.wMonth, length)) - kLowestRow)
                : 1;
        if (first > length) return Log(L"no day in reach");
        const int day = Uniform(first, length);
        const Serial target = SerialOf(shown.wYear, shown.wMonth, day);
        const int cell = CellOf(target);
        Log(L"day cell " + std::to_wstring(cell) + L": " + CalendarText(target));
        HWND part = app.CalendarPart(nuv::kDayIdBase + cell);
        if (!IsWindowVisible(part) || test::WindowText(part) != std::to_wstring(day))
            return Fail(L"the cell does not show day " + std::to_wstring(day));
        test::Click(part);
        model.Change(target);
        // The panel goes when the day takes no alarms.
        if (model.ReadOnly()) panelOpen_ = false;
    }

    void Arrow() {
        const int which = Uniform(0, 5) > 1 ? Uniform(2, 3) : Uniform(0, 1);  // months more often
        const SYSTEMTIME d = DateOf(model.shown);
        static const wchar_t* const kNames[] = {L"previous year", L"next year", L"previous month",
                                                L"next month"};
        Log(kNames[which]);
        test::Click(app.CalendarPart(nuv::kArrowIdBase + which));
        switch (which) {
            case 0:  // the first of the shown month, a year earlier or later
            case 1:
                model.Change(SerialOf(d.wYear + (which == 0 ? -1 : 1), d.wMonth, 1));
                break;
            case 2:  // the last day of the month before
                model.Change(model.shown - d.wDay);
                break;
            default:
                model.Change(SerialOf(d.wYear, d.wMonth, 1) + DaysInMonth(d.wYear, d.wMonth));
                break;
        }
    }

    void Today() {
        // The calendar takes today from the system clock, not from the program's.
        const Serial before = RealToday();
        Log(L"calendar frame: today");
        // Below the grid and left of its lowest row: beside every child, and out
        // from under the alarm panel.
        test::Click(app.CalendarPart(nuv::kFrameId), {6, 245});
        Serial today = before;
        if (RealToday() != before && app.App().Calendar().Text() == CalendarText(RealToday()))
            today = RealToday();
        model.Change(today);
    }

    // After an edit the note is stored once typing pauses: now, or not until later.
    void AfterEdit() {
        if (Chance(50)) {
            Log(L"typing pauses");
            SendMessageW(app.Main(), WM_TIMER, kNoteSaveTimerId, 0);
            model.Save();
        } else {
            KillTimer(app.Main(), kNoteSaveTimerId);
        }
    }

    size_t CaretPosition() {
        size_t pos = static_cast<size_t>(Uniform(0, static_cast<int>(model.box.size())));
        return Splits(model.box, pos) ? pos - 1 : pos;
    }

    void TypeText() {
        std::wstring typed, inserted;
        for (int n = Uniform(1, 8); n > 0; --n) {
            const std::wstring& piece =
                kPieces[static_cast<size_t>(Uniform(0, static_cast<int>(kPieces.size()) - 1))];
            typed += piece;
            inserted += piece == L"\r" ? L"\r\n" : piece;
        }
        const size_t pos = CaretPosition();
        Log(L"type " + std::to_wstring(typed.size()) + L" characters at " + std::to_wstring(pos));
        HWND note = app.Note();
        SetFocus(note);
        SendMessageW(note, EM_SETSEL, pos, pos);
        test::Type(note, typed, app.Keys());
        if (!model.ReadOnly()) model.box.insert(pos, inserted);
        AfterEdit();
    }

    // A selection taken out with Backspace or the Delete key.
    void Delete() {
        size_t from = CaretPosition(), to = CaretPosition();
        if (from > to) std::swap(from, to);
        if (from == to) return Log(L"delete: nothing selected");
        const bool backspace = Chance(50);
        Log((backspace ? L"backspace on " : L"delete key on ") + std::to_wstring(from) + L".." +
            std::to_wstring(to));
        HWND note = app.Note();
        SetFocus(note);
        SendMessageW(note, EM_SETSEL, from, to);
        if (backspace) {
            test::Type(note, L"\b", app.Keys());
        } else {
            test::Key(note, VK_DELETE, app.Keys());
        }
        if (!model.ReadOnly()) model.box.erase(from, to - from);
        AfterEdit();
    }

    void AlarmPanel() {
        if (model.ReadOnly()) {
            Log(L"alarm menu on a day that takes no alarms");
            app.Menu(kMenuAlarmId);
            if (IsWindowVisible(app.Item(kAlarmPanelId))) Fail(L"the alarm panel opened");
            return;
        }
        // Open, it is mostly finished; chosen again from the menu, the caret is taken anew.
        if (panelOpen_) return Chance(83) ? FinishPanel() : OpenPanel(Chance(50));
        OpenPanel(Chance(70));
        // Now and then the panel stays open while the user does other things.
        if (problem.empty() && Chance(70)) FinishPanel();
    }

    void OpenPanel(bool moveCaret) {
        HWND note = app.Note();
        size_t caret = 0;
        if (moveCaret) {
            caret = CaretPosition();
            SetFocus(note);
            SendMessageW(note, EM_SETSEL, caret, caret);
        } else {
            // Wherever the note's caret was left, with the focus where it is.
            DWORD start = 0;
            SendMessageW(note, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
            caret = start;
        }
        Log(L"alarm panel opened, the note's caret at " + std::to_wstring(caret) +
            (moveCaret ? L"" : L", the focus left where it was"));
        app.Menu(kMenuAlarmId);
        if (!IsWindowVisible(app.Item(kAlarmPanelId)) || GetFocus() != app.Item(kHoursBoxId))
            return Fail(L"the alarm panel did not open with the focus in the hours");
        panelOpen_ = true;
        panelCaret_ = caret;
    }

    void FinishPanel() {
        const int hour = WithoutClockDigit(random_, 1, 12);
        const int minute = WithoutClockDigit(random_, 0, 59);
        const int pm = Uniform(0, 1);
        // Single digits get their leading zero when the box loses the focus.
        const std::wstring hours =
            hour < 10 && Chance(50) ? std::to_wstring(hour) : TwoDigits(hour);
        const std::wstring minutes =
            minute < 10 && Chance(50) ? std::to_wstring(minute) : TwoDigits(minute);
        const bool cancel = Chance(15);
        const std::wstring marker =
            L"{*" + TwoDigits(hour) + L":" + TwoDigits(minute) + (pm ? L"PM" : L"AM") + L"*}";
        Log(L"alarm " + marker + (cancel ? L" cancelled" : L" set"));

        HWND hoursBox = app.Item(kHoursBoxId), minutesBox = app.Item(kMinutesBoxId);
        // Back into the hours (as Tab brings the user there), unless the focus is there already.
        if (GetFocus() != hoursBox) SetFocus(hoursBox);
        test::Type(hoursBox, hours + L"\r", app.Keys());  // Enter moves on to the minutes
        test::Type(minutesBox, minutes, app.Keys());
        // It opened at 04:30 AM, after the clock, and the digits typed replace
        // the time; a click turns AM to PM and back, A and P choose.
        HWND designator = app.Item(kDesignatorId);
        for (bool shown = false; shown != (pm == 1) || Chance(30);) {
            const int how = Uniform(0, 2);
            if (how == 0) test::Click(designator);
            if (how > 0) test::Type(designator, how == 1 ? L"p" : L"A");
            shown = how == 0 ? !shown : how == 1;
        }
        SendMessageW(app.Item(cancel ? kCancelButtonId : kSetButtonId), BM_CLICK, 0, 0);
        panelOpen_ = false;
        if (IsWindowVisible(app.Item(kAlarmPanelId))) return Fail(L"the alarm panel stayed open");
        // A note that became shorter meanwhile takes the marker at its end.
        if (cancel) return;
        model.box.insert(std::min(panelCaret_, model.box.size()), marker);
        AfterEdit();
    }

    void About() {
        const bool closeBox = Chance(50);
        Log(closeBox ? L"About, then its close box" : L"About, then OK");
        app.Menu(kMenuAboutId);
        const std::vector<HWND> about = test::TopLevelWindows(kAboutWindowClass);
        if (about.size() != 1 || !IsWindowVisible(about[0]))
            return Fail(L"not exactly one About window shown");
        if (Chance(20)) Help();  // F1 there opens the help too
        if (closeBox) {
            SendMessageW(about[0], WM_SYSCOMMAND, SC_CLOSE, 0);
            if (IsWindow(about[0])) Fail(L"the close box left the About window");
        } else {
            SendMessageW(GetDlgItem(about[0], kAboutOkId), BM_CLICK, 0, 0);
            if (IsWindowVisible(about[0])) Fail(L"OK left the About window shown");
        }
    }

    // The products window takes the main window's place; its button, close box
    // and Alt+F4 all bring the main window back with the focus in the note.
    void Products() {
        const int way = Uniform(0, 2);
        static const wchar_t* const kWays[] = {L"its button", L"its close box", L"Alt+F4"};
        Log(std::wstring(L"products, left by ") + kWays[way]);
        app.Menu(kMenuProductsId);
        const std::vector<HWND> shown = test::TopLevelWindows(kProductsWindowClass);
        if (shown.size() != 1 || !IsWindowVisible(shown[0]) || IsWindowVisible(app.Main()))
            return Fail(L"the products window did not take the main window's place");
        if (Chance(30)) Countdown();  // one goes off while the main window is hidden
        if (Chance(30)) {
            // A page that cannot be opened is told once, over this window.
            const size_t before = app.opened.size();
            const bool fails = Chance(50);
            app.openError = fails ? ERROR_FILE_NOT_FOUND : ERROR_SUCCESS;
            SendMessageW(GetDlgItem(shown[0], kProductCalendarId), BM_CLICK, 0, 0);
            boxesExpected += fails;
            const std::vector<test::SeenBox> seen = boxes_.Seen();
            if (app.opened.size() != before + 1 ||
                app.opened.back().find(L'#') == std::wstring::npos ||
                seen.size() != boxesExpected || (fails && seen.back().owner != shown[0]))
                return Fail(L"a product did not open its part of the help, or not so told");
            app.openError = ERROR_SUCCESS;
        }
        if (way == 0) SendMessageW(GetDlgItem(shown[0], kProductsBackId), BM_CLICK, 0, 0);
        if (way == 1) SendMessageW(shown[0], WM_SYSCOMMAND, SC_CLOSE, 0);
        if (way == 2) PostMessageW(shown[0], WM_SYSKEYDOWN, VK_F4, 1 << 29);
        // Alt+F4 closes by a posted message, and activation reaches this thread
        // through the X server: both a little later.
        const bool back =
            test::PumpUntil([&] { return IsWindowVisible(app.Main()) && GetFocus() == app.Note(); },
                            std::chrono::seconds(2), app.Keys());
        if (!back) Fail(L"the main window did not come back with the focus in the note");
    }

    // F1 wherever the focus is, or the help menu (which presses F1 itself):
    // the same page each time.
    void Help() {
        const bool menu = Chance(50);
        Log(menu ? L"help menu" : L"F1");
        const size_t before = app.opened.size();
        if (menu) {
            app.Menu(kMenuHelpId);
        } else {
            test::Key(GetFocus() ? GetFocus() : app.Main(), VK_F1, app.Keys());
        }
        app.Pump();
        if (app.opened.size() != before + 1 || !app.opened.back().ends_with(L"\\VelmiReg.htm"))
            Fail(L"help did not open its page once");
    }

    // Minutes answered in the input box: the countdown joins the upcoming
    // rows, or ten running already are said to be too many.
    void Countdown() {
        const int minutes = Uniform(1, 30);
        const bool full = std::count_if(pending_.begin(), pending_.end(), [](const auto& p) {
                              return !p.second.snoozed && !p.second.alarm;
                          }) >= 10;
        Log(L"countdown of " + std::to_wstring(minutes) + L" minutes" + (full ? L", full" : L""));
        boxes_.QueueReply(full ? L"" : std::to_wstring(minutes));
        app.Menu(kMenuCountdownId);
        if (boxes_.Seen().size() != ++boxesExpected) Fail(L"not one question for the countdown");
        int number = 0;  // each countdown is told apart by a number of its own
        for (const auto& [at, row] : pending_)
            if (!row.alarm) number = std::max(number, row.line + 1);
        for (const auto& [text, row] : due_)
            if (!row.alarm) number = std::max(number, row.line + 1);
        const std::wstring text = L"Countdown of " + std::to_wstring(minutes) +
                                  L" minutes, started at " + HhMm(kClockMinute);
        if (!full)
            AddPending(kClockMinute + minutes, {false, false, kClockMinute + minutes, text, number},
                       false);
    }

    // The clock moves on to a later minute of today, often one that today's
    // note (the note box while it shows today) has an alarm for, or a countdown ends at.
    void AlarmTick() {
        const MinuteTable armed = Armed();
        const int target = armed.count > 0 && Chance(70)
                               ? armed.minutes[static_cast<size_t>(Uniform(1, armed.count))]
                           : !pending_.empty() && Chance(50) ? pending_.front().first
                                                             : Uniform(kClockMinute + 1, 1439);
        if (target == lastCheck_) return Log(L"no tick in the minute of the last check");
        Log(L"alarm tick at " + HhMm(target));
        app.clock.now.time = {target / 60, target % 60, 30};
        SendMessageW(app.Main(), WM_TIMER, kCheckTimerId, 0);
        KillTimer(app.Main(), kCheckTimerId);  // set again by the tick
        app.clock.now.time = kClockTime;
        ExpectCheck(target, 30);
    }

    // A check at that minute and second: what fell due since the last check
    // joins the due rows in due order, each alarm line once, and nothing that
    // went off before.
    void ExpectCheck(int target, int second) {
        const MinuteTable armed = Armed();
        std::vector<std::pair<int, Row>> added;
        for (int i = 1; i <= armed.count; ++i) {
            const int m = armed.minutes[static_cast<size_t>(i)];
            const int line = armed.lines[static_cast<size_t>(i)];
            if (m < std::min(lastCheck_, target) || m > target || !fired_.insert({m, line}).second)
                continue;
            std::wstring text = AlarmLineText(TodaysNote(), line);
            if (text.empty())
                text = L"Alarm " + HhMm((m / 60 + 11) % 12 * 60 + 60 + m % 60) +
                       (m < 720 ? L" AM" : L" PM");
            added.push_back({m, {true, false, m, std::move(text), line}});
        }
        for (auto p = pending_.begin(); p != pending_.end() && p->first <= target;)
            added.push_back(*p), p = pending_.erase(p);
        std::sort(added.begin(), added.end(), Before);
        for (auto& [at, row] : added) {
            std::wstring heading = std::wstring(row.alarm ? kAlarmPrefix : kTimerPrefix) +
                                   HhMm(target) + L":" + TwoDigits(second);
            if (row.due < target) heading += L" (due " + HhMm(row.due) + L")";
            due_.push_back({heading + L" \u2014 " + row.text, row});
        }
        alarmReports += static_cast<int>(added.size());
        lastCheck_ = target;
    }

    // The reminder window's buttons and close box on a row the walk picks.
    void ReminderButtons() {
        if (due_.empty()) return Log(L"no due row");
        const int how = Uniform(0, 3);
        const auto row = static_cast<size_t>(Uniform(0, static_cast<int>(due_.size()) - 1));
        static const wchar_t* const kHow[] = {L"snooze", L"dismiss", L"dismiss all", L"close"};
        Log(std::wstring(kHow[how]) + L" row " + std::to_wstring(row));
        HWND list = Child(app.Reminders(), kReminderListId);
        SendMessageW(list, LB_SETSEL, FALSE, -1);
        SendMessageW(list, LB_SETSEL, TRUE, static_cast<LPARAM>(row));
        if (how == 3)
            SendMessageW(app.Reminders(), WM_CLOSE, 0, 0);
        else
            app.PressButton(std::array{kSnoozeId, kDismissId, kDismissAllId}[how]);
        if (how == 0) AddPending(kClockMinute + 5, due_[row].second);
        if (how < 2) due_.erase(due_.begin() + static_cast<std::ptrdiff_t>(row));
        if (how == 2) due_.clear();
        if (how == 3) KeepDue(kClockMinute + 5);
    }

    // Due rows become snoozes, in their order, until that minute.
    void KeepDue(int until) {
        for (const auto& [text, row] : due_)
            AddPending(until, row);
        due_.clear();
    }
    void AddPending(int end, Row row, bool snoozed = true) {
        row.snoozed = snoozed;
        const std::pair<int, Row> entry{end, std::move(row)};
        pending_.insert(std::upper_bound(pending_.begin(), pending_.end(), entry, Before), entry);
    }
    // Rows of one minute are in the order of their kind, first due minute and line.
    static bool Before(const std::pair<int, Row>& a, const std::pair<int, Row>& b) {
        return std::tuple(a.first, !a.second.alarm, a.second.due, a.second.line) <
               std::tuple(b.first, !b.second.alarm, b.second.due, b.second.line);
    }
    [[nodiscard]] std::wstring TodaysNote() const {
        const auto stored = model.store.find(model.today);
        return model.shown == model.today    ? model.box
               : stored != model.store.end() ? stored->second
                                             : std::wstring();
    }
    [[nodiscard]] MinuteTable Armed() const {
        MinuteTable armed;
        ScanAlarms(TodaysNote(), armed);
        return armed;
    }

    // On a store that refuses writes a close with an edit to store asks what
    // to do, and the answer is to close without it: the note is lost.
    void Restart() { CloseAndStart(false); }
    void RestartRefusing() { CloseAndStart(true); }
    void CloseAndStart(bool refusing) {
        Log(refusing ? L"close on a refusing store, and start again" : L"close and start again");
        const bool asked = refusing && model.Pending();
        if (asked) boxes_.QueueReply(L"", IDCONTINUE);
        app.Store().failWrites = refusing;
        if (!app.Close()) return Fail(L"the main window did not close");
        KeepDue(kClockMinute);
        app.Store().failWrites = false;
        boxesExpected += asked;
        if (!refusing) model.Save();
        panelOpen_ = false;
        if (!test::TopLevelWindows(kAboutWindowClass).empty())
            return Fail(L"an About window outlived the program");
        if (boxes_.Seen().size() != boxesExpected) return Fail(L"unexpected message boxes");
        if (!Start()) Fail(L"the main window did not start again");
    }

    // The session ends, asked first or forced, or is called off by another program.
    void SessionEnd() {
        const int how = Uniform(0, 2);
        static const wchar_t* const kHow[] = {L"asked", L"forced", L"called off"};
        Log(std::wstring(L"session end, ") + kHow[how]);
        if (how != 1) SendMessageW(app.Main(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
        model.Save();
        SendMessageW(app.Main(), WM_ENDSESSION, how != 2, ENDSESSION_LOGOFF);
        app.Pump();
        if ((app.Main() == nullptr) != (how != 2))
            return Fail(L"the program did not end exactly when the session did");
        if (how == 2) return;
        KeepDue(kClockMinute);
        panelOpen_ = false;
        if (!Start()) Fail(L"the main window did not start again");
    }

    [[nodiscard]] bool Start() {
        if (!app.Start()) return false;
        // The walk sends the ticks itself, with the clock where it wants it.
        KillTimer(app.Main(), kCheckTimerId);
        model.Load(model.today);
        // The new run catches up from the last one's last check; the walk's
        // clock stands before it, so nothing but what was kept comes back.
        if (lastCheck_ < 0) lastCheck_ = kClockMinute;
        ExpectCheck(kClockMinute, kClockTime.second);
        Check();
        return true;
    }

    void Check() {
        if (!problem.empty()) return;
        const StoreContents stored = ReadStore(app.Root());
        for (const std::wstring& fault : stored.faults)
            Fail(L"the store's layout is broken: " + fault);
        if (stored.notes != model.store) return Fail(L"the store differs from the model");
        if (test::WindowText(app.Note()) != model.box)
            return Fail(L"the note box differs from the model");
        const std::wstring date = CalendarText(model.shown);
        if (app.App().Calendar().Text() != date)
            return Fail(L"the calendar shows " + app.App().Calendar().Text() + L", expected " +
                        date);
        if (test::WindowText(app.Main()) != kCaption + date)
            return Fail(L"the caption reads " + test::WindowText(app.Main()));
        if ((IsWindowVisible(app.Item(kNoteNoticeId)) != FALSE) != model.ReadOnly())
            return Fail(L"the notice does not follow the day");
        // The due rows first, as the model has them, then the upcoming ones.
        const std::vector<std::wstring> rows = app.Rows();
        if ((!rows.empty() || !due_.empty()) && rows.size() != due_.size() + pending_.size())
            return Fail(L"the reminder window shows " + std::to_wstring(rows.size()) +
                        L" rows, not " + std::to_wstring(due_.size() + pending_.size()));
        for (size_t i = 0; i < due_.size(); ++i) {
            if (rows[i] != due_[i].first)
                return Fail(L"row " + std::to_wstring(i) + L" reads " + rows[i] + L", not " +
                            due_[i].first);
        }
    }

    int Uniform(int low, int high) { return std::uniform_int_distribution(low, high)(random_); }
    bool Chance(int percent) { return Uniform(1, 100) <= percent; }
    void Log(std::wstring action) {
        recent_.push_back(std::move(action));
        if (recent_.size() > 25) recent_.pop_front();
    }
    void Fail(std::wstring why) {
        if (problem.empty()) problem = std::move(why);
    }

    std::mt19937_64 random_;
    test::MessageBoxAnswerer& boxes_;
    bool panelOpen_ = false;
    size_t panelCaret_ = 0;                // where the note's caret was when the panel opened
    int lastCheck_ = -1;                   // the minute of today of the last check
    std::set<std::pair<int, int>> fired_;  // today's alarms that went off, with their line
    std::vector<std::pair<std::wstring, Row>> due_;  // the rows as shown
    std::vector<std::pair<int, Row>> pending_;       // by the minute they end
    std::deque<std::wstring> recent_;
};

const std::array<Walk::Action, 15> Walk::kActions{{
    {"day", 22, 10, &Walk::PickDay},
    {"arrow", 16, 0, &Walk::Arrow},
    {"today", 5, 5, &Walk::Today},
    {"type", 20, 15, &Walk::TypeText},
    {"delete", 11, 10, &Walk::Delete},
    {"alarm panel", 8, 48, &Walk::AlarmPanel},
    {"About", 3, 4, &Walk::About},
    {"products", 3, 0, &Walk::Products},
    {"help", 3, 2, &Walk::Help},
    {"countdown", 3, 0, &Walk::Countdown},
    {"alarm tick", 4, 2, &Walk::AlarmTick},
    {"reminder buttons", 3, 2, &Walk::ReminderButtons},
    {"session end", 3, 4, &Walk::SessionEnd},
    {"restart", 2, 4, &Walk::Restart},
    {"refusing store", 1, 0, &Walk::RestartRefusing},
}};

TEST(ReliabilityWalk, EveryActionLeavesTheStoreAndTheNoteAsTheModelSays) {
    const std::uint64_t seed = FromEnvironment("VELMI_SEED", kSeed);
    const int steps = static_cast<int>(FromEnvironment("VELMI_WALK_STEPS", kDefaultSteps));
    // The dates follow today, so a failure reproduces with the seed on the same day.
    std::printf("VELMI_SEED=%llu (%d steps from %ls)\n", static_cast<unsigned long long>(seed),
                steps, CalendarText(RealToday()).c_str());
    ::testing::Test::RecordProperty("seed", std::to_string(seed));

    test::MessageBoxAnswerer answerer;
    Walk walk(seed, answerer);
    const int done = walk.Run(steps);
    EXPECT_TRUE(walk.problem.empty()) << "VELMI_SEED=" << seed << ", step " << done << ": "
                                      << walk.problem << "\nlast actions:" << walk.Recent();
    EXPECT_EQ(ReadStore(walk.app.Root()).notes, walk.model.store);
    EXPECT_EQ(test::WindowText(walk.app.Note()), walk.model.box);
    EXPECT_EQ(answerer.Seen().size(), walk.boxesExpected);

    // Windows and handles left behind, per kind of action. GDI objects are
    // shown but not held to account here: Wine frees some of them a few steps
    // later, under another kind; the leak test repeats the suspects instead.
    // A full run under its own seed does every kind.
    std::printf("%d alarm reports\n", walk.alarmReports);
    EXPECT_TRUE(walk.alarmReports > 0 || seed != kSeed || steps != kDefaultSteps);
    for (size_t kind = 0; kind < Walk::kActions.size(); ++kind) {
        const Tally& t = walk.tallies[kind];
        std::printf("%-15s %4d steps, %2d measured: GDI %+ld, USER %+ld, handles %+ld\n",
                    Walk::kActions[kind].name, t.steps, t.measured, t.gdi, t.user, t.handles);
        EXPECT_TRUE(t.steps > 0 || seed != kSeed || steps != kDefaultSteps)
            << Walk::kActions[kind].name;
        EXPECT_LE(t.user, 4) << Walk::kActions[kind].name;
        EXPECT_LE(t.handles, 8) << Walk::kActions[kind].name;
    }
}

}  // namespace
}  // namespace velmi::test
