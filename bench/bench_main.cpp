// The benchmark of Velmi under Wine: start-up, day changes, the alarm scan,
// memory, size and idle processor time, each measured in this run, beside
// the baseline program where one applies, printed as one table. The exit
// status is 0 when every goal is met.
//   velmi_bench [--runs N] [--idle SECONDS] [--samples N] [--changes N] [--only PART]
#include "day_change.h"
#include "velmi_ids.h"
#include "pe_image.h"
#include "program_probe.h"
#include "report.h"
#include "scan_bench.h"
#include "stats.h"

#include <ole2.h>

#include <algorithm>
#include <array>
#include <exception>
#include <optional>
#include <cstdio>
#include <string_view>

namespace velmi::bench {
namespace {

struct Options {
    int startupRuns = 21;   // of each program
    int idleSeconds = 100;  // per sample: the minute check comes at least once
    int idleSamples = 3;
    int dayChanges = 1000;  // per note size
    std::wstring only;      // one part alone: startup, changes, scan, footprint or size
};

constexpr int kWarmupStarts = 2;
constexpr int kStoredDays = 10000;
constexpr int kOutsideChanges = 100;
// Of the notes of the day changes: an empty day, a day's list, a long one
// (the last two need the note box's scroll bar).
constexpr int kNoteLines[] = {0, 20, 200};
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
        if (v < 0 || b < 0) {
            return {"Start-up",
                    Format("%ls did not show its window", v < 0 ? kVelmiFile : kBaselineFile),
                    "",
                    "",
                    "<= 1.3 x",
                    Verdict::kNotMeasured};
        }
        if (i < kWarmupStarts) continue;
        velmi.push_back(v);
        baseline.push_back(b);
    }
    const double ratio = Median(velmi) / Median(baseline);
    return {Format("Start-up, median of %d", runs),
            Ms(Median(velmi)),
            Ms(Median(baseline)),
            Format("%.2f x", ratio),
            "<= 1.3 x",
            Judge(ratio <= 1.3)};
}

// Velmi's processor time in front and behind another window, and the
// floor's in front, each per five minutes: medians of alternating samples.
struct Idle {
    std::vector<double> velmiInFront, velmiBehind, floorInFront;
};

// Processor seconds of two programs over the same stretch of doing
// nothing, each scaled to five minutes; negative when unreadable.
std::array<double, 2> IdleSample(Program& velmi, Program& floor, int seconds) {
    Sleep(1000);  // what coming to the front set off is no idling
    const double velmiStart = velmi.CpuSeconds(), floorStart = floor.CpuSeconds();
    const double start = Seconds();
    Sleep(static_cast<DWORD>(seconds) * 1000);
    const double velmiEnd = velmi.CpuSeconds(), floorEnd = floor.CpuSeconds();
    const double scale = 300 / (Seconds() - start);
    if (velmiStart < 0 || floorStart < 0 || velmiEnd < 0 || floorEnd < 0) return {-1, -1};
    return {(velmiEnd - velmiStart) * scale, (floorEnd - floorStart) * scale};
}

// Puts a window in front, over the other program's window.
void BringToFront(HWND window, HWND over) {
    RECT r{};
    GetWindowRect(over, &r);
    SetWindowPos(window, HWND_TOP, r.left, r.top, 0, 0, SWP_NOSIZE);
    SetForegroundWindow(window);
}

// An error when a sample was unreadable, else empty.
std::string MeasureIdle(Program& velmi, Program& floor, int seconds, int samples, Idle& idle) {
    for (int i = 0; i < samples; ++i) {
        Progress(Format("idle: sample %d of %d, %d s with Velmi in front, then %d s behind the "
                        "floor",
                        i + 1, samples, seconds, seconds)
                     .c_str());
        BringToFront(velmi.Window(), floor.Window());
        idle.velmiInFront.push_back(IdleSample(velmi, floor, seconds)[0]);
        BringToFront(floor.Window(), velmi.Window());
        const auto [behind, floorInFront] = IdleSample(velmi, floor, seconds);
        idle.velmiBehind.push_back(behind);
        idle.floorInFront.push_back(floorInFront);
        if (idle.velmiInFront.back() < 0 || behind < 0)
            return "the processor time of a program could not be read";
    }
    return {};
}

