// The benchmark of Velmi under Wine: start-up, day changes, the alarm scan,
// memory, size and idle processor time, each measured in this run, beside
// the baseline program where one applies, printed as one table. The exit
// status is 0 when every goal is met.
//   velmi_bench [--runs N] [--idle SECONDS] [--changes N] [--only PART]
#include "day_change.h"
#include "velmi_ids.h"
#include "pe_image.h"
#include "program_probe.h"
#include "report.h"
#include "scan_bench.h"
#include "stats.h"

#include <ole2.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string_view>

namespace velmi::bench {
namespace {

struct Options {
    int startupRuns = 21;  // of each program
    int idleSeconds = 25;  // twice: each program in front once
    int dayChanges = 1000;
    std::wstring only;  // one part alone: startup, changes, scan, footprint or size
};

constexpr int kWarmupStarts = 2;
constexpr int kStoredDays = 10000;
constexpr int kOutsideChanges = 100;
constexpr std::size_t kScanLength = 1 << 20;  // characters
constexpr int kScanRepeats = 21;
constexpr double kMiB = 1024.0 * 1024.0;

constexpr WindowSign kVelmiWindow{VELMI_CLASS_MAIN_WINDOW, L"Scheduled items for "};
constexpr WindowSign kBaselineWindow{L"VelmiBenchBaseline", L"Velmi benchmark baseline"};
constexpr wchar_t kVelmiFile[] = L"Velmi.exe";
constexpr wchar_t kBaselineFile[] = L"bench_baseline.exe";

void Progress(const char* text) {
    std::fprintf(stderr, "bench: %s\n", text);
    std::fflush(stderr);
}

std::string Ms(double seconds) {
    return Format(seconds < 0.01 ? "%.3f ms" : "%.1f ms", seconds * 1000);
}

// Seconds from CreateProcess to the window shown with its caption; negative
// when it never came.
double StartOnce(const wchar_t* file, const WindowSign& sign) {
    Program program;
    if (!program.Start(file)) return -1;
    const double seen = program.WaitForWindow(sign);
    program.Close();
    return seen < 0 ? -1 : seen - program.StartedAt();
}

Row StartupRow(int runs) {
    Progress(Format("start-up, %d runs of each program, alternating", runs).c_str());
    std::vector<double> velmi, baseline;
    for (int i = 0; i < kWarmupStarts + runs; ++i) {
        const double v = StartOnce(kVelmiFile, kVelmiWindow);
        const double b = StartOnce(kBaselineFile, kBaselineWindow);
        if (v < 0 || b < 0)
            return {"Start-up", "did not start", "", "", "<= 1.5 x", Verdict::kNotMeasured};
        if (i < kWarmupStarts) continue;
        velmi.push_back(v);
        baseline.push_back(b);
    }
    const double ratio = Median(velmi) / Median(baseline);
    return {Format("Start-up, median of %d", runs),
            Ms(Median(velmi)),
            Ms(Median(baseline)),
            Format("%.2f x", ratio),
            "<= 1.5 x",
            Judge(ratio <= 1.5)};
}

// Processor time of both programs over a stretch of doing nothing, scaled
// to five minutes; negative when unreadable.
struct IdleCpu {
    double velmi = -1, baseline = -1;
};

IdleCpu MeasureIdle(Program& velmi, Program& baseline, HWND front, int seconds) {
    SetForegroundWindow(front);
    Sleep(1000);  // what bringing it to the front set off is no idling
    const double velmiStart = velmi.CpuSeconds(), baselineStart = baseline.CpuSeconds();
    const double start = Seconds();
    Sleep(static_cast<DWORD>(seconds) * 1000);
    const double scale = 300 / (Seconds() - start);
    const double velmiEnd = velmi.CpuSeconds(), baselineEnd = baseline.CpuSeconds();
    if (velmiStart < 0 || baselineStart < 0 || velmiEnd < 0 || baselineEnd < 0) return {};
    return {(velmiEnd - velmiStart) * scale, (baselineEnd - baselineStart) * scale};
}

Row IdleRow(std::string figure, double velmi, double baseline, bool judged) {
    const bool read = velmi >= 0 && baseline >= 0;
    const std::string goal = judged ? "< 50 ms" : "";
    const Verdict info = judged ? Verdict::kNotMeasured : Verdict::kInfo;
    if (!read) return {std::move(figure), "unreadable", "", "", goal, info};
    return {std::move(figure),
            Ms(velmi),
            Ms(baseline),
            "",
            goal,
            judged ? Judge(velmi < 0.05) : Verdict::kInfo};
}

// Memory and idle time come from the same two processes: Velmi after its
// start-up and the day changes, the baseline after its start-up.
struct Footprint {
    Row memory, idleInFront, idleBehind;
};

Footprint MeasureFootprint(int idleSeconds) {
    const std::string memoryGoal = "<= baseline + 4 MiB";
    Program velmi, baseline;
    // The baseline first, so that Velmi comes up in front, as a user starts it.
    if (!baseline.Start(kBaselineFile) || baseline.WaitForWindow(kBaselineWindow) < 0 ||
        !velmi.Start(kVelmiFile) || velmi.WaitForWindow(kVelmiWindow) < 0) {
        return {{"Peak working set", "did not start", "", "", memoryGoal, Verdict::kNotMeasured},
                IdleRow("Idle CPU per 5 min", -1, -1, true),
                IdleRow("Idle CPU per 5 min, behind", -1, -1, false)};
    }
    Progress(
        Format("idle: 2 x %d s of both programs doing nothing, each in front once", idleSeconds)
            .c_str());
    // Velmi as it starts: the note box has the focus, and its caret blinks.
    const IdleCpu velmiInFront = MeasureIdle(velmi, baseline, velmi.Window(), idleSeconds);
    const IdleCpu baselineInFront = MeasureIdle(velmi, baseline, baseline.Window(), idleSeconds);
    Footprint result{{"Peak working set", "unreadable", "", "", memoryGoal, Verdict::kNotMeasured},
                     IdleRow(Format("Idle CPU per 5 min, in front (%d s scaled)", idleSeconds),
                             velmiInFront.velmi, baselineInFront.baseline, true),
                     IdleRow("Idle CPU per 5 min, behind the other", baselineInFront.velmi,
                             velmiInFront.baseline, false)};

    Progress(Format("memory: %d day changes in a running Velmi", kOutsideChanges).c_str());
    SetForegroundWindow(velmi.Window());
    const int changes = DriveDayChanges(velmi.Window(), kOutsideChanges);
    if (changes != kOutsideChanges) {
        result.memory.measured = Format("%d of %d changes seen", changes, kOutsideChanges);
        return result;
    }
    const double velmiPeak = static_cast<double>(velmi.PeakWorkingSet()) / kMiB;
    const double baselinePeak = static_cast<double>(baseline.PeakWorkingSet()) / kMiB;
    if (velmiPeak > 0 && baselinePeak > 0) {
        result.memory = {Format("Peak working set, after %d day changes", changes),
                         Format("%.1f MiB", velmiPeak),
                         Format("%.1f MiB", baselinePeak),
                         Format("%+.1f MiB", velmiPeak - baselinePeak),
                         memoryGoal,
                         Judge(velmiPeak - baselinePeak <= 4)};
    }
    return result;
}

std::vector<Row> DayChangeRows(int changes) {
    Progress(Format("day changes: %d in this process over %d stored days", changes, kStoredDays)
                 .c_str());
    const DayChangeRun run = RunInProcessDayChanges(changes, kStoredDays);
    if (!run.error.empty() || run.change.empty()) {
        std::fprintf(stderr, "bench: day changes stopped: %ls\n", run.error.c_str());
        return {
            {"Day change", "failed", "", "", "median < 2 ms, p99 < 10 ms", Verdict::kNotMeasured}};
    }
    const std::string what =
        Format("%d changes, %d days stored", static_cast<int>(run.change.size()), kStoredDays);
    const double median = Median(run.change), p99 = Quantile(run.change, 0.99);
    return {
        {"Day change, median (" + what + ")", Ms(median), "", "", "< 2 ms", Judge(median < 0.002)},
        {"Day change, 99th percentile", Ms(p99), "", "", "< 10 ms", Judge(p99 < 0.010)},
        {"Day change with repaint, median / p99",
         Ms(Median(run.withRepaint)) + " / " + Ms(Quantile(run.withRepaint, 0.99)), "", "", "",
         Verdict::kInfo}};
}

std::vector<Row> ScanRows() {
    Progress("alarm scan over 1 Mi-character notes");
    const ScanRun run = RunScans(kScanLength, kScanRepeats);
    const bool read = run.markedArmed == 10 && run.fragmentArmed == 0;
    const Verdict unread = Verdict::kNotMeasured;
    return {{"Scan, 1 Mi chars, 10 markers spread", Ms(run.markedSeconds), "", "", "< 5 ms",
             read ? Judge(run.markedSeconds < 0.005) : unread},
            {"Scan, 1 Mi chars of \"{*\"", Ms(run.fragmentSeconds), "", "", "< 5 ms",
             read ? Judge(run.fragmentSeconds < 0.005) : unread}};
}

// Stripped, and importing nothing but system libraries; else what is wrong.
std::string LinkProblems(const wchar_t* name, const PeFacts& facts) {
    std::string problems;
    if (!facts.stripped) problems += Format(" %ls has symbols;", name);
    for (const std::string& dll : facts.imports) {
        if (!IsSystemLibrary(dll)) problems += Format(" %ls imports %s;", name, dll.c_str());
    }
    return problems;
}

Row SizeRow() {
    const std::wstring dir = ProgramDir();
    const auto velmi = ReadPeFile(dir + kVelmiFile);
    const auto nuv = ReadPeFile(dir + L"Nuv.ocx");
    const auto baseline = ReadPeFile(dir + kBaselineFile);
    const std::string goal = "< 1024 KiB, stripped, static";
    if (!velmi || !nuv) return {"Size", "unreadable", "", "", goal, Verdict::kNotMeasured};
    const double total = static_cast<double>(velmi->size + nuv->size) / 1024;
    const std::string problems = LinkProblems(kVelmiFile, *velmi) + LinkProblems(L"Nuv.ocx", *nuv);
    return {"Size, Velmi.exe + Nuv.ocx",
            Format("%.0f + %.0f = %.0f KiB", static_cast<double>(velmi->size) / 1024,
                   static_cast<double>(nuv->size) / 1024, total),
            baseline ? Format("%.0f KiB", static_cast<double>(baseline->size) / 1024) : "",
            problems.empty() ? "stripped, static" : problems,
            goal,
            Judge(total < 1024 && problems.empty())};
}

Options ParseOptions(int argc, wchar_t** argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::wstring_view name = argv[i];
        if (name == L"--only") options.only = argv[i + 1];
        const int value = _wtoi(argv[i + 1]);
        if (value <= 0) continue;
        if (name == L"--runs") options.startupRuns = value;
        if (name == L"--idle") options.idleSeconds = value;
        if (name == L"--changes") options.dayChanges = value;
    }
    return options;
}

int Run(const Options& options) {
    auto wanted = [&](std::wstring_view part) {
        return options.only.empty() || options.only == part;
    };
    // The programs of their own first, before this process holds a main window itself.
    std::vector<Row> rows;
    if (wanted(L"startup")) rows.push_back(StartupRow(options.startupRuns));
    std::optional<Footprint> footprint;
    if (wanted(L"footprint")) footprint = MeasureFootprint(options.idleSeconds);
    if (wanted(L"changes")) {
        for (const Row& row : DayChangeRows(options.dayChanges))
            rows.push_back(row);
    }
    if (wanted(L"scan")) {
        for (const Row& row : ScanRows())
            rows.push_back(row);
    }
    if (footprint) rows.push_back(footprint->memory);
    if (wanted(L"size")) rows.push_back(SizeRow());
    if (footprint) {
        rows.push_back(footprint->idleInFront);
        rows.push_back(footprint->idleBehind);
    }
    PrintTable(rows);
    const bool allMet = std::none_of(rows.begin(), rows.end(), [](const Row& r) {
        return r.verdict == Verdict::kMissed || r.verdict == Verdict::kNotMeasured;
    });
    return allMet ? 0 : 1;
}

}  // namespace
}  // namespace velmi::bench

int wmain(int argc, wchar_t** argv) {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    if (FAILED(OleInitialize(nullptr))) return 2;
    const int result = velmi::bench::Run(velmi::bench::ParseOptions(argc, argv));
    OleUninitialize();
    return result;
}
