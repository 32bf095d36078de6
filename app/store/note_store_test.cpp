#include "registry_note_store.h"

#include "scratch_key_fixture.h"

#include <gtest/gtest.h>

namespace velmi {
namespace {

constexpr DateSerial kNewYear2000 = 36526;
const std::wstring kNoteKey = L"Software\\Tolvane\\Ruviruve\\ 36526\\task";

TEST(RegistryNoteStore, DayWithoutNoteReadsEmptyAndCreatesNothing) {
    testing::ScratchKey root(L"NotesMissing");
    RegistryNoteStore store(root.get());
    const RegText read = store.ReadNote(kNewYear2000);
    EXPECT_EQ(read.result.status, RegStatus::kMissing);
    EXPECT_EQ(read.text, L"");
    EXPECT_FALSE(testing::Open(root.get(), L"Software", KEY_READ));
}

TEST(RegistryNoteStore, NoteLivesAtTheDaysKeyAndGoesWithIt) {
    testing::ScratchKey root(L"NotesLayout");
    RegistryNoteStore store(root.get());
    ASSERT_EQ(store.WriteNote(kNewYear2000, L"").status, RegStatus::kDone);
    const testing::StoredValue empty = testing::Stored(root.get(), kNoteKey);
    EXPECT_EQ(empty.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(empty.size, 0u);
    EXPECT_EQ(store.ReadNote(kNewYear2000).result.status, RegStatus::kDone);

    ASSERT_FALSE(store.WriteNote(kNewYear2000, L"Gym\r\n{*07:45PM*}").Failed());
    ASSERT_FALSE(store.WriteNote(kNewYear2000 + 1, L"next day").Failed());
    EXPECT_EQ(ReadRegText(root.get(), kNoteKey, L"", L"").text, L"Gym\r\n{*07:45PM*}");

    EXPECT_EQ(store.RemoveDay(kNewYear2000).status, RegStatus::kDone);
    EXPECT_FALSE(testing::Open(root.get(), L"Software\\Tolvane\\Ruviruve\\ 36526", KEY_READ));
    EXPECT_EQ(store.RemoveDay(kNewYear2000).status, RegStatus::kMissing);
    EXPECT_EQ(store.ReadNote(kNewYear2000 + 1).text, L"next day");
}

}  // namespace
}  // namespace velmi
