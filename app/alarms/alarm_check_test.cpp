#include "alarm_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmi {
namespace {

// Each reading of this clock is one second later than the one before.
class SteppingClock final : public Clock {
public:
    explicit SteppingClock(TimeOfDay start) : next_(start) {}
    [[nodiscard]] LocalDateTime Now() const override {
        const TimeOfDay now = next_;
        next_.minute += ++next_.second / 60;
        next_.second %= 60;
        return {{2026, 12, 5}, now};
    }

private:
    mutable TimeOfDay next_;
};

class RecordingOutput final : public AlarmOutput {
public:
    void PlaySound(std::wstring_view fileName) override { events.emplace_back(fileName); }
    void ShowReport(std::wstring_view text) override { events.emplace_back(text); }
    std::vector<std::wstring> events;
};

std::vector<std::wstring> Fired(const MinuteTable& table, TimeOfDay now,
                                std::wstring_view prefix = kAlarmPrefix) {
    RecordingOutput out;
    CheckDue(table, SteppingClock(now), out, prefix);
    return out.events;
}

TEST(CheckDue, DueEntryPlaysFiveTimesThenReportsTheTimeReadFirst) {
    // The clock turns to 09:31 on its next reading; the report keeps 09:30:59.
    const std::vector<std::wstring> once = {L"laser.wav", L"laser.wav",
                                            L"laser.wav", L"laser.wav",
                                            L"laser.wav", L"Alarm went off at 09:30:59"};
    EXPECT_EQ(Fired({{0, 600, 570}, 2}, {9, 30, 59}), once);
    EXPECT_EQ(Fired({{0, 570, 570}, 2}, {9, 30, 59}), once);
    EXPECT_EQ(Fired({{0, 5}, 1}, {0, 5, 0}, kTimerPrefix).back(), L"Timer went off at 00:05:00");
}

TEST(CheckDue, OnlyEntriesInUseCount) {
    EXPECT_TRUE(Fired({{}, 0}, {0, 0, 5}).empty());   // nothing armed, every entry 0
    EXPECT_EQ(Fired({{}, 1}, {0, 0, 5}).size(), 6u);  // an alarm at midnight
    EXPECT_TRUE(Fired({{0, 569, 571}, 2}, {9, 30, 0}).empty());
    // Neither entry 0 nor the entries above the count are looked at.
    EXPECT_TRUE(Fired({{570, 1, 570}, 1}, {9, 30, 0}).empty());
}

}  // namespace
}  // namespace velmi
