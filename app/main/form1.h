// The main window Form1: the calendar Nuvender1 beside the note box Text1,
// the hidden alarm panel Frame1, the menu bar and the two interval timers.
#pragma once

#include "alarm_check.h"
#include "alarm_tables.h"
#include "calendar_host.h"
#include "clock.h"
#include "day_notes.h"
#include "form3.h"
#include "help.h"
#include "note_store.h"
#include "twips.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace velmi {

inline constexpr wchar_t kAppTitle[] = L"Velmi";
inline constexpr wchar_t kForm1Class[] = L"VelmiForm1";

// Child and menu identifiers, so tests and tools can find the controls.
enum Form1Id : int {
    kText1Id = 10,
    kFrame1Id = 20,
    kLabel2Id,
    kFrame2Id,
    kText2Id,
    kText3Id,
    kLabel1Id,
    kCommand1Id,
    kCommand2Id,
    kMenuTimerId = 101,
    kMenuAlarmId,
    kMenuHelpId,
    kMenuAboutId,
    kMenuProductsId,
};

inline constexpr UINT_PTR kTimer2Id = 2;  // countdowns
inline constexpr UINT_PTR kTimer3Id = 3;  // alarms
inline constexpr UINT kTimerInterval = 50000;

// Plays a sound file to its end.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    virtual void Play(std::wstring_view fileName) = 0;
};

// What the main window gets from the program; tests bring their own.
struct Form1Services {
    // The day-note store, opened by the load step once the calendar exists
    // and no other copy runs.
    std::function<NoteStore&()> openStore;
    const Clock& clock;
    SoundPlayer& sound;
    std::wstring instanceName;  // names the one copy that may run
    std::wstring helpFile;      // a bare file name, found beside the program
    FileOpener openFile = OpenWithShell;
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

class Form1 final : private NoteWindow, private AlarmOutput {
public:
    explicit Form1(Form1Services services);
    ~Form1() override;
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    // Creates the window, hidden, with its controls, and runs its load step.
    // False when the program must end (another copy runs, no calendar).
    [[nodiscard]] bool Create();
    // The rest of the start-up: the final layout, then the window is shown.
    void Show();
    [[nodiscard]] HWND Window() const noexcept { return hwnd_; }
    // Keys that move the focus or go to the calendar first; true when used.
    [[nodiscard]] bool PreTranslateMessage(MSG& msg);

    [[nodiscard]] DayNotes& Notes() noexcept { return notes_; }
    [[nodiscard]] Module1& Alarms() noexcept { return module1_; }
    [[nodiscard]] CalendarHost& Calendar() noexcept { return calendar_; }

private:
    static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT OnMessage(UINT message, WPARAM wp, LPARAM lp);

    // Window events.
    bool OnCreate();
    [[nodiscard]] bool Form_Load();
    void Form_QueryUnload();
    void OnQueryEndSession();
    void OnDestroy();
    void OnCommand(int id, int code, HWND control);
    void OnTimer(UINT_PTR id);
    void OnDpiChanged(const RECT& suggested);
    void OnStoreProblem();
    LRESULT OnCtlColor(HDC dc, HWND control);

    // Control events.
    void Nuvender1_Change() { notes_.Nuvender1_Change(); }
    void mnuTimer_Click();
    void mnuAlarm_Click();
    void MnuHelp_Click();
    void mnuAbout_Click() { form3_.Show(nullptr); }
    void mnuProducts_Click();
    void ShowHelp(const std::wstring& section = {});
    void Label1_Click();
    void Command1_Click();
    void Command2_Click();
    void PanelBox_Change(HWND box);
    void PanelBox_GotFocus(HWND box);
    void PanelBox_LostFocus(HWND box);
    [[nodiscard]] bool PanelBox_KeyPress(HWND box, wchar_t key);
    void HidePanel();
    static LRESULT PanelBoxProc(void* self, HWND, UINT, WPARAM, LPARAM, WNDPROC original);
    void Timer2_Timer() { CheckDue(module1_.timers, services_.clock, *this, kTimerPrefix); }
    void Timer3_Timer() { CheckDue(module1_.alarms, services_.clock, *this, kAlarmPrefix); }

    // NoteWindow
    std::wstring CalendarText() override { return calendar_.Text(); }
    std::wstring NoteText() override;
    void SetNoteText(std::wstring_view text) override;
    bool NoteEdited() override;
    void SetCaption(std::wstring_view caption) override;
    void ReportStoreProblem(const StoreProblem& problem) override;

    // AlarmOutput
    void PlaySound(std::wstring_view fileName) override { services_.sound.Play(fileName); }
    void ShowReport(std::wstring_view text) override;

    void CreateControls();
    void Layout();
    void ApplyFonts();
    [[nodiscard]] RECT ToPixels(const TwipRect& r) const;
    void MoveFocus(HWND from, bool backward);
    void CloseOtherWindows();
    [[nodiscard]] bool IsAnotherCopyRunning();
    void SaveForSessionEnd();

    Form1Services services_;
    HWND hwnd_ = nullptr;
    HWND text1_ = nullptr;
    HWND frame1_ = nullptr, label2_ = nullptr, frame2_ = nullptr;
    HWND text2_ = nullptr, text3_ = nullptr, label1_ = nullptr;
    HWND command1_ = nullptr, command2_ = nullptr;
    CalendarHost calendar_;
    Module1 module1_;
    StoreSlot store_;
    DayNotes notes_;
    HANDLE instanceMutex_ = nullptr;
    UINT dpi_ = 96;
    int designTop_ = 0;  // 0 once the start-up routine has moved the controls up
    int frame2Top_ = 0;
    struct Gdi;
    std::unique_ptr<Gdi> gdi_;
    std::optional<StoreProblem> pendingProblem_;
    Form3 form3_;
    std::unique_ptr<class ProductsWindow> products_;
};

}  // namespace velmi
