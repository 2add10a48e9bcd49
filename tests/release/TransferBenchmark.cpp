// Throughput of the transfer layer against the curl command-line tool on the same 60 MB file from
// a loopback server, and the peak resident memory of this process. Run by hand:
//   build/tests/update/tl_transfer_benchmark [megabytes]
// The server runs in a child process so that its buffers do not count in our memory figures.

#include "app/AppGlobals.h"
#include "app/CSetupSheet.h"
#include "platform/Machine.h"
#include "release/DownloadFile.h"
#include "release/FetchUrl.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <httplib.h>
#include <signal.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>
#include <zlib.h>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kChunk = 1 << 20;

// A megabyte of bytes that compress poorly, repeated for the whole file.
const std::string& Chunk() {
    static const std::string chunk = [] {
        std::string bytes(kChunk, '\0');
        std::uint32_t state = 2463534242u;
        for (char& byte : bytes) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            byte = static_cast<char>(state & 0xFF);
        }
        bytes[0] = 'M'; // never a zlib header
        return bytes;
    }();
    return chunk;
}

std::string Compressed(std::size_t size) {
    std::string plain;
    plain.reserve(size);
    while (plain.size() < size)
        plain += "Tallymar reference data line " + std::to_string(plain.size() % 977) + "\r\n";
    plain.resize(size);
    uLongf length = compressBound(static_cast<uLong>(plain.size()));
    std::string packed(length, '\0');
    compress(reinterpret_cast<Bytef*>(packed.data()), &length, reinterpret_cast<const Bytef*>(plain.data()),
             static_cast<uLong>(plain.size()));
    packed.resize(length);
    return packed;
}

// Runs the server in a child; returns its port and process id.
std::pair<int, pid_t> StartServer(std::size_t size) {
    int fds[2];
    if (::pipe(fds) != 0)
        std::exit(1);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        const std::string packed = Compressed(size);
        httplib::Server server;
        server.Get("/CurrentVersion/big.bin", [size](const httplib::Request&, httplib::Response& response) {
            response.set_content_provider(
                size, "application/octet-stream",
                [](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                    const std::size_t from = offset % kChunk;
                    const std::size_t count = std::min(length, kChunk - from);
                    return sink.write(Chunk().data() + from, count);
                });
        });
        server.Get("/CurrentVersion/big.z", [&packed](const httplib::Request&, httplib::Response& response) {
            response.set_content(packed, "application/octet-stream");
        });
        const int port = server.bind_to_any_port("127.0.0.1");
        if (::write(fds[1], &port, sizeof port) != sizeof port)
            ::_exit(1);
        ::close(fds[1]);
        server.listen_after_bind();
        ::_exit(0);
    }
    ::close(fds[1]);
    int port = 0;
    if (::read(fds[0], &port, sizeof port) != sizeof port || port <= 0)
        std::exit(1);
    ::close(fds[0]);
    return {port, child};
}

long PeakResidentKb() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

double Seconds(Clock::duration elapsed) {
    return std::chrono::duration<double>(elapsed).count();
}

// Runs the curl tool; returns its wall time and fills its peak resident memory.
double RunCurl(const std::string& url, const std::string& output, long& peakKb) {
    const auto start = Clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        ::execlp("curl", "curl", "-s", "-f", "-o", output.c_str(), url.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    const double seconds = Seconds(Clock::now() - start);
    peakKb = usage.ru_maxrss;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        std::fprintf(stderr, "curl failed (status %d)\n", status);
    return seconds;
}

void Report(const char* what, std::size_t bytes, double seconds) {
    std::printf("%-44s %8.3f s %9.1f MB/s\n", what, seconds, static_cast<double>(bytes) / 1e6 / seconds);
}

} // namespace

int main(int argc, char** argv) {
    const std::size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 60;
    const std::size_t size = megabytes * 1000 * 1000;
    const auto [port, server] = StartServer(size);
    CurlGlobalScope curl;

    const fs::path prefix =
        fs::temp_directory_path() / ("tl-transfer-benchmark-" + std::to_string(::getpid()));
    tl::ScopedMachine machine(std::make_unique<tl::Machine>(prefix));
    theFileServerUrl = "http://127.0.0.1:" + std::to_string(port) + "/";
    const std::string url = theFileServerUrl + "CurrentVersion/big.bin";
    CSetupSheet sheet(CSetupSheet::kUpdateCaptionId);
    sheet.installDirectory = "C:\\Tallymar";
    const fs::path hostFolder = prefix / "drive_c" / "Tallymar";
    fs::create_directories(hostFolder);

    std::printf("File of %zu bytes from 127.0.0.1, best of 3 runs each\n", size);
    const long baselineKb = PeakResidentKb();
    double memory = 1e9, download = 1e9, curlMemory = 1e9, curlDisk = 1e9;
    long curlPeakKb = 0;
    for (int run = 0; run < 3; ++run) {
        auto start = Clock::now();
        TransferBuffer buffer;
        if (!FetchUrlToBuffer(url, buffer) || buffer.size() != size)
            return 1;
        memory = std::min(memory, Seconds(Clock::now() - start));
        buffer.Release();

        start = Clock::now();
        if (!DownloadFile(sheet, "big.bin", FolderInstall, -1))
            return 1;
        download = std::min(download, Seconds(Clock::now() - start));

        long peak = 0;
        curlMemory = std::min(curlMemory, RunCurl(url, "/dev/null", peak));
        curlPeakKb = std::max(curlPeakKb, peak);
        curlDisk = std::min(curlDisk, RunCurl(url, (hostFolder / "curl.bin").string(), peak));
    }
    const long plainPeakKb = PeakResidentKb();
    Report("FetchUrlToBuffer (into memory)", size, memory);
    Report("DownloadFile (temporary file, fsync, rename)", size, download);
    Report("curl -o /dev/null", size, curlMemory);
    Report("curl -o file", size, curlDisk);

    const auto start = Clock::now();
    TransferBuffer inflated;
    const bool inflatedOk = FetchUrlToBuffer(theFileServerUrl + "CurrentVersion/big.z", inflated);
    const double inflateSeconds = Seconds(Clock::now() - start);
    if (!inflatedOk || inflated.size() != size)
        return 1;
    inflated.Release();
    Report("FetchUrlToBuffer, zlib stream inflated", size, inflateSeconds);

    std::printf(
        "Peak resident memory: %ld KB before, %ld KB after the plain transfers, %ld KB after inflating; "
        "curl tool %ld KB\n",
        baselineKb, plainPeakKb, PeakResidentKb(), curlPeakKb);
    ::kill(server, SIGTERM);
    ::waitpid(server, nullptr, 0);
    std::error_code error;
    fs::remove_all(prefix, error);
    return 0;
}
