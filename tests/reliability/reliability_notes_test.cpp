// Notes that stretch the store: a megabyte of lines, every kind of line
// break and text beyond ASCII, written through Velmi.exe as a user writes
// them (typed, pasted) and read back through the program and the registry.
#include "calendar_dates.h"
#include "message_box_answerer.h"
#include "store_reading.h"
#include "velmi_process.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>

namespace velmi::reliability {
namespace {

using test::VelmiProcess;
using test::WindowText;

int Today() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return now.wDay;
}

// Puts the text on the clipboard and pastes it where the note's caret is.
void Paste(HWND note, const std::wstring& text) {
    HWND owner =
        CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    std::memcpy(GlobalLock(memory), text.c_str(), bytes);
    GlobalUnlock(memory);
    EXPECT_NE(SetClipboardData(CF_UNICODETEXT, memory), nullptr);
    CloseClipboard();
    DWORD_PTR result = 0;
    SendMessageTimeoutW(note, WM_PASTE, 0, 0, SMTO_NORMAL, 120000, &result);
    DestroyWindow(owner);
}

// Characters one by one, as the keyboard (or an input method) delivers them.
void Type(HWND note, const std::wstring& text) {
    for (wchar_t c : text)
        SendMessageW(note, WM_CHAR, c, 1);
}

// The one note of today as the registry holds it, or a mark that it has none.
std::wstring StoredToday() {
    const StoreContents contents = ReadStore(HKEY_LOCAL_MACHINE);
    for (const std::wstring& fault : contents.faults)
        ADD_FAILURE() << fault;
    const auto found = contents.notes.find(RealToday());
    return found == contents.notes.end() ? L"(none)" : found->second;
}

class ReliabilityNotes : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Tolvane");
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Tolvane");
    }
    void TearDown() override { SetUp(); }

    // Writes today's note through the program, then follows it through a
    // date change, a close and a new start: the box and the registry must
    // hold exactly the expected text all the way.
    void RoundTrip(const std::function<void(HWND note)>& write, const std::wstring& expected) {
        const int other = KeptDaysOfThisMonth().front();
        {
            VelmiProcess velmi;
            ASSERT_NE(velmi.WaitForMainWindow(), nullptr);
            HWND note = velmi.Child(kNoteBoxId);
            write(note);
            const std::wstring written = WindowText(note);
            ASSERT_TRUE(written == expected) << FirstDifference(written, expected);

            test::ClickCentre(velmi.DayCell(other));  // saved with the change of date
            std::wstring stored = StoredToday();
            EXPECT_TRUE(stored == expected)
                << "after a change of date: " << FirstDifference(stored, expected);
            test::ClickCentre(velmi.DayCell(Today()));
            const std::wstring shown = WindowText(note);
            EXPECT_TRUE(shown == expected) << "shown again: " << FirstDifference(shown, expected);

            PostMessageW(velmi.Main(), WM_CLOSE, 0, 0);  // saved once more on closing
            ASSERT_TRUE(velmi.WaitForExit());
            stored = StoredToday();
            EXPECT_TRUE(stored == expected)
                << "after closing: " << FirstDifference(stored, expected);
        }
        VelmiProcess again;
        ASSERT_NE(again.WaitForMainWindow(), nullptr);
        const std::wstring shown = WindowText(again.Child(kNoteBoxId));
        EXPECT_TRUE(shown == expected) << "after a new start: " << FirstDifference(shown, expected);
        PostMessageW(again.Main(), WM_CLOSE, 0, 0);
        ASSERT_TRUE(again.WaitForExit());
        const std::wstring stored = StoredToday();
        EXPECT_TRUE(stored == expected) << "at the end: " << FirstDifference(stored, expected);
    }
};

TEST_F(ReliabilityNotes, AMegabyteOfLinesSurvivesASaveAndARestart) {
    std::wstring big;
    for (int line = 1; big.size() < (1u << 20); ++line) {
        wchar_t text[96];
        std::swprintf(text, 96, L"Line %06d: call the plumber about the sink, then buy milk\r\n",
                      line);
        big += text;
    }
    RoundTrip([&](HWND note) { Paste(note, big); }, big);
}

TEST_F(ReliabilityNotes, EveryKindOfLineBreakAndTextBeyondAsciiSurvive) {
    const std::wstring typed = L"typed: caf\u00e9 \u4e2d\u6587 \U0001F600 ";
    const std::wstring pasted =
        L"CR LF\r\nlone LF\nlone CR\rCR CR LF\r\r\nend: na\u00efve \u00c5ngstr\u00f6m, "
        L"\u65e5\u672c\u8a9e\u306e\u4e88\u5b9a \U0001F600\U0001F389";
    RoundTrip(
        [&](HWND note) {
            Type(note, typed);
            Paste(note, pasted);
        },
        typed + pasted);
}

}  // namespace
}  // namespace velmi::reliability
