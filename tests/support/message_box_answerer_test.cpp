#include "message_box_answerer.h"

#include <gtest/gtest.h>

namespace velmi::test {
namespace {

using namespace std::chrono_literals;

TEST(MessageBoxAnswerer, ReadsAndAnswersBoxesOfThisProcess) {
    MessageBoxAnswerer answerer(IDNO);
    EXPECT_EQ(MessageBoxW(nullptr, L"Close anyway?", L"Velmi", MB_YESNO), IDNO);
    EXPECT_EQ(MessageBoxW(nullptr, L"Invalid date", L"Ruviruve", MB_OK), IDOK);  // no "No": first
    answerer.SetAnswer(IDYES);
    EXPECT_EQ(MessageBoxW(nullptr, L"Again?", L"Velmi", MB_YESNO | MB_ICONWARNING), IDYES);

    const auto seen = answerer.Seen();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].title, L"Velmi");
    EXPECT_EQ(seen[0].text, L"Close anyway?");
    EXPECT_EQ(seen[0].buttons.size(), 2u);
    EXPECT_FALSE(seen[0].hasIcon);
    EXPECT_EQ(seen[1].text, L"Invalid date");
    EXPECT_EQ(seen[1].buttons, std::vector<std::wstring>{L"OK"});
    EXPECT_TRUE(seen[2].hasIcon);
}

}  // namespace
}  // namespace velmi::test
