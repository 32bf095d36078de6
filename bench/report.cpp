#include "report.h"

#include <algorithm>
#include <array>
#include <cstdarg>
#include <cstdio>

namespace velmi::bench {
namespace {

const char* VerdictText(Verdict v) {
    switch (v) {
        case Verdict::kMet:
            return "met";
        case Verdict::kMissed:
            return "MISSED";
        case Verdict::kNotMeasured:
            return "NOT MEASURED";
        case Verdict::kInfo:
            return "";
    }
    return "";
}

}  // namespace

std::string Format(const char* format, ...) {
    std::array<char, 512> text{};
    va_list args;
    va_start(args, format);
    std::vsnprintf(text.data(), text.size(), format, args);
    va_end(args);
    return text.data();
}

void PrintTable(const std::vector<Row>& rows) {
    constexpr std::size_t kColumns = 6;
    using Line = std::array<std::string, kColumns>;
    std::vector<Line> lines{{"Figure", "Velmi", "Floor", "Ratio", "Goal", "Result"}};
    for (const Row& r : rows)
        lines.push_back(
            {r.figure, r.measured, r.baseline, r.relation, r.goal, VerdictText(r.verdict)});
    std::array<std::size_t, kColumns> width{};
    for (const Line& line : lines) {
        for (std::size_t c = 0; c < kColumns; ++c)
            width[c] = std::max(width[c], line[c].size());
    }
    auto print = [&](const Line& line) {
        std::string text = "|";
        for (std::size_t c = 0; c < kColumns; ++c)
            text += " " + line[c] + std::string(width[c] - line[c].size(), ' ') + " |";
        std::puts(text.c_str());
    };
    print(lines[0]);
    std::string rule = "|";
    for (std::size_t w : width)
        rule += std::string(w + 2, '-') + "|";
    std::puts(rule.c_str());
    for (std::size_t i = 1; i < lines.size(); ++i)
        print(lines[i]);
    std::fflush(stdout);
}

}  // namespace velmi::bench
