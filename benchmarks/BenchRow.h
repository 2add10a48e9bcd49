#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

// What every benchmark program of scripts/bench.sh shares: the row it measures, as one JSON line
// on standard output that scripts/bench-table.py turns into the table.
namespace bench {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration elapsed);

/// Runs fn and returns its wall time in seconds.
double TimeOf(const std::function<void()>& fn);

/// The figures of one side of a row: ours, or one peer's, one value per run.
struct Samples {
    std::string name;
    std::vector<double> values;
};

/// What a row asks of our figure over one peer's (medians): at least, at most, or more than the
/// ratio.
struct Target {
    std::string peer;
    std::string op; ///< ">=", "<=" or ">"
    double ratio;
};

/// One row of the table: our figure and each peer's on the same input in the same run, with
/// figures for its notes (peak memory and the like) beside them.
struct Row {
    std::string id;    ///< short key: "manifest", "blowfish", ...
    std::string title; ///< what is measured
    std::string unit;  ///< "MB/s", "s", "records/s", ...
    Samples ours = {};
    std::vector<Samples> peers = {};
    std::vector<Target> targets = {};
    std::vector<Samples> notes = {}; ///< further figures per run ("peak RSS growth KB", ...)
    std::string remark = {};         ///< a sentence for the reader, or empty
};

/// Prints the row as one JSON line on standard output and flushes it.
void Print(const Row& row);

/// The number of runs of every row: TL_BENCH_RUNS, at least 5 (the default).
int Runs();

/// A folder for one program's files under TL_BENCH_WORK (default: the temporary folder), made
/// empty; removed with what it holds when the object goes away.
class WorkFolder {
public:
    explicit WorkFolder(const std::string& name);
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;
    ~WorkFolder();
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

/// Ends the program with a message on standard error when a benchmark's own step fails.
[[noreturn]] void Fail(const std::string& what);

/// Fills size bytes that deflate shrinks to about a third, as program files do: runs of text and
/// numbers among bytes of noise, from seed.
std::string ProgramLikeBytes(std::size_t size, std::uint32_t seed);

} // namespace bench
