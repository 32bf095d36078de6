#include "main_window.h"

#include "alarm_panel_rules.h"
#include "countdown.h"
#include "input_box.h"
#include "main_window_layout.h"
#include "products.h"
#include "registry.h"
#include "session_end.h"
#include "sign_in.h"
#include "win_date.h"
#include "win_system.h"

#include <oleauto.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>

namespace velmi {
namespace {

constexpr UINT WMAPP_STORE_PROBLEM = WM_APP + 1;

constexpr DWORD kMaxUrl = 2084;  // the longest URL the shell takes

struct MenuItem {
    int id;
    const wchar_t* caption;
};
constexpr std::array<MenuItem, 6> kMenu{{{kMenuCountdownId, L"&Timer"},
                                         {kMenuAlarmId, L"&Alarm"},
                                         {kMenuRemindersId, L"&Reminders"},
                                         {kMenuHelpId, L"&Help"},
                                         {kMenuAboutId, L"About"},
                                         {kMenuProductsId, L"&Products"}}};

std::wstring ProblemText(const StoreProblem& p) {
    const std::wstring reason = SystemErrorText(p.error);
    if (p.kind == StoreProblem::Kind::kSave) {
        return L"The note for " + p.dayText + L" could not be saved:\n" + reason +
               L"\nIt stays on the screen, and Velmi tries again when you type and at the "
               L"next change of date.";
    }
    return L"The note for " + p.dayText + L" could not be read:\n" + reason +
           L"\nThe box shows nothing, but the stored note is kept unless you write a new one.";
}

HMENU CreateMenuBar() {
    HMENU bar = CreateMenu();
    for (const MenuItem& item : kMenu)
        AppendMenuW(bar, MF_STRING, item.id, item.caption);
    return bar;
}

void ShowCalendarMissing(HRESULT error) {
    wchar_t text[400];
    swprintf(text, 400,
             L"The calendar control (Nuv.ocx) could not be created (error 0x%08lX).\n\n"
             L"Register it with the command\n    regsvr32 Nuv.ocx\nin the folder that holds "
             L"it, then start Velmi again.",
             static_cast<unsigned long>(error));
    MessageBoxW(nullptr, text, kAppTitle, MB_OK | MB_ICONERROR);
}

}  // namespace

MainWindow::MainWindow(MainWindowServices services)
    : services_(std::move(services)),
      note_([this] { notes_.SaveAfterTyping(); }),
      panel_({[this](const std::wstring& marker) { OnAlarmSet(marker); },
              [this] { SetFocus(note_.Window()); }}),
      notes_(
          store_, services_.clock, [](int month) { return MonthName(month); }, *this),
      memory_(HKEY_CURRENT_USER, services_.memoryPath),
      sound_(services_.sound),
      reminderWindow_(alarms_.reminders, services_.clock,
                      {[this](const auto& keys, int minutes) { Snooze(keys, minutes); },
                       [this](const auto& keys) { Dismiss(keys); }, [this] { sound_.Stop(); },
                       [] { return StartsAtSignIn(HKEY_CURRENT_USER); },
                       [](bool start) {
                           (void)SetStartAtSignIn(HKEY_CURRENT_USER, start, ModulePath(nullptr));
                       }}) {}

MainWindow::~MainWindow() {
    products_.reset();
    if (hwnd_) DestroyWindow(hwnd_);
}

bool MainWindow::Create() {
    static const ATOM registered = RegisterWindowClass(
        kMainWindowClass, RouteToCreator<MainWindow, &MainWindow::hwnd_, &MainWindow::OnMessage>,
        reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), kStopwatchIconId);
    if (!registered) return false;
    designTop_ = main_layout::kDesignTop;
    // The window is made hidden; WM_CREATE builds the controls.
    CreateWindowExW(0, kMainWindowClass, kAppTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                    CreateMenuBar(), GetModuleHandleW(nullptr), this);
    if (!hwnd_) return false;
    if (!Load()) {
        DestroyWindow(hwnd_);
        return false;
    }
    return true;
}

