// The notes the benchmark feeds to the program: large ones for the alarm
// scan and ordinary ones for the day store.
#pragma once

#include "date_core.h"

#include <cstddef>
#include <string>

namespace velmi::bench {

// Plain prose of exactly `length` characters with `markers` valid alarm
// markers ("{*hh:mmAM*}"), the first at the start and the last at the very
// end, so a scan that arms them all reads the whole note.
[[nodiscard]] std::wstring MarkedNote(std::size_t length, int markers);

// `length` characters of "{*" fragments: an opening on every other character,
// none of them a marker.
[[nodiscard]] std::wstring FragmentNote(std::size_t length);

// A day's note as a user writes one: a few lines, some with an alarm.
[[nodiscard]] std::wstring DayNote(DateSerial day);

// One of two day lists (`which` 0 or 1) of exactly `lines` short lines,
// every fourth with an alarm: what the day changes carry back and forth. No
// line wraps in Velmi's note box.
[[nodiscard]] std::wstring ListNote(int which, int lines);

}  // namespace velmi::bench
