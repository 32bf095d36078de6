#include "alarm_check.h"

#include "alarm_scan.h"

#include <algorithm>

namespace velmi {
namespace {

[[nodiscard]] bool IsDue(const MinuteTable& table, int minute) noexcept {
    const int count = std::clamp(table.count, 0, MinuteTable::kCapacity);
    for (int i = 1; i <= count; ++i) {
        if (table.minutes[static_cast<std::size_t>(i)] == minute) return true;
    }
    return false;
}

}  // namespace

void CheckDue(const MinuteTable& table, const Clock& clock, AlarmOutput& out,
              std::wstring_view prefix) {
    const TimeOfDay now = clock.Now().time;
    if (!IsDue(table, MinuteOfDay(now))) return;
    for (int play = 0; play < kAlarmPlays; ++play)
        out.PlaySound(kAlarmSound);
    out.ShowReport(ReportText(prefix, now));
}

}  // namespace velmi
