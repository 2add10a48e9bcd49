// DownloadFile against `curl -o FILE && sync FILE` (the same durability: our writer flushes the
// file to disk) on the same 60 MB file from the same tlserve on the loopback interface, plain and
// sent as a zlib stream; with the peak resident memory of both. For the zlib stream curl writes
// the compressed bytes as they come, so a second peer makes the same file as we do: curl piped
// through pigz, which inflates in threads of its own.
//   tl_bench_download
// Each of our downloads runs in a forked child, so its memory figures are its own.
#include "app/AppGlobals.h"
#include "app/CSetupSheet.h"
#include "app/ScriptedUserInterface.h"
#include "benchmarks/BenchProcess.h"
#include "benchmarks/BenchRow.h"
#include "platform/Format.h"
#include "platform/Machine.h"
#include "release/DownloadFile.h"
#include "release/FetchUrl.h"

#include <fstream>
#include <memory>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kFileSize = 60 * 1000 * 1000;

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        bench::Fail("cannot write " + path.string());
}

std::string Deflate(const std::string& bytes) {
    uLongf size = compressBound(static_cast<uLong>(bytes.size()));
    std::string packed(size, '\0');
    if (compress(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(bytes.data()),
                 static_cast<uLong>(bytes.size())) != Z_OK)
        bench::Fail("cannot compress");
    packed.resize(size);
    return packed;
}

long PeakResidentKb() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

struct OurRun {
    double seconds = 0;
    long growthKb = 0;
};

// One DownloadFile in a forked child.
OurRun DownloadOnce(const fs::path& prefix, const std::string& baseUrl, const std::string& name) {
    int fds[2];
    if (::pipe(fds) != 0)
        bench::Fail("pipe");
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        const CurlGlobalScope curl;
        const tl::ScopedMachine machine(std::make_unique<tl::Machine>(prefix));
        ScopedScriptedUserInterface ui;
        theFileServerUrl = baseUrl;
        CSetupSheet sheet(CSetupSheet::kUpdateCaptionId);
        sheet.installDirectory = "C:\\Tallymar";
        const long before = PeakResidentKb();
        bool installed = false;
        OurRun run;
        run.seconds = bench::TimeOf([&] { installed = DownloadFile(sheet, name, FolderInstall, -1); });
        run.growthKb = PeakResidentKb() - before;
        if (!installed)
            run.seconds = -1;
        const bool sent = ::write(fds[1], &run, sizeof run) == sizeof run;
        ::_exit(sent ? 0 : 1);
    }
    ::close(fds[1]);
    OurRun run;
    const bool received = ::read(fds[0], &run, sizeof run) == sizeof run;
    ::close(fds[0]);
    ::waitpid(child, nullptr, 0);
    if (!received || run.seconds < 0)
        bench::Fail("DownloadFile failed for " + name);
    return run;
}

constexpr const char* kCurl = "curl -o FILE && sync FILE";
constexpr const char* kCurlInflating = "curl | pigz -dz > FILE && sync FILE";

bench::Row RowFor(const char* id, const std::string& title) {
    bench::Row row{id, title, "MB/s"};
    row.ours.name = "DownloadFile";
    row.peers = {{kCurl, {}}};
    row.targets = {{kCurl, ">=", 0.9}};
    row.notes = {{"our peak RSS growth KB", {}}, {"curl peak RSS KB", {}}};
    return row;
}

} // namespace

int main() {
    const bench::WorkFolder work("download");
    const fs::path served = work.Path() / "www" / "CurrentVersion";
    fs::create_directories(served);
    {
        const std::string file = bench::ProgramLikeBytes(kFileSize, 60);
        WriteFile(served / "big.bin", file);
        WriteFile(served / "big.z", Deflate(file));
    }
    const bench::FileServer server(TL_TLSERVE, work.Path() / "www", work.Path() / "tlserve.log");
    const fs::path prefix = work.Path() / "prefix";
    const fs::path installed = prefix / "drive_c" / "Tallymar";
    fs::create_directories(installed);

    bench::Row plain = RowFor("download-plain", "download 60 MB to a file, plain");
    bench::Row packed = RowFor("download-compressed", "download 60 MB to a file, sent compressed");
    packed.remark = tl::Format("the server sends a zlib stream of %.1f MB; DownloadFile writes the inflated "
                               "60 MB, curl -o the compressed bytes as they come",
                               static_cast<double>(fs::file_size(served / "big.z")) / 1e6);
    packed.peers.push_back({kCurlInflating, {}});
    const double megabytes = kFileSize / 1e6;
    for (int run = 0; run < bench::Runs(); ++run) {
        for (auto [row, name] : {std::pair{&plain, "big.bin"}, std::pair{&packed, "big.z"}}) {
            const OurRun ours = DownloadOnce(prefix, server.BaseUrl(), name);
            fs::remove(installed / name);
            const fs::path output = installed / "curl.out";
            const std::string url = server.BaseUrl() + "CurrentVersion/" + name;
            const bench::Finished curl = bench::Run({"curl", "-s", "-f", "-o", output.string(), url});
            const bench::Finished sync = bench::Run({"sync", output.string()});
            if (curl.status != 0 || sync.status != 0)
                bench::Fail("curl failed");
            fs::remove(output);
            if (row == &packed) {
                const bench::Finished inflating = bench::Run(
                    {"sh", "-c", "curl -s -f \"$2\" | pigz -dz > \"$1\" && sync \"$1\"", "sh", output.string(), url});
                if (inflating.status != 0 || fs::file_size(output) != kFileSize)
                    bench::Fail("curl | pigz failed");
                fs::remove(output);
                row->peers[1].values.push_back(megabytes / inflating.seconds);
            }
            row->ours.values.push_back(megabytes / ours.seconds);
            row->peers[0].values.push_back(megabytes / (curl.seconds + sync.seconds));
            row->notes[0].values.push_back(static_cast<double>(ours.growthKb));
            row->notes[1].values.push_back(static_cast<double>(curl.peakKb));
        }
    }
    bench::Print(plain);
    bench::Print(packed);
    return 0;
}
