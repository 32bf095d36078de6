#include "form1.h"

#include "alarm_panel.h"
#include "alarm_panel_rules.h"
#include "countdown.h"
#include "form1_layout.h"
#include "input_box.h"
#include "products.h"
#include "registry.h"
#include "resource_ids.h"
#include "win_date.h"
#include "win_system.h"

#include <oleauto.h>
#include <shlobj.h>

#include <array>
#include <cstdio>
#include <vector>

namespace velmi {
namespace {

constexpr UINT WMAPP_STORE_PROBLEM = WM_APP + 1;
constexpr COLORREF kLightYellow = RGB(255, 255, 192);

constexpr DWORD kMaxUrl = 2084;  // the longest URL the shell takes
constexpr wchar_t kTimerPrompt[] = L"Enter number of minutes for timer";

constexpr wchar_t kSecondCopy[] =
    L"Only one copy of Tolvane Schedule can be executed,  already open on this machine";

struct MenuItem {
    int id;
    const wchar_t* caption;
};
constexpr std::array<MenuItem, 5> kMenu{{{kMenuTimerId, L"&Timer"},
                                         {kMenuAlarmId, L"&Alarm"},
                                         {kMenuHelpId, L"&Help"},
                                         {kMenuAboutId, L"About"},
                                         {kMenuProductsId, L"&Products"}}};

std::wstring ProblemText(const StoreProblem& p) {
    const std::wstring reason = SystemErrorText(p.error);
    if (p.kind == StoreProblem::Kind::kSave) {
        return L"The note for " + p.dayText + L" could not be saved:\n" + reason +
               L"\nIt stays on the screen, and Velmi tries again at the next change of date.";
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

}  // namespace

struct Form1::Gdi {
    HBRUSH yellow = CreateSolidBrush(kLightYellow);
    HFONT font = nullptr;
    ~Gdi() {
        DeleteObject(yellow);
        if (font) DeleteObject(font);
    }
};

Form1::Form1(Form1Services services)
    : services_(std::move(services)),
      notes_(store_, services_.clock, ReadDate, *this, module1_.alarms),
      gdi_(std::make_unique<Gdi>()) {}

Form1::~Form1() {
    products_.reset();
    if (hwnd_) DestroyWindow(hwnd_);
    if (instanceMutex_) CloseHandle(instanceMutex_);
}

bool Form1::Create() {
    static const ATOM registered = RegisterWindowClass(
        kForm1Class, WindowProc, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), IDI_STOPWATCH);
    if (!registered) return false;
    designTop_ = form1::kDesignTop;
    frame2Top_ = form1::kFrame2DesignTop;
    // The window is made hidden; WM_CREATE builds the controls.
    CreateWindowExW(0, kForm1Class, kAppTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, CreateMenuBar(),
                    GetModuleHandleW(nullptr), this);
    if (!hwnd_) return false;
    if (!Form_Load()) {
        DestroyWindow(hwnd_);
        return false;
    }
    return true;
}

void Form1::Show() {
    // The client area is exactly 7575 x 3495 twips, whatever the frame's size.
    RECT outer{0, 0, TwipsToPixels(form1::kClientWidth, static_cast<int>(dpi_)),
               TwipsToPixels(form1::kClientHeight, static_cast<int>(dpi_))};
    AdjustWindowRectExForDpi(&outer, WS_OVERLAPPEDWINDOW, TRUE, 0, dpi_);
    SetWindowPos(hwnd_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // Frame1, Frame2, Text1 and Nuvender1 move up to the top, in this order.
    designTop_ = 0;
    frame2Top_ = 0;
    Layout();
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    SetForegroundWindow(hwnd_);
    SetFocus(text1_);
}

LRESULT CALLBACK Form1::WindowProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
    auto* self = CreatorOf<Form1>(window, message, lp);
    if (!self) return DefWindowProcW(window, message, wp, lp);
    if (message == WM_NCCREATE) self->hwnd_ = window;
    return self->OnMessage(message, wp, lp);
}

LRESULT Form1::OnMessage(UINT message, WPARAM wp, LPARAM lp) {
    switch (message) {
        case WM_CREATE:
            return OnCreate() ? 0 : -1;
        case WM_COMMAND:
            OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
            return 0;
        case WM_TIMER:
            OnTimer(wp);
            return 0;
        case WM_CLOSE:
            Form_QueryUnload();
            return 0;
        case WM_QUERYENDSESSION:
            OnQueryEndSession();
            return TRUE;
        case WM_ENDSESSION:
            if (wp) {
                // A forced end of the session comes without WM_QUERYENDSESSION.
                SaveForSessionEnd();
                CloseOtherWindows();
                DestroyWindow(hwnd_);
            }
            return 0;
        case WM_DESTROY:
            OnDestroy();
            return 0;
        case WM_NCDESTROY:
            SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
            hwnd_ = nullptr;
            return 0;
        case WM_CTLCOLORSTATIC:
            return OnCtlColor(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp));
        case WM_DPICHANGED:
            OnDpiChanged(*reinterpret_cast<const RECT*>(lp));
            return 0;
        case WMAPP_STORE_PROBLEM:
            OnStoreProblem();
            return 0;
        case WM_SETFOCUS:
            SetFocus(text1_);
            return 0;
        default:
            return DefWindowProcW(hwnd_, message, wp, lp);
    }
}

bool Form1::OnCreate() {
    dpi_ = GetDpiForWindow(hwnd_);
    if (dpi_ == 0) dpi_ = 96;
    CreateControls();
    ApplyFonts();
    const HRESULT created =
        calendar_.Create(hwnd_, ToPixels(form1::kNuvender1.WithTop(designTop_)),
                         {[this] { Nuvender1_Change(); },
                          [this](bool backward) { MoveFocus(calendar_.Window(), backward); }});
    if (FAILED(created)) {
        wchar_t text[400];
        swprintf(text, 400,
                 L"The calendar control (Nuv.ocx) could not be created (error 0x%08lX).\n\n"
                 L"Register it with the command\n    regsvr32 Nuv.ocx\nin the folder that holds "
                 L"it, then start Velmi again.",
                 static_cast<unsigned long>(created));
        MessageBoxW(nullptr, text, kAppTitle, MB_OK | MB_ICONERROR);
        return false;
    }
    // The calendar stands below the note box and the alarm panel.
    SetWindowPos(calendar_.Window(), HWND_BOTTOM, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetTimer(hwnd_, kTimer2Id, kTimerInterval, nullptr);
    SetTimer(hwnd_, kTimer3Id, kTimerInterval, nullptr);
    return true;
}

bool Form1::Form_Load() {
    if (IsAnotherCopyRunning()) {
        MessageBoxW(nullptr, kSecondCopy, kAppTitle, MB_OK);
        return false;
    }
    store_.Set(services_.openStore());
    notes_.Loading = true;
    // Today in the user's own short date form: it reads back as today in
    // every locale, and raises Change twice since it is not the calendar's form.
    (void)calendar_.PutText(ShortDateText(Today(services_.clock)));
    return true;
}

bool Form1::IsAnotherCopyRunning() {
    instanceMutex_ = CreateMutexW(nullptr, FALSE, services_.instanceName.c_str());
    return instanceMutex_ && GetLastError() == ERROR_ALREADY_EXISTS;
}

void Form1::Form_QueryUnload() {
    const DayNotes::SaveOutcome saved = notes_.SaveShownNote();
    if (saved.attempted && saved.result.Failed()) {
        const std::wstring text = L"The note for " + notes_.LastDateText +
                                  L" could not be saved:\n" + SystemErrorText(saved.result.error) +
                                  L"\n\nClose Velmi anyway? The note will be lost.";
        if (MessageBoxW(hwnd_, text.c_str(), kAppTitle, MB_YESNO | MB_ICONWARNING) != IDYES) {
            return;
        }
    }
    CloseOtherWindows();
    DestroyWindow(hwnd_);
}

void Form1::OnQueryEndSession() {
    // Nobody is there to answer a question now; the note must not be lost.
    SaveForSessionEnd();
}

void Form1::SaveForSessionEnd() {
    const DayNotes::SaveOutcome saved = notes_.SaveShownNote();
    if (!saved.attempted || !saved.result.Failed()) return;
    const auto day = ReadDate(notes_.LastDateText);
    if (!day) return;
    using KnownFolderPath = HRESULT(WINAPI*)(REFKNOWNFOLDERID, DWORD, HANDLE, PWSTR*);
    const auto knownFolderPath =
        SystemFunction<KnownFolderPath>(L"shell32.dll", "SHGetKnownFolderPath");
    PWSTR documents = nullptr;
    if (!knownFolderPath || FAILED(knownFolderPath(FOLDERID_Documents, 0, nullptr, &documents)))
        return;
    const CivilDate d = CivilFromSerial(*day);
    wchar_t name[64];
    swprintf(name, 64, L"\\Velmi note %04d-%02d-%02d.txt", d.year, d.month, d.day);
    const std::wstring path = std::wstring(documents) + name;
    CoTaskMemFree(documents);
    const std::wstring note = NoteText();
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, note.data(), static_cast<int>(note.size()),
                                          nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, note.data(), static_cast<int>(note.size()), utf8.data(), bytes,
                        nullptr, nullptr);
    if (FILE* file = _wfopen(path.c_str(), L"wb")) {
        fwrite("\xEF\xBB\xBF", 1, 3, file);
        fwrite(utf8.data(), 1, utf8.size(), file);
        fclose(file);
    }
}

void Form1::CloseOtherWindows() {
    // The About and products windows close with the program, without a save.
    if (HWND about = form3_.Window()) DestroyWindow(about);
    products_.reset();
}

void Form1::OnDestroy() {
    KillTimer(hwnd_, kTimer2Id);
    KillTimer(hwnd_, kTimer3Id);
    calendar_.Destroy();
    // The program ends with its main window.
    PostQuitMessage(0);
}

void Form1::OnCommand(int id, int code, HWND control) {
    switch (id) {
        case kMenuTimerId:
            mnuTimer_Click();
            break;
        case kMenuAlarmId:
            mnuAlarm_Click();
            break;
        case kMenuHelpId:
            MnuHelp_Click();
            break;
        case kMenuAboutId:
            mnuAbout_Click();
            break;
        case kMenuProductsId:
            mnuProducts_Click();
            break;
        case kLabel1Id:
            if (code == STN_CLICKED) Label1_Click();
            break;
        case kText2Id:
        case kText3Id:
            if (code == EN_CHANGE) PanelBox_Change(control);
            if (code == EN_SETFOCUS) PanelBox_GotFocus(control);
            if (code == EN_KILLFOCUS) PanelBox_LostFocus(control);
            break;
        case kCommand1Id:
            if (code == BN_CLICKED) Command1_Click();
            break;
        case kCommand2Id:
            if (code == BN_CLICKED) Command2_Click();
            break;
        default:
            break;
    }
}

void Form1::mnuTimer_Click() {
    for (;;) {
        const std::optional<std::wstring> answer = InputBox(hwnd_, kTimerPrompt, kAppTitle);
        if (!answer || answer->empty()) return;
        // A number as the user's locale writes it, with a sign or a fraction.
        std::wstring text = *answer;
        double minutes = 0;
        if (FAILED(VarR8FromStr(text.data(), LOCALE_USER_DEFAULT, 0, &minutes))) continue;
        const CountdownOutcome outcome = CountdownEnd(services_.clock.Now().time, minutes);
        if (outcome.step == CountdownStep::kAskAgain) continue;
        if (outcome.step == CountdownStep::kRecord) RecordCountdown(module1_.timers, outcome.end);
        return;
    }
}

void Form1::MnuHelp_Click() {
    // One press of F1 for the active window, not waited for; F1 opens the help.
    HWND target = GetFocus() ? GetFocus() : GetActiveWindow();
    if (!target) target = hwnd_;
    PostMessageW(target, WM_KEYDOWN, VK_F1, 0x003B0001);
    PostMessageW(target, WM_KEYUP, VK_F1, static_cast<LPARAM>(0xC03B0001));
}

void Form1::ShowHelp(const std::wstring& section) {
    std::wstring page = BesideProgram(services_.helpFile);
    if (!section.empty()) {
        // A part of the page is named in a file URL.
        using UrlFromPath = HRESULT(WINAPI*)(PCWSTR, PWSTR, DWORD*, DWORD);
        const auto urlFromPath = SystemFunction<UrlFromPath>(L"shlwapi.dll", "UrlCreateFromPathW");
        wchar_t url[kMaxUrl] = {};
        DWORD length = kMaxUrl;
        if (urlFromPath && SUCCEEDED(urlFromPath(page.c_str(), url, &length, 0))) page = url;
        page += L"#" + section;
    }
    services_.openFile(page);
}

void Form1::mnuProducts_Click() {
    if (!products_) {
        products_ = std::make_unique<ProductsWindow>(
            ProductsWindow::Callbacks{[this](const std::wstring& section) { ShowHelp(section); },
                                      [this] {
                                          ShowWindow(hwnd_, SW_SHOW);
                                          SetForegroundWindow(hwnd_);
                                          SetFocus(text1_);
                                      }});
    }
    ShowWindow(hwnd_, SW_HIDE);
    products_->Show();
}

void Form1::mnuAlarm_Click() {
    DWORD start = 0;
    SendMessageW(text1_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
    module1_.alarmInsertPos = start;
    ShowWindow(frame1_, SW_SHOW);
    SetWindowTextW(text2_, L"00");
    SetWindowTextW(text3_, L"00");
    SetWindowTextW(label1_, L"AM");
    SetFocus(text2_);
    // A box that had the focus already hears no focus event; its text must
    // still be selected, so the first digit typed replaces "00".
    PanelBox_GotFocus(text2_);
}

void Form1::Label1_Click() {
    SetWindowTextW(label1_, std::wstring(ToggleDesignator(WindowText(label1_))).c_str());
}

void Form1::PanelBox_Change(HWND box) {
    const std::wstring text = WindowText(box);
    const auto fixed = box == text2_ ? CheckHours(text) : CheckMinutes(text);
    if (fixed) SetWindowTextW(box, fixed->c_str());
}

void Form1::PanelBox_GotFocus(HWND box) {
    SendMessageW(box, EM_SETSEL, 0, -1);
}

void Form1::PanelBox_LostFocus(HWND box) {
    if (const auto padded = PadOnLostFocus(WindowText(box))) SetWindowTextW(box, padded->c_str());
}

bool Form1::PanelBox_KeyPress(HWND box, wchar_t key) {
    const PanelKey filtered = FilterPanelKey(key);
    if (filtered.moveFocus) SetFocus(box == text2_ ? text3_ : command1_);
    return filtered.pass;
}

LRESULT Form1::PanelBoxProc(void* self, HWND box, UINT message, WPARAM wp, LPARAM lp,
                            WNDPROC original) {
    if (message == WM_CHAR &&
        !static_cast<Form1*>(self)->PanelBox_KeyPress(box, static_cast<wchar_t>(wp))) {
        return 0;
    }
    return CallWindowProcW(original, box, message, wp, lp);
}

void Form1::Command1_Click() {
    const std::wstring marker =
        MarkerText(WindowText(text2_), WindowText(text3_), WindowText(label1_));
    const std::wstring note = InsertMarker(NoteText(), module1_.alarmInsertPos, marker);
    SetWindowTextW(text1_, note.c_str());
    // An edit like any other: it is stored with the note.
    SendMessageW(text1_, EM_SETMODIFY, TRUE, 0);
    HidePanel();
}

void Form1::Command2_Click() {
    HidePanel();
}

void Form1::HidePanel() {
    ShowWindow(frame1_, SW_HIDE);
    SetFocus(text1_);
}

void Form1::OnTimer(UINT_PTR id) {
    if (id == kTimer2Id) Timer2_Timer();
    if (id == kTimer3Id) Timer3_Timer();
}

void Form1::ShowReport(std::wstring_view text) {
    const std::wstring copy(text);
    MessageBoxW(hwnd_, copy.c_str(), kAppTitle, MB_OK);
}

std::wstring Form1::NoteText() {
    return WindowText(text1_);
}

void Form1::SetNoteText(std::wstring_view text) {
    const std::wstring copy(text);
    SetWindowTextW(text1_, copy.c_str());
    SendMessageW(text1_, EM_SETMODIFY, FALSE, 0);
}

bool Form1::NoteEdited() {
    return SendMessageW(text1_, EM_GETMODIFY, 0, 0) != 0;
}

void Form1::SetCaption(std::wstring_view caption) {
    const std::wstring copy(caption);
    SetWindowTextW(hwnd_, copy.c_str());
}

void Form1::ReportStoreProblem(const StoreProblem& problem) {
    // One box per user action: the two Change events of one action and the
    // retries within it are told once, after the action is over.
    if (pendingProblem_) return;
    pendingProblem_ = problem;
    PostMessageW(hwnd_, WMAPP_STORE_PROBLEM, 0, 0);
}

void Form1::OnStoreProblem() {
    if (!pendingProblem_) return;
    const std::wstring text = ProblemText(*pendingProblem_);
    pendingProblem_.reset();
    MessageBoxW(hwnd_, text.c_str(), kAppTitle, MB_OK | MB_ICONWARNING);
}

void Form1::CreateControls() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    auto make = [&](DWORD exStyle, const wchar_t* cls, const wchar_t* text, DWORD style,
                    HWND parent, int id) {
        return CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_CLIPSIBLINGS | style, 0, 0, 0, 0,
                               parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance,
                               nullptr);
    };
    // Later controls lie above earlier ones: the panel over the note box over the calendar.
    frame1_ = CreatePanel(hwnd_, kFrame1Id, L"Enter time for alarm");
    text1_ = make(WS_EX_CLIENTEDGE, L"EDIT", L"",
                  WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN, hwnd_,
                  kText1Id);
    SendMessageW(text1_, EM_SETLIMITTEXT, 0, 0);  // no length limit of its own

