#include "reminder_window.h"

#include "velmi_controls.h"
#include "win_date.h"
#include "win_system.h"

#include <algorithm>
#include <array>

namespace velmi {
namespace {

constexpr wchar_t kCaption[] = L"Velmi - Reminders";
constexpr wchar_t kSeparator[] = L" \u2014 ";

struct SnoozeChoice {
    const wchar_t* text;
    int minutes;
};
constexpr std::array<SnoozeChoice, 5> kSnoozeChoices{{{L"5 minutes", 5},
                                                      {L"10 minutes", 10},
                                                      {L"15 minutes", 15},
                                                      {L"30 minutes", 30},
                                                      {L"1 hour", 60}}};

constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW & ~WS_MAXIMIZEBOX;
// Its own taskbar button: the window has no owner and says so.
constexpr DWORD kExStyle = WS_EX_APPWINDOW;
constexpr int kClientWidth = 600, kClientHeight = 262;  // at 96 dpi
constexpr int kMargin = 10, kBelowList = 80;

// Where each control stands at 96 dpi, below the list and from its left.
struct Placed {
    int id;
    const wchar_t* className;
    const wchar_t* text;
    DWORD style;
    int x, yBelowList, width, height;
};
constexpr std::array<Placed, 6> kBelow{{
    {kSnoozeLabelId, L"STATIC", L"Snooze &for:", SS_LEFT, 0, 14, 72, 20},
    {kSnoozeChoiceId, L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 74, 10, 110,
     160},
    {kSnoozeId, L"BUTTON", L"&Snooze", BS_PUSHBUTTON | WS_TABSTOP, 192, 9, 90, 26},
    {kDismissId, L"BUTTON", L"&Dismiss", BS_PUSHBUTTON | WS_TABSTOP, 288, 9, 90, 26},
    {kDismissAllId, L"BUTTON", L"Dismiss &all", BS_PUSHBUTTON | WS_TABSTOP, 384, 9, 100, 26},
    {kStartAtSignInId, L"BUTTON", L"Start Velmi &when I sign in", BS_AUTOCHECKBOX | WS_TABSTOP, 0,
     48, 300, 22},
}};

}  // namespace

ReminderWindow::ReminderWindow(const Reminders& reminders, const Clock& clock, Callbacks callbacks)
    : reminders_(reminders), clock_(clock), callbacks_(std::move(callbacks)) {}

ReminderWindow::~ReminderWindow() {
    if (hwnd_) DestroyWindow(hwnd_);
}

bool ReminderWindow::Create() {
    if (hwnd_) return true;
    static const ATOM registered = RegisterWindowClass(
        kReminderWindowClass,
        RouteToCreator<ReminderWindow, &ReminderWindow::hwnd_, &ReminderWindow::OnMessage>,
        reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), kStopwatchIconId);
    if (!registered) return false;
    CreateWindowExW(kExStyle, kReminderWindowClass, kCaption, kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, GetModuleHandleW(nullptr),
                    this);
    if (!hwnd_) return false;
    const UINT dpi = GetDpiForWindow(hwnd_);
    RECT outer{0, 0, MulDiv(kClientWidth, static_cast<int>(dpi), 96),
               MulDiv(kClientHeight, static_cast<int>(dpi), 96)};
    AdjustWindowRectExForDpi(&outer, kStyle, FALSE, kExStyle, dpi);
    // In the corner of the screen, away from where the user works; the user
    // may move it, and it stays there for the run.
    MONITORINFO monitor{sizeof monitor, {}, {}, 0};
    GetMonitorInfoW(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const int width = outer.right - outer.left, height = outer.bottom - outer.top;
    const int margin = MulDiv(16, static_cast<int>(dpi), 96);
    SetWindowPos(hwnd_, nullptr,
                 std::max(monitor.rcWork.left, monitor.rcWork.right - width - margin),
                 std::max(monitor.rcWork.top, monitor.rcWork.bottom - height - margin), width,
                 height, SWP_NOZORDER | SWP_NOACTIVATE);
    if (!CreateControls()) {
        DestroyWindow(hwnd_);
        return false;
    }
    Layout();
    return true;
}

bool ReminderWindow::CreateControls() {
    font_.reset(CreateDialogFont(GetDpiForWindow(hwnd_)));
    if (!font_) return false;
    std::vector<HWND> made{
        CreateChildWindow(hwnd_, {.className = L"LISTBOX",
                                  .style = WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL |
                                           LBS_EXTENDEDSEL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                                  .exStyle = WS_EX_CLIENTEDGE,
                                  .id = kReminderListId})};
    for (const Placed& p : kBelow) {
        made.push_back(CreateChildWindow(
            hwnd_,
            {.className = p.className, .text = p.text, .style = WS_VISIBLE | p.style, .id = p.id}));
    }
    for (HWND w : made) {
        if (!w) return false;
        SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    }
    HWND choice = GetDlgItem(hwnd_, kSnoozeChoiceId);
    for (const SnoozeChoice& c : kSnoozeChoices)
        SendMessageW(choice, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(c.text));
    SendMessageW(choice, CB_SETCURSEL, 0, 0);
    return true;
}

void ReminderWindow::Layout() {
    RECT client{};
    GetClientRect(hwnd_, &client);
    const int dpi = static_cast<int>(GetDpiForWindow(hwnd_));
    const auto px = [dpi](int at96) { return MulDiv(at96, dpi, 96); };
    const int listBottom =
        std::max(px(kMargin) * 2, static_cast<int>(client.bottom) - px(kBelowList));
    MoveWindow(GetDlgItem(hwnd_, kReminderListId), px(kMargin), px(kMargin),
               std::max(0, static_cast<int>(client.right) - 2 * px(kMargin)),
               listBottom - px(kMargin), TRUE);
    for (const Placed& p : kBelow) {
        MoveWindow(GetDlgItem(hwnd_, p.id), px(kMargin + p.x), listBottom + px(p.yBelowList),
                   px(p.width), px(p.height), TRUE);
    }
}

void ReminderWindow::ShowDueRows(const std::vector<DueRow>& added) {
    if (!Create()) return;
    if (!IsWindowVisible(hwnd_)) openedByCheck_ = true;
    FillRows();
    // Selected, so that Snooze and Dismiss act on them at once.
    for (std::size_t row = 0; row < dueRows_; ++row) {
        if (std::any_of(added.begin(), added.end(),
                        [&](const DueRow& a) { return a.key == rowKeys_[row]; }))
            SendDlgItemMessageW(hwnd_, kReminderListId, LB_SETSEL, TRUE, static_cast<LPARAM>(row));
    }
    EnableButtons();
    ShowInactive();
    FLASHWINFO flash{sizeof flash, hwnd_, FLASHW_TRAY | FLASHW_TIMERNOFG, 0, 0};
    FlashWindowEx(&flash);
}

void ReminderWindow::ShowUpcoming() {
    if (!Create()) return;
    if (!IsWindowVisible(hwnd_)) openedByCheck_ = false;
    FillRows();
    ShowInactive();
}

void ReminderWindow::ShowInactive() {
    if (HWND active = GetForegroundWindow(); active != hwnd_) returnTo_ = active;
    // A minimized window comes back for new rows, still without the activation.
    if (IsIconic(hwnd_)) ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
    // Topmost while a due row waits, as an ordinary window otherwise.
    SetWindowPos(hwnd_, dueRows_ > 0 ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void ReminderWindow::Open() {
    if (!Create()) return;
    if (!IsWindowVisible(hwnd_)) openedByCheck_ = false;
    if (HWND active = GetForegroundWindow(); active != hwnd_) returnTo_ = active;
    FillRows();
    ShowWindow(hwnd_, IsIconic(hwnd_) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(hwnd_);
    SetFocus(GetDlgItem(hwnd_, kReminderListId));
}

void ReminderWindow::Refresh() {
    if (!hwnd_ || !IsWindowVisible(hwnd_)) return;
    FillRows();
    if (dueRows_ == 0 && openedByCheck_) return Hide();
    if (dueRows_ == 0) {
        SetWindowPos(hwnd_, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

void ReminderWindow::FillRows() {
    HWND list = GetDlgItem(hwnd_, kReminderListId);
    const std::vector<ReminderKey> selected = SelectedKeys(false);
    const int bias = clock_.MinutesAheadOfUtc();
    const DateSerial today = Today(clock_);
    std::vector<std::wstring> texts;
    rowKeys_.clear();
    for (const DueRow& row : reminders_.Due()) {
        rowKeys_.push_back(row.key);
        texts.push_back(row.heading + kSeparator + row.text);
    }
    dueRows_ = rowKeys_.size();
    for (const PendingRow& row : reminders_.Pending()) {
        const Moment end = row.end + bias;
        std::wstring when = (row.snoozed ? L"Snoozed until " : L"Ends at ") + ClockText(end);
        if (DayOf(end) != today) when += L" on " + ShortDateText(DayOf(end));
        rowKeys_.push_back(row.key);
        texts.push_back(when + kSeparator + row.text);
    }

    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    int widest = 0;
    const HDC dc = GetDC(list);
    const HGDIOBJ old = SelectObject(dc, font_.get());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(texts[i].c_str()));
        SIZE size{};
        GetTextExtentPoint32W(dc, texts[i].c_str(), static_cast<int>(texts[i].size()), &size);
        widest = std::max(widest, static_cast<int>(size.cx));
        if (std::find(selected.begin(), selected.end(), rowKeys_[i]) != selected.end())
            SendMessageW(list, LB_SETSEL, TRUE, static_cast<LPARAM>(i));
    }
    SelectObject(dc, old);
    ReleaseDC(list, dc);
    SendMessageW(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + 8), 0);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    CheckDlgButton(
        hwnd_, kStartAtSignInId,
        callbacks_.startsAtSignIn && callbacks_.startsAtSignIn() ? BST_CHECKED : BST_UNCHECKED);
    EnableButtons();
}

void ReminderWindow::EnableButtons() {
    EnableWindow(GetDlgItem(hwnd_, kSnoozeId), !SelectedKeys(true).empty());
    EnableWindow(GetDlgItem(hwnd_, kDismissId), !SelectedKeys(false).empty());
    EnableWindow(GetDlgItem(hwnd_, kDismissAllId), dueRows_ > 0);
}

std::vector<ReminderKey> ReminderWindow::SelectedKeys(bool dueOnly) const {
    HWND list = GetDlgItem(hwnd_, kReminderListId);
    const auto count = static_cast<int>(SendMessageW(list, LB_GETSELCOUNT, 0, 0));
    std::vector<int> rows(static_cast<std::size_t>(std::max(count, 0)));
    if (count > 0)
        SendMessageW(list, LB_GETSELITEMS, rows.size(), reinterpret_cast<LPARAM>(rows.data()));
    std::vector<ReminderKey> keys;
    for (const int row : rows) {
        const auto index = static_cast<std::size_t>(row);
        if (index < rowKeys_.size() && (!dueOnly || index < dueRows_))
            keys.push_back(rowKeys_[index]);
    }
    return keys;
}

int ReminderWindow::SnoozeMinutes() const {
    const auto chosen = SendDlgItemMessageW(hwnd_, kSnoozeChoiceId, CB_GETCURSEL, 0, 0);
    return chosen >= 0 && static_cast<std::size_t>(chosen) < kSnoozeChoices.size()
               ? kSnoozeChoices[static_cast<std::size_t>(chosen)].minutes
               : kSnoozeChoices[0].minutes;
}

LRESULT ReminderWindow::OnMessage(UINT message, WPARAM wp, LPARAM lp) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wp), HIWORD(wp));
            return 0;
        case WM_CLOSE:
            OnClose();
            return 0;
        case WM_SIZE:
            Layout();
            return 0;
        case WM_ACTIVATE:
            // Activated by the user: the keyboard goes back to the control it left.
            if (LOWORD(wp) == WA_INACTIVE) {
                focus_ = GetFocus();
            } else {
                SetFocus(focus_ && IsChild(hwnd_, focus_) ? focus_
                                                          : GetDlgItem(hwnd_, kReminderListId));
            }
            return 0;
        case WM_DPICHANGED: {
            font_.reset(CreateDialogFont(HIWORD(wp)));
            for (HWND child = GetWindow(hwnd_, GW_CHILD); child;
                 child = GetWindow(child, GW_HWNDNEXT))
                SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
            const RECT& r = *reinterpret_cast<const RECT*>(lp);
            SetWindowPos(hwnd_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
        case WM_GETMINMAXINFO: {
            const int dpi = static_cast<int>(GetDpiForWindow(hwnd_));
            auto* info = reinterpret_cast<MINMAXINFO*>(lp);
            info->ptMinTrackSize = {MulDiv(520, dpi, 96), MulDiv(220, dpi, 96)};
            return 0;
        }
        case WM_NCDESTROY:
            SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
            hwnd_ = nullptr;
            return 0;
        default:
            return DefWindowProcW(hwnd_, message, wp, lp);
    }
}

void ReminderWindow::OnCommand(int id, int code) {
    if (id == kReminderListId) {
        if (code == LBN_SELCHANGE) EnableButtons();
        return;
    }
    if (id == kStartAtSignInId) {
        if (code == BN_CLICKED && callbacks_.setStartAtSignIn)
            callbacks_.setStartAtSignIn(IsDlgButtonChecked(hwnd_, kStartAtSignInId) == BST_CHECKED);
        return;
    }
    if (id == IDCANCEL) return OnClose();  // Escape
    if (id != kSnoozeId && id != kDismissId && id != kDismissAllId) return;
    callbacks_.buttonPressed();
    if (id == kSnoozeId) callbacks_.snooze(SelectedKeys(true), SnoozeMinutes());
    if (id == kDismissId) callbacks_.dismiss(SelectedKeys(false));
    if (id == kDismissAllId) callbacks_.dismiss(reminders_.DueKeys());
}

void ReminderWindow::OnClose() {
    callbacks_.buttonPressed();
    if (const std::vector<ReminderKey> due = reminders_.DueKeys(); !due.empty())
        callbacks_.snooze(due, SnoozeMinutes());
    Hide();
}

void ReminderWindow::Hide() {
    const bool active = GetForegroundWindow() == hwnd_;
    ShowWindow(hwnd_, SW_HIDE);
    // Back to where the user was, not to whichever window lies below.
    if (active && returnTo_ && IsWindow(returnTo_)) SetForegroundWindow(returnTo_);
}

}  // namespace velmi
