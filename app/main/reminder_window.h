// The one reminder window, "Velmi - Reminders": a row for each entry that
// went off, then the countdowns and snoozes still to come. It is made once
// and hidden, never a second time. A check shows it topmost without taking
// the activation, so that keys typed in another program stay there.
#pragma once

#include "alarm_check.h"
#include "clock.h"
#include "win_handle.h"

#include <windows.h>

#include <functional>
#include <vector>

namespace velmi {

class ReminderWindow final : public AlarmOutput {
public:
    struct Callbacks {
        std::function<void(const std::vector<ReminderKey>&, int minutes)> snooze;
        std::function<void(const std::vector<ReminderKey>&)> dismiss;
        std::function<void()> buttonPressed;  // any button: the sound stops
        std::function<bool()> startsAtSignIn;
        std::function<void(bool start)> setStartAtSignIn;
    };
    ReminderWindow(const Reminders& reminders, const Clock& clock, Callbacks callbacks);
    ~ReminderWindow() override;
    ReminderWindow(const ReminderWindow&) = delete;
    ReminderWindow& operator=(const ReminderWindow&) = delete;

    // A check added due rows: shown, or refreshed, topmost and without the
    // activation, its taskbar button flashing; the added rows join the selection.
    void ShowDueRows(const std::vector<DueRow>& added) override;
    // A countdown started: shown among the upcoming rows without the activation.
    void ShowUpcoming();
    // The menu: an ordinary window, activated.
    void Open();
    // The reminders changed: the rows follow; a window a check opened goes
    // when no due row is left.
    void Refresh();
    [[nodiscard]] HWND Window() const noexcept { return hwnd_; }

private:
    LRESULT OnMessage(UINT message, WPARAM wp, LPARAM lp);
    [[nodiscard]] bool Create();
    [[nodiscard]] bool CreateControls();
    void Layout();
    void ShowInactive();
    void FillRows();
    void EnableButtons();
    void OnCommand(int id, int code);
    [[nodiscard]] std::vector<ReminderKey> SelectedKeys(bool dueOnly) const;
    [[nodiscard]] int SnoozeMinutes() const;
    // The close box and Escape: every due row is snoozed, nothing is lost.
    void OnClose();
    void Hide();

    const Reminders& reminders_;
    const Clock& clock_;
    Callbacks callbacks_;
    HWND hwnd_ = nullptr;
    HWND returnTo_ = nullptr;           // the window the user was in when this one came up
    HWND focus_ = nullptr;              // the control that had the keyboard when the user left
    bool openedByCheck_ = false;        // such a window goes with its last due row
    std::vector<ReminderKey> rowKeys_;  // the key of each row of the list
    std::size_t dueRows_ = 0;           // the first rows are the due ones
    unique_hfont font_;
};

}  // namespace velmi
