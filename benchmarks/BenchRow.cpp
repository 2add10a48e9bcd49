#include "benchmarks/BenchRow.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace bench {

namespace fs = std::filesystem;

namespace {

std::string Quoted(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        if (static_cast<unsigned char>(c) < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
            continue;
        }
        out += c;
    }
    return out + "\"";
}

std::string Json(const Samples& samples) {
    std::string out = "{\"name\": " + Quoted(samples.name) + ", \"values\": [";
    for (std::size_t i = 0; i < samples.values.size(); ++i) {
        char number[32];
        std::snprintf(number, sizeof number, "%.6g", samples.values[i]);
        out += (i == 0 ? "" : ", ") + std::string(number);
    }
    return out + "]}";
}

std::string Json(const std::vector<Samples>& list) {
    std::string out = "[";
    for (std::size_t i = 0; i < list.size(); ++i)
        out += (i == 0 ? "" : ", ") + Json(list[i]);
    return out + "]";
}

} // namespace

double Seconds(Clock::duration elapsed) {
    return std::chrono::duration<double>(elapsed).count();
}

double TimeOf(const std::function<void()>& fn) {
    const auto start = Clock::now();
    fn();
    return Seconds(Clock::now() - start);
}

void Print(const Row& row) {
    std::string targets = "[";
    for (std::size_t i = 0; i < row.targets.size(); ++i) {
        char ratio[32];
        std::snprintf(ratio, sizeof ratio, "%g", row.targets[i].ratio);
        targets += (i == 0 ? "" : ", ") + std::string("{\"peer\": ") + Quoted(row.targets[i].peer) +
                   ", \"op\": " + Quoted(row.targets[i].op) + ", \"ratio\": " + ratio + "}";
    }
    targets += "]";
    std::printf("{\"id\": %s, \"title\": %s, \"unit\": %s, \"ours\": %s, \"peers\": %s, \"targets\": %s, "
                "\"notes\": %s, \"remark\": %s}\n",
                Quoted(row.id).c_str(), Quoted(row.title).c_str(), Quoted(row.unit).c_str(),
                Json(row.ours).c_str(), Json(row.peers).c_str(), targets.c_str(), Json(row.notes).c_str(),
                Quoted(row.remark).c_str());
    std::fflush(stdout);
}

int Runs() {
    const char* text = std::getenv("TL_BENCH_RUNS");
    const int runs = text != nullptr ? std::atoi(text) : 5;
    return runs < 5 ? 5 : runs;
}

WorkFolder::WorkFolder(const std::string& name) {
    const char* work = std::getenv("TL_BENCH_WORK");
    path_ = (work != nullptr && *work != '\0' ? fs::path(work) : fs::temp_directory_path()) / name;
    fs::remove_all(path_);
    fs::create_directories(path_);
}

WorkFolder::~WorkFolder() {
    std::error_code error;
    fs::remove_all(path_, error);
}

void Fail(const std::string& what) {
    std::fprintf(stderr, "benchmark failed: %s\n", what.c_str());
    std::exit(1);
}

std::string ProgramLikeBytes(std::size_t size, std::uint32_t seed) {
    using namespace std::string_view_literals;
    static constexpr std::string_view kWords[] = {"Tallymar"sv, "creditor"sv, "schedule"sv, "petition"sv,
                                                  "trustee"sv,  "chapter"sv,  "\0\0\0\0\0\0"sv, "\x90\x90\x90"sv};
    std::string bytes;
    bytes.reserve(size + 64);
    std::uint32_t state = seed * 2654435761u + 1;
    const auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    };
    while (bytes.size() < size) {
        const std::uint32_t pick = next();
        if (pick % 3 == 0) {
            for (int i = 0; i < 8; ++i)
                bytes += static_cast<char>(next() & 0xFF);
        } else {
            bytes += kWords[pick % std::size(kWords)];
        }
    }
    bytes.resize(size);
    return bytes;
}

} // namespace bench
