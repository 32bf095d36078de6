// Setup's choice applied to the Run value, in scratch keys standing for HKLM and HKCU.
#include "sign_in.h"

#include "registry.h"
#include "scratch_key_fixture.h"

#include <gtest/gtest.h>

namespace velmi {

constexpr wchar_t kProgram[] = L"C:\\Program Files\\Tolvane\\Velmi\\Velmi.exe";
constexpr wchar_t kCommand[] = L"\"C:\\Program Files\\Tolvane\\Velmi\\Velmi.exe\" /minimized";

std::wstring RunValue(HKEY user) {
    return ReadRegText(user, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", L"Velmi", L"")
        .text;
}

TEST(SignIn, SetupsChoiceSetsTheRunValueOncePerUser) {
    const DWORD none = 2, one = 1;  // none: setup left no choice
    struct Case {
        DWORD machine;
        bool appliedBefore, runBefore;  // the user started Velmi since setup; the value was there
        const wchar_t* runAfter;
    };
    for (const Case c :
         {Case{1, false, false, kCommand}, Case{0, false, true, L""}, Case{0, false, false, L""},
          Case{1, true, false, L""}, Case{none, false, true, kCommand}}) {
        testing::ScratchKey machine(L"SignInMachine"), user(L"SignInUser");
        const auto set = [](HKEY root, const wchar_t* name, const DWORD& value) {
            RegSetKeyValueW(root, L"Software\\Tolvane\\Velmi", name, REG_DWORD, &value, 4);
        };
        if (c.machine != none) set(machine.get(), L"StartAtSignIn", c.machine);
        if (c.appliedBefore) set(user.get(), L"StartAtSignInApplied", one);
        EXPECT_FALSE(SetStartAtSignIn(user.get(), c.runBefore, kProgram).Failed());
        ApplySetupChoice(machine.get(), user.get(), kProgram);
        EXPECT_EQ(RunValue(user.get()), c.runAfter) << c.machine << c.appliedBefore;
        // Later starts leave the value to the user.
        const bool flipped = RunValue(user.get()).empty();
        EXPECT_FALSE(SetStartAtSignIn(user.get(), flipped, kProgram).Failed());
        ApplySetupChoice(machine.get(), user.get(), kProgram);
        EXPECT_EQ(RunValue(user.get()).empty(), !flipped) << c.machine << c.appliedBefore;
    }
}

}  // namespace velmi