std::vector<Row> IdleRows(const Idle& idle, const std::string& error, int seconds) {
    const std::string inFront = Format("Idle CPU per 5 min, in front (median of %d x %d s)",
                                       static_cast<int>(idle.floorInFront.size()), seconds);
    const std::string behind = "Idle CPU per 5 min, behind another window";
    if (!error.empty()) {
        return {{inFront, error, "", "", "<= 1.1 x", Verdict::kNotMeasured},
                {behind, error, "", "", "< 20 ms", Verdict::kNotMeasured}};
    }
    const double front = Median(idle.velmiInFront), floor = Median(idle.floorInFront);
    const double back = Median(idle.velmiBehind);
    return {{inFront, Ms(front), Ms(floor), Format("%.2f x", front / floor), "<= 1.1 x",
             Judge(front <= 1.1 * floor)},
            {behind, Ms(back), "", "", "< 20 ms", Judge(back < 0.020)}};
}

// Memory and idle time come from running programs: Velmi after its start-up
// and some day changes, the floors after theirs.
std::vector<Row> FootprintRows(const Options& options) {
    const std::string memoryGoal = "<= floor + 4 MiB";
    Program velmi, caretFloor;
    if (!caretFloor.Start(kBaselineFile, L"caret") ||
        caretFloor.WaitForWindow(kBaselineWindow) < 0 || !velmi.Start(kVelmiFile) ||
        velmi.WaitForWindow(kVelmiWindow) < 0) {
        return {{"Idle and memory", "Velmi or the floor did not start", "", "", "",
                 Verdict::kNotMeasured}};
    }
    Idle idle;
    const std::string error =
        MeasureIdle(velmi, caretFloor, options.idleSeconds, options.idleSamples, idle);
    std::vector<Row> rows = IdleRows(idle, error, options.idleSeconds);
    caretFloor.Close();

    Progress(Format("memory: %d day changes in a running Velmi", kOutsideChanges).c_str());
    Row memory{"Peak working set", "unreadable", "", "", memoryGoal, Verdict::kNotMeasured};
    Program floor;
    SetForegroundWindow(velmi.Window());
    const int changes = DriveDayChanges(velmi.Window(), kOutsideChanges);
    const bool floorShown = floor.Start(kBaselineFile) && floor.WaitForWindow(kBaselineWindow) >= 0;
    const double velmiPeak = static_cast<double>(velmi.PeakWorkingSet()) / kMiB;
    const double floorPeak = static_cast<double>(floor.PeakWorkingSet()) / kMiB;
    if (changes != kOutsideChanges) {
        memory.measured = Format("%d of %d changes seen", changes, kOutsideChanges);
    } else if (!floorShown) {
        memory.measured = "the floor did not start";
    } else if (velmiPeak > 0 && floorPeak > 0) {
        memory = {Format("Peak working set, after %d day changes", changes),
                  Format("%.1f MiB", velmiPeak),
                  Format("%.1f MiB", floorPeak),
                  Format("%+.1f MiB", velmiPeak - floorPeak),
                  memoryGoal,
                  Judge(velmiPeak - floorPeak <= 4)};
    }
    rows.insert(rows.begin(), memory);
    return rows;
}

