// The main window: the calendar beside the note box, the hidden alarm panel
// over the calendar, the menu bar, the minute's check and the reminder window.
#pragma once

#include "about_window.h"
#include "alarm_check.h"
#include "alarm_panel.h"
#include "alarm_tables.h"
#include "calendar_host.h"
#include "clock.h"
#include "day_notes.h"
#include "help.h"
#include "note_box.h"
#include "note_store.h"
#include "reminder_memory.h"
#include "reminder_window.h"
#include "single_instance.h"
#include "sound_round.h"
#include "twips.h"
#include "velmi_controls.h"
#include "velmi_texts.h"
#include "win_handle.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace velmi {

// What the main window gets from the program; tests bring their own.
struct MainWindowServices {
    // The day-note store, opened by the load step once the calendar exists
    // and no other copy runs.
    std::function<NoteStore&()> openStore;
    const Clock& clock;
    SoundPlayer& sound;
    std::wstring instanceName;  // names the one copy that may run
    std::wstring helpFile;      // a bare file name, found beside the program
    FileOpener openFile = OpenWithShell;
    // Started at sign-in: shown minimized without taking the activation, and a
    // second copy ends without a word.
    bool minimized = false;
    // The reminders' memory under HKEY_CURRENT_USER.
    std::wstring memoryPath = kReminderMemoryPath;
};

// The store the load step chooses, in the place the notes procedure knows.
class StoreSlot final : public NoteStore {
public:
    void Set(NoteStore& store) noexcept { target_ = &store; }
    RegText ReadNote(DateSerial day) override { return target_->ReadNote(day); }
    RegResult WriteNote(DateSerial day, std::wstring_view note) override {
        return target_->WriteNote(day, note);
    }
    RegResult RemoveDay(DateSerial day) override { return target_->RemoveDay(day); }

private:
    NoteStore* target_ = nullptr;
};

class MainWindow final : private NoteWindow {
public:
    explicit MainWindow(MainWindowServices services);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Creates the window, hidden, with its controls, and runs its load step.
    // False when the program must end (another copy runs, no calendar).
    [[nodiscard]] bool Create();
    // The rest of the start-up: the final layout, then the window is shown.
    void Show();
    [[nodiscard]] HWND Window() const noexcept { return hwnd_; }
    // Keys that move the focus or go to the calendar first; true when used.
    [[nodiscard]] bool PreTranslateMessage(MSG& msg);

    [[nodiscard]] DayNotes& Notes() noexcept { return notes_; }
    [[nodiscard]] AlarmState& Alarms() noexcept { return alarms_; }
    [[nodiscard]] CalendarHost& Calendar() noexcept { return calendar_; }
    [[nodiscard]] ReminderWindow& RemindersWindow() noexcept { return reminderWindow_; }

private:
    LRESULT OnMessage(UINT message, WPARAM wp, LPARAM lp);

    // Window events.
    [[nodiscard]] bool OnCreate();
    [[nodiscard]] bool CreateCalendar();
    [[nodiscard]] bool Load();
    void OnClose();
    void OnQueryEndSession();
    void OnEndSession(bool ending);
    void OnDestroy();
    void OnNcDestroy();
    void OnCommand(int id, int code);
    void OnDpiChanged(const RECT& suggested);
    void OnStoreProblem();

    // Menu and control events.
    void OnCalendarChanged() { notes_.OnCalendarChanged(calendar_.Text()); }
    void OnMenuCountdown();
    void OnMenuAlarm();
    void OnMenuHelp();
    void OnMenuAbout() { about_.Show(nullptr); }
    void OnMenuProducts();
    void OnMenuReminders() { reminderWindow_.Open(); }
    void OnProductsLeft();
    // Opens the help, or a section of it; a failure is told in a box owned by owner.
    void ShowHelp(HWND owner, const std::wstring& section = {});
    void OnAlarmSet(const std::wstring& marker);
    void ShowCountdownsFull();
    // The minute's check and the return from sleep: what is due goes off.
    void CheckReminders();
    // The reminder window's buttons.
    void Snooze(const std::vector<ReminderKey>& keys, int minutes);
    void Dismiss(const std::vector<ReminderKey>& keys);
    void SaveReminders() { memory_.Write(alarms_.reminders.Memory()); }
    // At exit, due rows become snoozes due at once, for the next run.
    void KeepDueRows();
    [[nodiscard]] Instant NowUtc() const;
    // A one-shot timer for the start of the next minute.
    void ScheduleCheck();
    void OnCheckTimer();

    // NoteWindow
    std::wstring NoteText() override { return note_.Text(); }
    void ShowNote(std::wstring_view text) override { note_.Show(text); }
    void SetNoteReadOnly(bool readOnly) override;
    void SetCaption(std::wstring_view caption) override;
    bool MarkDay(DateSerial day, bool marked) override { return calendar_.MarkDay(day, marked); }
    void ReportStoreProblem(const StoreProblem& problem) override;

    [[nodiscard]] bool CreateControls();
    void Layout();
    void ApplyFonts();
    [[nodiscard]] RECT ToPixels(const TwipRect& r) const;
    [[nodiscard]] bool IsKeyForOtherWindow(MSG& msg, bool& used);
    void MoveFocus(HWND from, bool backward);
    void CloseOtherWindows();
    void SaveForSessionEnd();

    MainWindowServices services_;
    HWND hwnd_ = nullptr;
    NoteBox note_;
    AlarmPanel panel_;
    CalendarHost calendar_;
    AlarmState alarms_;
    StoreSlot store_;
    bool storeOpen_ = false;  // no check may run before the store is chosen
    Moment checkSetAt_ = 0;   // the minute in which the check timer was set
    DayNotes notes_;
    SingleInstance instance_;
    UINT dpi_ = 96;
    int designTop_ = 0;  // 0 once the start-up routine has moved the controls up
    unique_hfont font_;
    std::optional<StoreProblem> pendingProblem_;
    ReminderMemoryStore memory_;
    SoundRound sound_;
    ReminderWindow reminderWindow_;
    AboutWindow about_;
    std::unique_ptr<class ProductsWindow> products_;
};

}  // namespace velmi
