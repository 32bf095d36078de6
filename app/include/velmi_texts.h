// The program's fixed texts that its users, their habits and their tools know
// it by; each is written here once.
#pragma once

namespace velmi {

inline constexpr wchar_t kAppTitle[] = L"Velmi";
inline constexpr wchar_t kTimerPrompt[] = L"Enter number of minutes for timer";
inline constexpr wchar_t kCountdownsFullText[] = L"Ten countdowns are already running";
inline constexpr wchar_t kCountdownRefusedText[] =
    L"The timer takes a number of minutes from 0 up to 1000000000, such as 10.";
inline constexpr wchar_t kSecondCopyText[] =
    L"Only one copy of Tolvane Schedule can be executed,  already open on this machine";
inline constexpr wchar_t kPurgedDayNotice[] = L"Notes of the ten days before today are not kept.";
inline constexpr wchar_t kSingleInstanceName[] = L"Local\\Tolvane.Velmi.OneCopy";

// The first line is the text box's own name, as the program has always shown it.
inline constexpr wchar_t kAboutText[] =
    L"Text1\r\n"
    L"Version 2.0 - October 26, 1999\r\n"
    L"Copyright (c) 1999-2026 Tolvane.\r\n"
    L"All rights reserved.\r\n"
    L"\r\n"
    L"Velmi - Tolvane Schedule\r\n"
    L"Made by Tolvane\r\n"
    L"Lindholm\r\n";

}  // namespace velmi
