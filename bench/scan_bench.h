// The alarm scan over very large notes.
#pragma once

#include <cstddef>

namespace velmi::bench {

struct ScanRun {
    double markedSeconds = 0;    // median, ten markers spread through the note
    double fragmentSeconds = 0;  // median, a note of nothing but "{*"
    int markedArmed = 0;         // alarms the scans armed, to show they read what they should
    int fragmentArmed = 0;
};

[[nodiscard]] ScanRun RunScans(std::size_t noteLength, int repeats);

}  // namespace velmi::bench
