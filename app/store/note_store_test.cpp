#include "note_keys.h"
#include "registry_note_store.h"

#include "scratch_key_fixture.h"

#include <gtest/gtest.h>

namespace velmi {
namespace {

constexpr DateSerial kNewYear2000 = 36526;

// Reading creates nothing; a note, even an empty one, lives under its day's
// key and goes with that key alone.
TEST(RegistryNoteStore, NotesLiveAtTheirDaysKeys) {
    testing::ScratchKey root(L"Notes");
    RegistryNoteStore store(root.get());
    EXPECT_EQ(store.ReadNote(kNewYear2000).result.status, RegStatus::kMissing);
    EXPECT_FALSE(testing::Open(root.get(), L"Software", KEY_READ));

    ASSERT_EQ(store.WriteNote(kNewYear2000, L"").status, RegStatus::kDone);
    EXPECT_EQ(store.ReadNote(kNewYear2000).result.status, RegStatus::kDone);
    ASSERT_FALSE(store.WriteNote(kNewYear2000 + 1, L"next day").Failed());
    EXPECT_EQ(store.RemoveDay(kNewYear2000).status, RegStatus::kDone);
    EXPECT_FALSE(testing::Open(root.get(), DayKeyPath(kNewYear2000), KEY_READ));
    EXPECT_EQ(store.RemoveDay(kNewYear2000).status, RegStatus::kMissing);
    EXPECT_EQ(store.ReadNote(kNewYear2000 + 1).text, L"next day");
}

}  // namespace
}  // namespace velmi
