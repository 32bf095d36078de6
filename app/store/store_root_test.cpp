#include "store_root.h"

#include "note_keys.h"
#include "registry_note_store.h"
#include "scratch_key_fixture.h"

#include <gtest/gtest.h>

namespace velmi {
namespace {

// Two keys of the test's own stand in for HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER.
class StoreRoot : public ::testing::Test {
protected:
    [[nodiscard]] bool UserStoreExists() const {
        return static_cast<bool>(testing::Open(user_.get(), std::wstring(kStoreKeyPath), KEY_READ));
    }
    testing::ScratchKey machine_{L"RootMachine"};
    testing::ScratchKey user_{L"RootUser"};
    RegistryNoteStore machineNotes_{machine_.get()};
    RegistryNoteStore userNotes_{user_.get()};
};

TEST_F(StoreRoot, ExistingUserStoreWinsElseWritableMachine) {
    ASSERT_FALSE(machineNotes_.WriteNote(100, L"machine").Failed());
    const StoreRootChoice machine = ChooseStoreRoot(machine_.get(), user_.get(), true);
    EXPECT_EQ(machine.root, machine_.get());
    EXPECT_FALSE(machine.copied);
    EXPECT_FALSE(UserStoreExists());

    ASSERT_FALSE(userNotes_.WriteNote(200, L"user").Failed());
    const StoreRootChoice user = ChooseStoreRoot(machine_.get(), user_.get(), true);
    EXPECT_EQ(user.root, user_.get());
    EXPECT_FALSE(user.copied);
}

TEST_F(StoreRoot, RefusingMachineIsCopiedToUserOnce) {
    const std::wstring note = L"Dentist\r\n{*09:30AM*} \u00e9";
    ASSERT_FALSE(machineNotes_.WriteNote(36526, note).Failed());
    ASSERT_FALSE(machineNotes_.WriteNote(36527, L"").Failed());

    const StoreRootChoice first = ChooseStoreRoot(machine_.get(), user_.get(), false);
    EXPECT_EQ(first.root, user_.get());
    EXPECT_TRUE(first.copied);
    EXPECT_EQ(first.copy.status, RegStatus::kDone);
    EXPECT_EQ(userNotes_.ReadNote(36526).text, note);
    // Copied byte for byte: still no terminating zeros.
    EXPECT_EQ(testing::Stored(user_.get(), NoteKeyPath(36526)).size, note.size() * 2);
    EXPECT_EQ(testing::Stored(user_.get(), NoteKeyPath(36527)).type, DWORD{REG_SZ});
    EXPECT_EQ(testing::Stored(user_.get(), NoteKeyPath(36527)).size, 0u);

    ASSERT_FALSE(machineNotes_.WriteNote(36526, L"changed").Failed());
    const StoreRootChoice second = ChooseStoreRoot(machine_.get(), user_.get(), false);
    EXPECT_EQ(second.root, user_.get());
    EXPECT_FALSE(second.copied);
    EXPECT_EQ(userNotes_.ReadNote(36526).text, note);
}

TEST_F(StoreRoot, RefusingMachineWithoutNotesCopiesNothing) {
    const StoreRootChoice choice = ChooseStoreRoot(machine_.get(), user_.get(), false);
    EXPECT_EQ(choice.root, user_.get());
    EXPECT_FALSE(choice.copied);
    EXPECT_EQ(choice.copy.status, RegStatus::kMissing);
    EXPECT_FALSE(UserStoreExists());
}

TEST_F(StoreRoot, WriteProbeLooksForTheStoreOrSoftwareAndChangesNothing) {
    EXPECT_FALSE(CanWriteStore(machine_.get()));  // not even "Software" to create it under
    ASSERT_FALSE(WriteRegText(machine_.get(), L"Software", L"", L"").Failed());
    EXPECT_TRUE(CanWriteStore(machine_.get()));
    EXPECT_FALSE(testing::Open(machine_.get(), std::wstring(kStoreKeyPath), KEY_READ));
    ASSERT_FALSE(machineNotes_.WriteNote(1, L"x").Failed());
    EXPECT_TRUE(CanWriteStore(machine_.get()));
}

}  // namespace
}  // namespace velmi
