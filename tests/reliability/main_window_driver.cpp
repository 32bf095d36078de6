#include "main_window_driver.h"

#include "process.h"
#include "window_input.h"

namespace velmi::reliability {

MainWindowDriver::MainWindowDriver(std::wstring testKey, std::wstring instanceName)
    : key_(std::move(testKey)), instance_(std::move(instanceName)) {
    RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str());
    RegCreateKeyExW(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &root_,
                    nullptr);
    store_ = std::make_unique<test::TestStore>(root_);
}

MainWindowDriver::~MainWindowDriver() {
    window_.reset();
    DrainMessages();
    if (root_) RegCloseKey(root_);
    RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str());
}

bool MainWindowDriver::Start() {
    // The copy before must be gone, or the new one finds it running.
    window_.reset();
    window_ = std::make_unique<MainWindow>(
        MainWindowServices{[this]() -> NoteStore& { return *store_; }, clock, sound, instance_,
                           L"VelmiReg.htm", [](const std::wstring&) {}});
    if (!window_->Create()) return false;
    window_->Show();
    DrainMessages();
    return true;
}

bool MainWindowDriver::Close() {
    SendMessageW(Main(), WM_CLOSE, 0, 0);
    DrainMessages();  // the program's end: WM_QUIT, which this loop drops
    return Main() == nullptr;
}

HWND MainWindowDriver::Item(int id) const {
    return test::Child(Main(), id);
}

HWND MainWindowDriver::CalendarPart(int id) const {
    HWND surface = window_->Calendar().Window();
    return id == nuv::kDateBoxId || id == nuv::kFrameId
               ? GetDlgItem(surface, id)
               : GetDlgItem(GetDlgItem(surface, nuv::kFrameId), id);
}

std::vector<HWND> MainWindowDriver::AboutWindows() const {
    return test::TopLevelWindows(kAboutWindowClass);
}

void MainWindowDriver::Click(HWND window) const {
    RECT r{};
    GetClientRect(window, &r);
    ClickAt(window, {r.right / 2, r.bottom / 2});
}

void MainWindowDriver::ClickAt(HWND window, POINT at) const {
    const LPARAM where = MAKELPARAM(at.x, at.y);
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, where);
    SendMessageW(window, WM_LBUTTONUP, 0, where);
}

void MainWindowDriver::Menu(int id) const {
    SendMessageW(Main(), WM_COMMAND, id, 0);
}

void MainWindowDriver::Type(HWND window, std::wstring_view text) const {
    for (wchar_t c : text) {
        if (c == L'\r') {
            MSG msg{window, WM_KEYDOWN, VK_RETURN, 0, 0, {}};
            if (window_->PreTranslateMessage(msg)) continue;
        }
        SendMessageW(window, WM_CHAR, c, 1);
    }
}

void MainWindowDriver::Key(HWND window, UINT vk) const {
    MSG msg{window, WM_KEYDOWN, vk, 0, 0, {}};
    if (!window_->PreTranslateMessage(msg)) SendMessageW(window, WM_KEYDOWN, vk, 0);
}

void DrainMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace velmi::reliability
