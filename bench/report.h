// The benchmark's one table: every figure of the run, beside its baseline
// and its goal.
#pragma once

#include <string>
#include <vector>

namespace velmi::bench {

enum class Verdict { kMet, kMissed, kNotMeasured, kInfo };

struct Row {
    std::string figure;
    std::string measured;
    std::string baseline;  // the baseline program's figure, when there is one
    std::string relation;  // measured against the baseline
    std::string goal;
    Verdict verdict = Verdict::kInfo;
};

// printf-style formatting into a string.
[[nodiscard]] std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

[[nodiscard]] inline Verdict Judge(bool met) {
    return met ? Verdict::kMet : Verdict::kMissed;
}

void PrintTable(const std::vector<Row>& rows);

}  // namespace velmi::bench