void MainWindow::Show() {
    // The client area is exactly 7575 x 3495 twips, whatever the frame's size.
    const int dpi = static_cast<int>(dpi_);
    RECT outer{0, 0, TwipsToPixels(main_layout::kClientWidth, dpi),
               TwipsToPixels(main_layout::kClientHeight, dpi)};
    AdjustWindowRectExForDpi(&outer, WS_OVERLAPPEDWINDOW, TRUE, 0, dpi_);
    SetWindowPos(hwnd_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The alarm panel, the note box and the calendar move up to the top.
    designTop_ = 0;
    Layout();
    if (services_.minimized) {
        // WM_SETFOCUS gives the note the focus once the user restores the window.
        ShowWindow(hwnd_, SW_SHOWMINNOACTIVE);
        return;
    }
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    SetForegroundWindow(hwnd_);
    SetFocus(note_.Window());
}

LRESULT MainWindow::OnMessage(UINT message, WPARAM wp, LPARAM lp) {
    switch (message) {
        case WM_CREATE:
            return OnCreate() ? 0 : -1;
        case WM_COMMAND:
            OnCommand(LOWORD(wp), HIWORD(wp));
            return 0;
        case WM_TIMER:
            if (wp == kCheckTimerId) OnCheckTimer();
            if (wp == kNoteSaveTimerId) note_.OnTimer();
            return 0;
        case WM_POWERBROADCAST:
            // Back from sleep: what fell due meanwhile goes off now, not at the next minute.
            if (wp == PBT_APMRESUMEAUTOMATIC || wp == PBT_APMRESUMESUSPEND) {
                ScheduleCheck();
                CheckReminders();
            }
            return TRUE;
        case WM_TIMECHANGE:
            ScheduleCheck();
            return 0;
        case WM_CLOSE:
            OnClose();
            return 0;
        case WM_QUERYENDSESSION:
            OnQueryEndSession();
            return TRUE;
        case WM_ENDSESSION:
            OnEndSession(wp != FALSE);
            return 0;
        case WM_DESTROY:
            OnDestroy();
            return 0;
        case WM_NCDESTROY:
            OnNcDestroy();
            return 0;
        case WM_DPICHANGED:
            OnDpiChanged(*reinterpret_cast<const RECT*>(lp));
            return 0;
        case WMAPP_STORE_PROBLEM:
            OnStoreProblem();
            return 0;
        case WM_SETFOCUS:
            SetFocus(note_.Window());
            return 0;
        default:
            return DefWindowProcW(hwnd_, message, wp, lp);
    }
}

bool MainWindow::OnCreate() {
    dpi_ = GetDpiForWindow(hwnd_);
    if (dpi_ == 0) dpi_ = 96;
    if (!CreateControls()) return false;
    ApplyFonts();
    return CreateCalendar();
}

bool MainWindow::CreateCalendar() {
    const HRESULT created =
        calendar_.Create(hwnd_, ToPixels(main_layout::kCalendar.WithTop(designTop_)),
                         {[this] { OnCalendarChanged(); },
                          [this](bool backward) { MoveFocus(calendar_.Window(), backward); }});
    if (FAILED(created)) {
        ShowCalendarMissing(created);
        return false;
    }
    // The calendar stands below the note box and the alarm panel.
    SetWindowPos(calendar_.Window(), HWND_BOTTOM, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return true;
}

bool MainWindow::Load() {
    if (instance_.AnotherCopyRuns(services_.instanceName)) {
        if (services_.minimized) return false;
        MessageBoxW(nullptr, kSecondCopyText, kAppTitle, MB_OK);
        BringRunningCopyForward();
        return false;
    }
    store_.Set(services_.openStore());
    storeOpen_ = true;
    // What fell due since the last run's last check goes off now, before the
    // calendar's first day purges old notes.
    alarms_.reminders.Start(services_.clock.Now(), memory_.Read());
    ScheduleCheck();
    CheckReminders();
    // Today in the user's own short date form: it reads back as today in
    // every locale; the calendar answers with its own form of it.
    (void)calendar_.PutText(ShortDateText(Today(services_.clock)));
    return true;
}

void MainWindow::OnClose() {
    for (;;) {
        const DayNotes::SaveOutcome saved = notes_.SaveShownNote();
        if (!saved.attempted || !saved.result.Failed()) break;
        const std::wstring text =
            L"The note for " + notes_.ShownDayText() + L" could not be saved:\n" +
            SystemErrorText(saved.result.error) +
            L"\n\nTry Again saves it again. Continue closes Velmi without saving, and the note "
            L"is lost. Cancel keeps Velmi open with the note.";
        const int choice =
            MessageBoxW(hwnd_, text.c_str(), kAppTitle, MB_CANCELTRYCONTINUE | MB_ICONWARNING);
        if (choice == IDCONTINUE) break;
        if (choice != IDTRYAGAIN) return;
    }
    KeepDueRows();
    CloseOtherWindows();
    DestroyWindow(hwnd_);
}

void MainWindow::OnQueryEndSession() {
    // Nobody is there to answer a question now; the note must not be lost.
    SaveForSessionEnd();
    // The session may yet go on: the due rows stay on the screen meanwhile.
    Reminders kept = alarms_.reminders;
    kept.Snooze(kept.DueKeys(), 0, NowUtc());
    memory_.Write(kept.Memory());
}

void MainWindow::OnEndSession(bool ending) {
    if (!ending) return;
    // A forced end of the session comes without WM_QUERYENDSESSION.
    SaveForSessionEnd();
    KeepDueRows();
    CloseOtherWindows();
    DestroyWindow(hwnd_);
}

void MainWindow::SaveForSessionEnd() {
    const DayNotes::SaveOutcome saved = notes_.SaveShownNote();
    if (!saved.attempted || !saved.result.Failed()) return;
    if (const auto day = notes_.ShownDay()) WriteNoteToDocuments(*day, NoteText());
}

void MainWindow::CloseOtherWindows() {
    // The About and products windows close with the program, without a save.
    if (HWND about = about_.Window()) DestroyWindow(about);
    if (HWND reminders = reminderWindow_.Window()) DestroyWindow(reminders);
    products_.reset();
}

void MainWindow::OnDestroy() {
    KillTimer(hwnd_, kCheckTimerId);
    calendar_.Destroy();
    // The program ends with its main window.
    PostQuitMessage(0);
}

void MainWindow::OnNcDestroy() {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    hwnd_ = nullptr;
}

void MainWindow::OnCommand(int id, int code) {
    switch (id) {
        case kMenuCountdownId:
            OnMenuCountdown();
            break;
        case kMenuAlarmId:
            OnMenuAlarm();
            break;
        case kMenuHelpId:
            OnMenuHelp();
            break;
        case kMenuAboutId:
            OnMenuAbout();
            break;
        case kMenuProductsId:
            OnMenuProducts();
            break;
        case kMenuRemindersId:
            OnMenuReminders();
            break;
        case kNoteBoxId:
            note_.OnCommand(code);
            break;
        default:
            break;
    }
}

void MainWindow::OnMenuCountdown() {
    for (;;) {
        if (alarms_.reminders.CountdownsFull()) return ShowCountdownsFull();
        const std::optional<std::wstring> answer = InputBox(hwnd_, kTimerPrompt, kAppTitle);
        if (!answer || answer->empty()) return;
        // A number as the user's locale writes it, with a fraction if need be.
        std::wstring text = *answer;
        double minutes = 0;
        const bool number = SUCCEEDED(VarR8FromStr(text.data(), LOCALE_USER_DEFAULT, 0, &minutes));
        const CountdownOutcome outcome = CountdownEnd(services_.clock.Now(), minutes);
        if (!number || minutes < 0 || outcome.step != CountdownStep::kRecord) {
            MessageBoxW(hwnd_, kCountdownRefusedText, kAppTitle, MB_OK | MB_ICONINFORMATION);
            continue;
        }
        // A pending countdown is never dropped to make room for a new one.
        if (!alarms_.reminders.AddCountdown(services_.clock.Now(),
                                            services_.clock.MinutesAheadOfUtc(), outcome.end))
            return ShowCountdownsFull();
        SaveReminders();
        reminderWindow_.ShowUpcoming();
        return;
    }
}

void MainWindow::ShowCountdownsFull() {
    MessageBoxW(hwnd_, kCountdownsFullText, kAppTitle, MB_OK | MB_ICONWARNING);
}

void MainWindow::OnMenuHelp() {
    // One press of F1 for the active window, not waited for; F1 opens the help.
    HWND target = GetFocus() ? GetFocus() : GetActiveWindow();
    if (!target) target = hwnd_;
    PostMessageW(target, WM_KEYDOWN, VK_F1, 0x003B0001);
    PostMessageW(target, WM_KEYUP, VK_F1, static_cast<LPARAM>(0xC03B0001));
}

void MainWindow::ShowHelp(HWND owner, const std::wstring& section) {
    const std::wstring file = BesideProgram(services_.helpFile);
    std::wstring page = file;
    if (!section.empty()) {
        // A part of the page is named in a file URL.
        using UrlFromPath = HRESULT(WINAPI*)(PCWSTR, PWSTR, DWORD*, DWORD);
        const auto urlFromPath = SystemFunction<UrlFromPath>(L"shlwapi.dll", "UrlCreateFromPathW");
        wchar_t url[kMaxUrl] = {};
        DWORD length = kMaxUrl;
        if (urlFromPath && SUCCEEDED(urlFromPath(page.c_str(), url, &length, 0))) page = url;
        page += L"#" + section;
    }
    const DWORD error = services_.openFile(page);
    if (error == ERROR_SUCCESS) return;
    const std::wstring text = L"The help page could not be opened:\n" + file + L"\n" +
                              SystemErrorText(error, services_.helpFile);
    MessageBoxW(owner, text.c_str(), kAppTitle, MB_OK | MB_ICONWARNING);
}

void MainWindow::OnMenuProducts() {
    if (!products_) {
        products_ = std::make_unique<ProductsWindow>(ProductsWindow::Callbacks{
            [this](const std::wstring& section) { ShowHelp(products_->Window(), section); },
            [this] { OnProductsLeft(); }});
    }
    ShowWindow(hwnd_, SW_HIDE);
    products_->Show();
}

void MainWindow::OnProductsLeft() {
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    SetFocus(note_.Window());
}

void MainWindow::OnMenuAlarm() {
    // A day whose note goes with the next purge takes no alarms either.
    if (note_.ReadOnly()) return;
    alarms_.alarmInsertPos = note_.CaretPosition();
    panel_.Open(services_.clock.Now().time);
}

void MainWindow::OnAlarmSet(const std::wstring& marker) {
    note_.InsertMarker(alarms_.alarmInsertPos, marker);
}

void MainWindow::ScheduleCheck() {
    if (!storeOpen_) return;
    const LocalDateTime now = services_.clock.Now();
    checkSetAt_ = MomentOf(now);
    SetTimer(hwnd_, kCheckTimerId, DelayToNextCheck(now.time), nullptr);
}

void MainWindow::OnCheckTimer() {
    // A timer that fires before its minute has come waits for the rest of it.
    const bool early = MomentOf(services_.clock.Now()) == checkSetAt_;
    // Set again first: the check's reports may stay open for minutes.
    ScheduleCheck();
    if (!early) CheckReminders();
}

void MainWindow::CheckReminders() {
    // A tick or a resume can come while the load step's boxes are open.
    if (!storeOpen_) return;
    notes_.OnTodayMaybeChanged();
    // One reading of the clock for the check and its rows.
    const LocalDateTime now = services_.clock.Now();
    const DateSerial today = SerialFromCivil(now.date);
    const std::vector<DueRow> added =
        alarms_.reminders.Check(now, services_.clock.MinutesAheadOfUtc(),
                                [&](DateSerial day) { return notes_.NoteOf(day, today); });
    SaveReminders();
    if (added.empty()) return;
    // One round for the check, however many rows it adds; by its full path,
    // as the search path may hold another file of that name.
    sound_.Start(BesideProgram(std::wstring(kAlarmSound)), kAlarmPlays);
    reminderWindow_.ShowDueRows(added);
}

Instant MainWindow::NowUtc() const {
    return InstantOf(MomentOf(services_.clock.Now()), services_.clock.MinutesAheadOfUtc());
}

void MainWindow::Snooze(const std::vector<ReminderKey>& keys, int minutes) {
    alarms_.reminders.Snooze(keys, minutes, NowUtc());
    SaveReminders();
    reminderWindow_.Refresh();
}

void MainWindow::Dismiss(const std::vector<ReminderKey>& keys) {
    alarms_.reminders.Dismiss(keys);
    SaveReminders();
    reminderWindow_.Refresh();
}

void MainWindow::KeepDueRows() {
    sound_.Stop();
    alarms_.reminders.Snooze(alarms_.reminders.DueKeys(), 0, NowUtc());
    SaveReminders();
}

void MainWindow::SetNoteReadOnly(bool readOnly) {
    // Most changes of day change nothing here, and the menu bar is slow to draw.
    if (readOnly == note_.ReadOnly()) return;
    if (readOnly && panel_.IsOpen()) panel_.Cancel();
    note_.SetReadOnly(readOnly);
    if (HMENU menu = GetMenu(hwnd_)) {
        EnableMenuItem(menu, kMenuAlarmId, MF_BYCOMMAND | (readOnly ? MF_GRAYED : MF_ENABLED));
        DrawMenuBar(hwnd_);
    }
}

void MainWindow::SetCaption(std::wstring_view caption) {
    const std::wstring copy(caption);
    SetWindowTextW(hwnd_, copy.c_str());
}

void MainWindow::ReportStoreProblem(const StoreProblem& problem) {
    // One box per user action: the two Change events of one action and the
    // retries within it are told once, after the action is over.
    if (pendingProblem_) return;
    pendingProblem_ = problem;
    PostMessageW(hwnd_, WMAPP_STORE_PROBLEM, 0, 0);
}

void MainWindow::OnStoreProblem() {
    if (!pendingProblem_) return;
    const std::wstring text = ProblemText(*pendingProblem_);
    pendingProblem_.reset();
    MessageBoxW(hwnd_, text.c_str(), kAppTitle, MB_OK | MB_ICONWARNING);
}

bool MainWindow::CreateControls() {
    // The panel is made before the note box, so it lies above it.
    if (FAILED(panel_.Create(hwnd_))) return false;
    if (!note_.Create(hwnd_)) return false;
    Layout();
    return true;
}

RECT MainWindow::ToPixels(const TwipRect& r) const {
    return TwipsToRect(r, static_cast<int>(dpi_));
}

void MainWindow::Layout() {
    const auto toPixels = [this](const TwipRect& r) { return ToPixels(r); };
    panel_.Layout(designTop_, toPixels);
    note_.Place(ToPixels(main_layout::kNoteBox.WithTop(designTop_)));
    calendar_.SetPosition(ToPixels(main_layout::kCalendar.WithTop(designTop_)));
}

void MainWindow::ApplyFonts() {
    // The classic 8-point dialog font, at this window's resolution.
    unique_hfont font(CreateDialogFont(dpi_));
    note_.SetFont(font.get());
    panel_.SetFont(font.get());
    font_ = std::move(font);
}

void MainWindow::OnDpiChanged(const RECT& suggested) {
    dpi_ = GetDpiForWindow(hwnd_);
    ApplyFonts();
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    Layout();
}

bool MainWindow::PreTranslateMessage(MSG& msg) {
    if (!hwnd_) return false;
    // F1 in any window of the program opens the help.
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_F1 &&
        GetWindowThreadProcessId(msg.hwnd, nullptr) == GetCurrentThreadId()) {
        ShowHelp(GetAncestor(msg.hwnd, GA_ROOT));
        return true;
    }
    if (bool used = false; IsKeyForOtherWindow(msg, used)) return used;
    if (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd)) return false;
    if (calendar_.TranslateAccelerator(msg)) return true;
    if (msg.message != WM_KEYDOWN) return false;
    if (msg.wParam == VK_TAB && !(GetKeyState(VK_CONTROL) < 0)) {
        MoveFocus(GetFocus(), GetKeyState(VK_SHIFT) < 0);
        return true;
    }
    if (note_.OnKey(msg)) return true;
    // Enter presses the button that has the focus, as in any dialog.
    if (msg.wParam == VK_RETURN && panel_.IsButton(msg.hwnd)) {
        SendMessageW(msg.hwnd, BM_CLICK, 0, 0);
        return true;
    }
    if (msg.wParam == VK_ESCAPE && panel_.IsOpen()) {
        panel_.Cancel();
        return true;
    }
    return false;
}

bool MainWindow::IsKeyForOtherWindow(MSG& msg, bool& used) {
    // The About and products windows handle their keys as dialogs do.
    for (HWND other :
         {about_.Window(), products_ ? products_->Window() : nullptr, reminderWindow_.Window()}) {
        if (other && (msg.hwnd == other || IsChild(other, msg.hwnd))) {
            used = IsDialogMessageW(other, &msg) != FALSE;
            return true;
        }
    }
    return false;
}

void MainWindow::MoveFocus(HWND from, bool backward) {
    // The alarm panel's boxes and buttons while it is shown, as a dialog over
    // the window; else the note box and the calendar.
    std::vector<HWND> stops;
    panel_.AddFocusStops(stops);
    if (stops.empty()) stops = {note_.Window(), calendar_.Window()};
    const size_t n = stops.size();
    size_t next = backward ? n - 1 : 0;  // from outside the stops: the first or the last
    for (size_t i = 0; i < n; ++i)
        if (from == stops[i] || IsChild(stops[i], from)) next = (i + (backward ? n - 1 : 1)) % n;
    SetFocus(stops[next]);
}

}  // namespace velmi