    command1_ =
        make(0, L"BUTTON", L"Set", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, frame1_, kCommand1Id);
    command2_ = make(0, L"BUTTON", L"Cancel", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, frame1_,
                     kCommand2Id);
    frame2_ = CreatePanel(frame1_, kFrame2Id, L"Non Military Time");
    ShowWindow(frame2_, SW_SHOWNA);
    label2_ = make(0, L"STATIC", L"Click on AM to change to PM and Click on PM to change to AM",
                   WS_VISIBLE | SS_LEFT, frame1_, kLabel2Id);
    text2_ = make(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, frame2_,
                  kText2Id);
    text3_ = make(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, frame2_,
                  kText3Id);
    label1_ = make(0, L"STATIC", L"AM", WS_VISIBLE | SS_LEFT | SS_NOTIFY, frame2_, kLabel1Id);
    for (HWND box : {text2_, text3_}) {
        SendMessageW(box, EM_SETLIMITTEXT, 2, 0);
        Subclass(box, PanelBoxProc, this);
    }
    Layout();
}

RECT Form1::ToPixels(const TwipRect& r) const {
    return TwipsToRect(r, static_cast<int>(dpi_));
}

void Form1::Layout() {
    auto place = [&](HWND window, const TwipRect& twips) {
        if (!window) return;
        const RECT r = ToPixels(twips);
        SetWindowPos(window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    };
    using namespace form1;
    place(frame1_, kFrame1.WithTop(designTop_));
    place(frame2_, kFrame2.WithTop(frame2Top_));
    place(text1_, kText1.WithTop(designTop_));
    calendar_.SetPosition(ToPixels(kNuvender1.WithTop(designTop_)));
    place(label2_, kLabel2);
    place(text2_, kText2);
    place(text3_, kText3);
    place(label1_, kLabel1);
    place(command1_, kCommand1);
    place(command2_, kCommand2);
}

void Form1::ApplyFonts() {
    // The classic 8-point dialog font, at this window's resolution.
    HFONT font = CreateDialogFont(dpi_);
    for (HWND w :
         {text1_, frame1_, label2_, frame2_, text2_, text3_, label1_, command1_, command2_})
        SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (gdi_->font) DeleteObject(gdi_->font);
    gdi_->font = font;
    // Narrow margins (a new font resets them), so both digits fit the small boxes.
    for (HWND box : {text2_, text3_})
        SendMessageW(box, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(1, 1));
}

void Form1::OnDpiChanged(const RECT& suggested) {
    dpi_ = GetDpiForWindow(hwnd_);
    ApplyFonts();
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    Layout();
}

LRESULT Form1::OnCtlColor(HDC dc, HWND control) {
    if (control == label1_ || control == label2_) {
        SetBkColor(dc, kLightYellow);
        return reinterpret_cast<LRESULT>(gdi_->yellow);
    }
    return DefWindowProcW(hwnd_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                          reinterpret_cast<LPARAM>(control));
}

bool Form1::PreTranslateMessage(MSG& msg) {
    if (!hwnd_) return false;
    // F1 in any window of the program opens the help.
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_F1 &&
        GetWindowThreadProcessId(msg.hwnd, nullptr) == GetCurrentThreadId()) {
        ShowHelp();
        return true;
    }
    for (HWND other : {form3_.Window(), products_ ? products_->Window() : nullptr}) {
        if (other && (msg.hwnd == other || IsChild(other, msg.hwnd)))
            return IsDialogMessageW(other, &msg) != FALSE;
    }
    if (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd)) return false;
    if (calendar_.TranslateAccelerator(msg)) return true;
    if (msg.message != WM_KEYDOWN) return false;
    if (msg.wParam == VK_TAB && !(GetKeyState(VK_CONTROL) < 0)) {
        MoveFocus(GetFocus(), GetKeyState(VK_SHIFT) < 0);
        return true;
    }
    // Enter presses the button that has the focus, as in any dialog.
    if (msg.wParam == VK_RETURN && (msg.hwnd == command1_ || msg.hwnd == command2_)) {
        SendMessageW(msg.hwnd, BM_CLICK, 0, 0);
        return true;
    }
    return false;
}

void Form1::MoveFocus(HWND from, bool backward) {
    // Text1, the alarm panel's boxes and buttons while it is shown, the calendar.
    std::vector<HWND> stops{text1_};
    if (IsWindowVisible(frame1_)) stops.insert(stops.end(), {text2_, text3_, command1_, command2_});
    stops.push_back(calendar_.Window());
    size_t at = 0;
    for (size_t i = 0; i < stops.size(); ++i)
        if (from == stops[i] || IsChild(stops[i], from)) at = i;
    const size_t next = backward ? (at + stops.size() - 1) % stops.size() : (at + 1) % stops.size();
    SetFocus(stops[next]);
}

}  // namespace velmi
