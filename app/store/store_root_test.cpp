#include "store_root.h"

#include "note_keys.h"
#include "registry_note_store.h"
#include "scratch_key_fixture.h"

#include <gtest/gtest.h>

namespace velmi {
namespace {

// Two keys of the test's own stand in for HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER.
struct StoreRoot : ::testing::Test {
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
    EXPECT_FALSE(testing::Open(user_.get(), std::wstring(kStoreKeyPath), KEY_READ));

    ASSERT_FALSE(userNotes_.WriteNote(200, L"user").Failed());
    const StoreRootChoice user = ChooseStoreRoot(machine_.get(), user_.get(), true);
    EXPECT_EQ(user.root, user_.get());
    EXPECT_FALSE(user.copied);
}

// A machine root that refuses writes: its notes, once it has any, are copied
// to the user root, and only once.
TEST_F(StoreRoot, RefusingMachineIsCopiedToUserOnce) {
    const StoreRootChoice none = ChooseStoreRoot(machine_.get(), user_.get(), false);
    EXPECT_EQ(none.root, user_.get());
    EXPECT_FALSE(none.copied);
    EXPECT_EQ(none.copy.status, RegStatus::kMissing);
    EXPECT_FALSE(testing::Open(user_.get(), std::wstring(kStoreKeyPath), KEY_READ));

    const std::wstring note = L"Dentist\r\n{*09:30AM*} \u00e9";
    ASSERT_FALSE(machineNotes_.WriteNote(36526, note).Failed());
    ASSERT_FALSE(machineNotes_.WriteNote(36527, L"").Failed());
    const StoreRootChoice first = ChooseStoreRoot(machine_.get(), user_.get(), false);
    EXPECT_EQ(first.root, user_.get());
    EXPECT_TRUE(first.copied);
    EXPECT_EQ(first.copy.status, RegStatus::kDone);
    EXPECT_EQ(userNotes_.ReadNote(36526).text, note);
    // Copied byte for byte, terminating zeros and all.
    EXPECT_EQ(testing::Stored(user_.get(), NoteKeyPath(36526)).size, (note.size() + 1) * 2);
    EXPECT_EQ(testing::Stored(user_.get(), NoteKeyPath(36527)).type, DWORD{REG_SZ});
    EXPECT_EQ(testing::Stored(user_.get(), NoteKeyPath(36527)).size, 2u);

    ASSERT_FALSE(machineNotes_.WriteNote(36526, L"changed").Failed());
    const StoreRootChoice second = ChooseStoreRoot(machine_.get(), user_.get(), false);
    EXPECT_EQ(second.root, user_.get());
    EXPECT_FALSE(second.copied);
    EXPECT_EQ(userNotes_.ReadNote(36526).text, note);
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
