// The Run value and setup's choice, in scratch keys standing for
// HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER.
#include "sign_in.h"

#include "registry.h"
#include "scratch_key_fixture.h"

#include <gtest/gtest.h>

namespace velmi {
namespace {

using testing::ScratchKey;

constexpr wchar_t kRun[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kProgram[] = L"C:\\Program Files\\Tolvane\\Velmi\\Velmi.exe";
constexpr wchar_t kCommand[] = L"\"C:\\Program Files\\Tolvane\\Velmi\\Velmi.exe\" /minimized";

std::wstring RunValue(HKEY user) { return ReadRegText(user, kRun, L"Velmi", L"none").text; }

void SetDword(HKEY root, const wchar_t* name, DWORD value) {
    ASSERT_EQ(RegSetKeyValueW(root, L"Software\\Tolvane\\Velmi", name, REG_DWORD, &value,
                              sizeof value),
              ERROR_SUCCESS);
}

TEST(SignIn, SetsAndRemovesTheRunValue) {
    ScratchKey user(L"SignInUser");
    EXPECT_FALSE(SetStartAtSignIn(user.get(), false, kProgram).Failed());  // nothing to remove
    EXPECT_FALSE(SetStartAtSignIn(user.get(), true, kProgram).Failed());
    EXPECT_EQ(RunValue(user.get()), kCommand);
    EXPECT_FALSE(SetStartAtSignIn(user.get(), false, kProgram).Failed());
    EXPECT_EQ(RunValue(user.get()), L"none");
}

TEST(SignIn, SetupsChoiceIsAppliedOncePerUser) {
    constexpr DWORD kNone = 2;
    struct Case {
        DWORD machine;      // kNone: setup left no choice
        bool appliedBefore; // the user started Velmi since setup
        bool runBefore;
        const wchar_t* runAfter;
    };
    for (const Case c : {Case{1, false, false, kCommand}, Case{0, false, true, L"none"},
                         Case{1, true, false, L"none"}, Case{0, true, true, kCommand},
                         Case{kNone, false, true, kCommand}}) {
        ScratchKey machine(L"SignInMachine");
        ScratchKey user(L"SignInUser");
        if (c.machine != kNone) SetDword(machine.get(), L"StartAtSignIn", c.machine);
        if (c.appliedBefore) SetDword(user.get(), L"StartAtSignInApplied", 1);
        if (c.runBefore) {
            ASSERT_FALSE(SetStartAtSignIn(user.get(), true, kProgram).Failed());
        }
        ApplySetupChoice(machine.get(), user.get(), kProgram);
        EXPECT_EQ(RunValue(user.get()), c.runAfter) << c.machine << c.appliedBefore;
        // Later starts leave the value to the user.
        const bool flipped = RunValue(user.get()) != kCommand;
        ASSERT_FALSE(SetStartAtSignIn(user.get(), flipped, kProgram).Failed());
        ApplySetupChoice(machine.get(), user.get(), kProgram);
        EXPECT_EQ(RunValue(user.get()) == kCommand, flipped) << c.machine << c.appliedBefore;
    }
}

TEST(SignIn, FindsTheSwitchAfterTheProgramName) {
    EXPECT_TRUE(HasMinimizedSwitch(L"\"C:\\a b\\Velmi.exe\" /MINIMIZED"));
    EXPECT_FALSE(HasMinimizedSwitch(L"C:\\minimized\\Velmi.exe /min"));
}

}  // namespace
}  // namespace velmi
