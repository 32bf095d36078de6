#include "input_box.h"

#include "velmi_controls.h"
#include "win_system.h"

namespace velmi {
namespace {

struct Exchange {
    const std::wstring& prompt;
    const std::wstring& title;
    std::wstring answer;
};

BOOL OnInitDialog(HWND dialog, Exchange& exchange) {
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(&exchange));
    SetWindowTextW(dialog, exchange.title.c_str());
    SetDlgItemTextW(dialog, kInputPromptId, exchange.prompt.c_str());
    return TRUE;  // the entry field, the first tab stop, takes the focus
}

INT_PTR CALLBACK InputProc(HWND dialog, UINT message, WPARAM wp, LPARAM lp) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog(dialog, *reinterpret_cast<Exchange*>(lp));
        case WM_COMMAND:
            if (LOWORD(wp) == IDOK) {
                auto* exchange = reinterpret_cast<Exchange*>(GetWindowLongPtrW(dialog, DWLP_USER));
                exchange->answer = WindowText(GetDlgItem(dialog, kInputAnswerId));
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
    Exchange exchange{prompt, title, {}};
    const INT_PTR result =
        DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kInputBoxDialogId), owner,
                        InputProc, reinterpret_cast<LPARAM>(&exchange));
    if (result != IDOK) return std::nullopt;
    return exchange.answer;
}

}  // namespace velmi
