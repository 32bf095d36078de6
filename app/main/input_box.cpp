#include "input_box.h"

#include <vector>

namespace velmi {
namespace {

constexpr WORD kPromptId = 0xFFFF;  // the usual identifier of a dialog's static text
constexpr WORD kAnswerId = 100;

// Builds the dialog template in memory, so the box needs no resources of
// the module that shows it.
class Template {
public:
    void Header(const std::wstring& title, short cx, short cy) {
        Align();
        Put<DWORD>(DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU);
        Put<DWORD>(0);
        Put<WORD>(4);  // controls
        Put<short>(0), Put<short>(0), Put<short>(cx), Put<short>(cy);
        Put<WORD>(0), Put<WORD>(0);  // no menu, the default class
        Text(title);
        Put<WORD>(8);
        Text(L"MS Shell Dlg");
    }
    void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD atom,
              const std::wstring& text) {
        Align();
        Put<DWORD>(WS_CHILD | WS_VISIBLE | style);
        Put<DWORD>(0);
        Put<short>(x), Put<short>(y), Put<short>(cx), Put<short>(cy);
        Put<WORD>(id);
        Put<WORD>(0xFFFF), Put<WORD>(atom);
        Text(text);
        Put<WORD>(0);  // no creation data
    }
    [[nodiscard]] const DLGTEMPLATE* Get() const {
        return reinterpret_cast<const DLGTEMPLATE*>(words_.data());
    }

private:
    template <typename T>
    void Put(T value) {
        words_.push_back(static_cast<WORD>(value));
        if constexpr (sizeof(T) == 4) words_.push_back(static_cast<WORD>(value >> 16));
    }
    void Text(const std::wstring& text) {
        for (wchar_t c : text)
            words_.push_back(static_cast<WORD>(c));
        words_.push_back(0);
    }
    void Align() {
        if (words_.size() % 2) words_.push_back(0);
    }
    std::vector<WORD> words_;
};

constexpr WORD kButton = 0x0080, kEdit = 0x0081, kStatic = 0x0082;

struct Exchange {
    std::wstring answer;
};

INT_PTR CALLBACK InputProc(HWND dialog, UINT message, WPARAM wp, LPARAM lp) {
    auto* exchange = reinterpret_cast<Exchange*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
        case WM_INITDIALOG:
            SetWindowLongPtrW(dialog, DWLP_USER, lp);
            return TRUE;  // the entry field, the first tab stop, takes the focus
        case WM_COMMAND:
            if (LOWORD(wp) == IDOK) {
                HWND field = GetDlgItem(dialog, kAnswerId);
                std::wstring text(static_cast<size_t>(GetWindowTextLengthW(field)) + 1, L'\0');
                text.resize(static_cast<size_t>(
                    GetWindowTextW(field, text.data(), static_cast<int>(text.size()))));
                exchange->answer = std::move(text);
                EndDialog(dialog, IDOK);
                return TRUE;
            }
            if (LOWORD(wp) == IDCANCEL) {
                EndDialog(dialog, IDCANCEL);
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

std::optional<std::wstring> InputBox(HWND owner, const std::wstring& prompt,
                                     const std::wstring& title) {
    Template t;
    t.Header(title, 240, 80);
    t.Item(WS_TABSTOP | ES_AUTOHSCROLL | WS_BORDER, 7, 58, 226, 13, kAnswerId, kEdit, L"");
    t.Item(WS_TABSTOP | BS_DEFPUSHBUTTON, 183, 7, 50, 14, IDOK, kButton, L"OK");
    t.Item(WS_TABSTOP | BS_PUSHBUTTON, 183, 25, 50, 14, IDCANCEL, kButton, L"Cancel");
    t.Item(SS_LEFT, 7, 7, 168, 44, kPromptId, kStatic, prompt);
    Exchange exchange;
    const INT_PTR result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), t.Get(), owner,
                                                   InputProc, reinterpret_cast<LPARAM>(&exchange));
    if (result != IDOK) return std::nullopt;
    return exchange.answer;
}

}  // namespace velmi
