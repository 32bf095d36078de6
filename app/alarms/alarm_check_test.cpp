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

std::vector<std::wstring> Fired(std::initializer_list<std::int32_t> minutes, TimeOfDay now,
                                std::wstring_view prefix = kAlarmPrefix) {
    MinuteTable table;
    for (const std::int32_t m : minutes)
        table.minutes[static_cast<std::size_t>(++table.count)] = m;
    RecordingOutput out;
    CheckDue(table, SteppingClock(now), out, prefix);
    return out.events;
}

TEST(CheckDue, DueEntryPlaysFiveTimesThenReportsTheTimeReadFirst) {
    // The clock turns to 09:31 on its next reading; the report keeps 09:30:59.
    const std::vector<std::wstring> once = {L"laser.wav", L"laser.wav",
                                            L"laser.wav", L"laser.wav",
                                            L"laser.wav", L"Alarm went off at 09:30:59"};
    EXPECT_EQ(Fired({600, 570}, {9, 30, 59}), once);
    EXPECT_EQ(Fired({570, 570}, {9, 30, 59}), once);
    EXPECT_EQ(Fired({5}, {0, 5, 0}, kTimerPrefix).back(), L"Timer went off at 00:05:00");
}

TEST(CheckDue, OnlyEntriesInUseCountAndNothingIsDisarmed) {
    EXPECT_TRUE(Fired({}, {0, 0, 5}).empty());  // nothing armed, every entry 0
    EXPECT_TRUE(Fired({569, 571}, {9, 30, 0}).empty());
    EXPECT_EQ(Fired({0}, {0, 0, 5}).size(), 6u);

    MinuteTable table;
    table.minutes = {570, 1, 570};  // entry 0 and entries above the count are not looked at
    table.count = 1;
    RecordingOutput out;
    CheckDue(table, SteppingClock({9, 30, 0}), out, kAlarmPrefix);
    EXPECT_TRUE(out.events.empty());
    table.minutes[1] = 570;
    CheckDue(table, SteppingClock({9, 30, 0}), out, kAlarmPrefix);
    CheckDue(table, SteppingClock({9, 30, 50}), out, kAlarmPrefix);
    EXPECT_EQ(out.events.size(), 12u);
}

}  // namespace
}  // namespace velmi
