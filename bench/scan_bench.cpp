#include "scan_bench.h"

#include "alarm_scan.h"
#include "notes.h"
#include "program_probe.h"
#include "stats.h"

#include <vector>

namespace velmi::bench {
namespace {

constexpr int kMarkers = 10;

double TimeScan(const std::wstring& note, int repeats, int& armed) {
    std::vector<double> times;
    MinuteTable alarms;
    for (int i = 0; i < repeats; ++i) {
        const double start = Seconds();
        ScanAlarms(note, alarms);
        times.push_back(Seconds() - start);
    }
    armed = alarms.count;
    return Median(std::move(times));
}

}  // namespace

ScanRun RunScans(std::size_t noteLength, int repeats) {
    ScanRun run;
    run.markedSeconds = TimeScan(MarkedNote(noteLength, kMarkers), repeats, run.markedArmed);
    run.fragmentSeconds = TimeScan(FragmentNote(noteLength), repeats, run.fragmentArmed);
    return run;
}

}  // namespace velmi::bench
