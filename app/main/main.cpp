// Velmi's start-up routine and message loop.
#include "main_window.h"
#include "registry.h"
#include "registry_note_store.h"
#include "sign_in.h"
#include "store_root.h"
#include "win_date.h"
#include "win_system.h"

#include <mmsystem.h>
#include <ole2.h>

#include <optional>
#include <utility>

namespace velmi {
namespace {

class SystemSound final : public SoundPlayer {
public:
    void Play(std::wstring_view path) override {
        // Synchronous; the platform's default sound stands in for a missing file.
        const std::wstring name(path);
        if (play_) (void)play_(name.c_str(), nullptr, SND_FILENAME | SND_SYNC);
    }
    void Stop() override {
        if (play_) (void)play_(nullptr, nullptr, 0);
    }

private:
    using PlaySoundFunction = BOOL(WINAPI*)(LPCWSTR, HMODULE, DWORD);
    const PlaySoundFunction play_ = SystemFunction<PlaySoundFunction>(L"winmm.dll", "PlaySoundW");
};

// The notes live under HKEY_LOCAL_MACHINE where it can be written, else
// under HKEY_CURRENT_USER; the choice is made once per run.
class StoreChoice {
public:
    NoteStore& Open() {
        const StoreRootChoice choice = ChooseStoreRoot(HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER,
                                                       CanWriteStore(HKEY_LOCAL_MACHINE));
        if (choice.copy.Failed()) {
            const std::wstring text =
                L"Some of the notes kept for all users could not be copied to your own notes:\n" +
                SystemErrorText(choice.copy.error);
            MessageBoxW(nullptr, text.c_str(), kAppTitle, MB_OK | MB_ICONWARNING);
        }
        return store_.emplace(choice.root);
    }

private:
    std::optional<RegistryNoteStore> store_;
};

int Run() {
    // The help file the F1 key opens, named before any window exists.
    const std::wstring helpFile = L"VelmiReg.htm";
    SystemClock clock;
    SystemSound sound;
    StoreChoice store;
    MainWindowServices services{[&]() -> NoteStore& { return store.Open(); }, clock, sound,
                                kSingleInstanceName, helpFile};
    services.minimized = HasMinimizedSwitch(GetCommandLineW());
    MainWindow window(std::move(services));
    if (!window.Create()) return 0;
    if (const std::wstring self = ModulePath(nullptr); !self.empty())
        ApplySetupChoice(HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, self);
    window.Show();
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (window.PreTranslateMessage(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

}  // namespace
}  // namespace velmi

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // DLLs loaded by name come from the system's folder alone, never from the
    // current folder or the search path.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (FAILED(OleInitialize(nullptr))) return 1;
    const int result = velmi::Run();
    OleUninitialize();
    return result;
}
