#include "main_window_driver.h"

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
    Pump();
    if (root_) RegCloseKey(root_);
    RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str());
}

bool MainWindowDriver::Start() {
    // The copy before must be gone, or the new one finds it running.
    window_.reset();
    window_ = std::make_unique<MainWindow>(MainWindowServices{
        [this]() -> NoteStore& { return *store_; }, clock, sound, instance_, L"VelmiReg.htm",
        [this](const std::wstring& path) { opened.push_back(path); }});
    if (!window_->Create()) return false;
    window_->Show();
    Pump();
    return true;
}

bool MainWindowDriver::Close() {
    SendMessageW(Main(), WM_CLOSE, 0, 0);
    Pump();
    return Main() == nullptr;
}

}  // namespace velmi::reliability