std::vector<Row> DayChangeRows(int changes) {
    Progress(Format("day changes: %d of Velmi and of the floor per note size, alternating, over "
                    "%d stored days",
                    changes, kStoredDays)
                 .c_str());
    const DayChangeRun run = RunInProcessDayChanges(kNoteLines, changes, kStoredDays);
    if (!run.error.empty() || run.sizes.size() != std::size(kNoteLines)) {
        return {{"Day change", Format("stopped: %ls", run.error.c_str()), "", "",
                 "<= 1.1 x the floor", Verdict::kNotMeasured}};
    }
    auto row = [](std::string figure, double velmi, double floor, double goal) -> Row {
        const double ratio = velmi / floor;
        return {std::move(figure),         Ms(velmi),           Ms(floor), Format("%.2f x", ratio),
                Format("<= %.1f x", goal), Judge(ratio <= goal)};
    };
    std::vector<Row> rows;
    std::vector<double> velmiAll, floorAll;
    for (const NoteSizeRun& size : run.sizes) {
        const ChangeTimes& v = size.velmi;
        const ChangeTimes& f = size.floor;
        rows.push_back(row(Format("Day change, %d-line notes, median of %d", size.lines,
                                  static_cast<int>(v.change.size())),
                           Median(v.change), Median(f.change), 1.1));
        velmiAll.insert(velmiAll.end(), v.change.begin(), v.change.end());
        floorAll.insert(floorAll.end(), f.change.begin(), f.change.end());
    }
    rows.push_back(row("Day change, 99th percentile of all sizes", Quantile(velmiAll, 0.99),
                       Quantile(floorAll, 0.99), 1.5));
    const NoteSizeRun& largest = run.sizes.back();
    Row painted = row(Format("Day change and repaint, %d-line notes, median", largest.lines),
                      Median(largest.velmi.withRepaint), Median(largest.floor.withRepaint), 0);
    painted.goal.clear();
    painted.verdict = Verdict::kInfo;
    rows.push_back(painted);
    return rows;
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

constexpr std::wstring_view kParts[] = {L"startup", L"footprint", L"changes", L"scan", L"size"};

// The options, or nothing when one is unknown or its value unusable.
std::optional<Options> ParseOptions(int argc, wchar_t** argv) {
    Options options;
    if (argc % 2 == 0) return std::nullopt;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::wstring_view name = argv[i];
        const int value = _wtoi(argv[i + 1]);
        if (name == L"--only") {
            options.only = argv[i + 1];
            if (std::find(std::begin(kParts), std::end(kParts), options.only) == std::end(kParts))
                return std::nullopt;
        } else if (value <= 0) {
            return std::nullopt;
        } else if (name == L"--runs") {
            options.startupRuns = value;
        } else if (name == L"--idle") {
            options.idleSeconds = value;
        } else if (name == L"--samples") {
            options.idleSamples = value;
        } else if (name == L"--changes") {
            options.dayChanges = value;
        } else {
            return std::nullopt;
        }
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
    if (wanted(L"footprint")) {
        for (const Row& row : FootprintRows(options))
            rows.push_back(row);
    }
    if (wanted(L"changes")) {
        for (const Row& row : DayChangeRows(options.dayChanges))
            rows.push_back(row);
    }
    if (wanted(L"scan")) {
        for (const Row& row : ScanRows())
            rows.push_back(row);
    }
    if (wanted(L"size")) rows.push_back(SizeRow());
    PrintTable(rows);
    // Whatever was not measured is said once more, where a log shows errors.
    for (const Row& r : rows) {
        if (r.verdict == Verdict::kNotMeasured)
            std::fprintf(stderr, "bench: not measured: %s: %s\n", r.figure.c_str(),
                         r.measured.c_str());
    }
    const bool allMet = std::none_of(rows.begin(), rows.end(), [](const Row& r) {
        return r.verdict == Verdict::kMissed || r.verdict == Verdict::kNotMeasured;
    });
    return allMet ? 0 : 1;
}

}  // namespace
}  // namespace velmi::bench

int wmain(int argc, wchar_t** argv) {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    const auto options = velmi::bench::ParseOptions(argc, argv);
    if (!options) {
        std::fputs(
            "bench: usage: velmi_bench [--runs N] [--idle SECONDS] [--samples N] "
            "[--changes N] [--only startup|footprint|changes|scan|size]\n",
            stderr);
        return 2;
    }
    if (FAILED(OleInitialize(nullptr))) {
        std::fputs("bench: OLE could not be initialised\n", stderr);
        return 2;
    }
    int result = 2;
    try {
        result = velmi::bench::Run(*options);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench: stopped: %s\n", e.what());
    }
    OleUninitialize();
    return result;
}
