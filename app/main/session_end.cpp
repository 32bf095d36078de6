#include "session_end.h"

#include "win_system.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <memory>
#include <string>

namespace velmi {
namespace {

struct CloseFile {
    void operator()(FILE* file) const noexcept { fclose(file); }
};

struct FreeTaskMemory {
    void operator()(wchar_t* memory) const noexcept { CoTaskMemFree(memory); }
};

std::wstring DocumentsFolder() {
    using KnownFolderPath = HRESULT(WINAPI*)(REFKNOWNFOLDERID, DWORD, HANDLE, PWSTR*);
    const auto knownFolderPath =
        SystemFunction<KnownFolderPath>(L"shell32.dll", "SHGetKnownFolderPath");
    PWSTR documents = nullptr;
    if (!knownFolderPath || FAILED(knownFolderPath(FOLDERID_Documents, 0, nullptr, &documents)))
        return {};
    const std::unique_ptr<wchar_t, FreeTaskMemory> owner(documents);
    return documents;
}

std::string Utf8(std::wstring_view text) {
    const int length = static_cast<int>(text.size());
    const int bytes =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, utf8.data(), bytes, nullptr, nullptr);
    return utf8;
}

}  // namespace

void WriteNoteToDocuments(DateSerial day, std::wstring_view note) {
    const std::wstring documents = DocumentsFolder();
    if (documents.empty()) return;
    const CivilDate d = CivilFromSerial(day);
    wchar_t name[64];
    swprintf(name, 64, L"\\Velmi note %04d-%02d-%02d.txt", d.year, d.month, d.day);
    const std::string utf8 = Utf8(note);
    const std::unique_ptr<FILE, CloseFile> file(_wfopen((documents + name).c_str(), L"wb"));
    if (!file) return;
    fwrite("\xEF\xBB\xBF", 1, 3, file.get());
    fwrite(utf8.data(), 1, utf8.size(), file.get());
}

}  // namespace velmi
