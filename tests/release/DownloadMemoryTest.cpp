#include "platform/UniqueFd.h"
#include "tests/release/LoopbackServer.h"
#include "tests/release/TestBytes.h"
#include "tests/support/TestMachine.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <zlib.h>

extern char** environ;

namespace {

constexpr std::size_t kFileSize = 60 * 1000 * 1000;
constexpr long kBoundKb = 4 * 1024;
constexpr std::size_t kPiece = 1 << 20;

// A megabyte of bytes that compress poorly, repeated for the whole plain file.
const std::string& Piece() {
    static const std::string piece = [] {
        std::string bytes = tltest::Noise(kPiece);
        bytes[0] = 'M'; // never a zlib header
        return bytes;
    }();
    return piece;
}

// A zlib stream of kFileSize bytes of text.
std::string CompressedText() {
    std::string text;
    text.reserve(kFileSize);
    for (int line = 0; text.size() < kFileSize; ++line)
        text += "Creditor " + std::to_string(line % 9973) + ", PO Box " + std::to_string(line % 811) + "\r\n";
    text.resize(kFileSize);
    uLongf size = compressBound(static_cast<uLong>(text.size()));
    std::string packed(size, '\0');
    compress2(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(text.data()),
              static_cast<uLong>(text.size()), 1);
    // Level 1 marks its header 0x78 0x01; the level field is only informative, and the setup
    // program inflates what begins with 0x78 0x9C, so the fast stream is marked as the default.
    packed[1] = static_cast<char>(0x9C);
    packed.resize(size);
    return packed;
}

class DownloadMemory : public tltest::MachineTest {
protected:
    DownloadMemory() {
        server.Handle("/CurrentVersion/big.bin", [](const httplib::Request&, httplib::Response& response) {
            response.set_content_provider(
                kFileSize, "application/octet-stream",
                [](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                    const std::size_t from = offset % kPiece;
                    return sink.write(Piece().data() + from, std::min(length, kPiece - from));
                });
        });
        server.Serve("/CurrentVersion/big.z", CompressedText());
    }

    struct Peak {
        long beforeKb = 0;
        long afterKb = 0;
    };

    // Runs the probe on this machine and reads its figures.
    Peak Download(const std::string& name) {
        int pipeFds[2] = {-1, -1};
        EXPECT_EQ(::pipe2(pipeFds, O_CLOEXEC), 0);
        const tl::UniqueFd output(pipeFds[0]);
        tl::UniqueFd writeEnd(pipeFds[1]);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, writeEnd.get(), STDOUT_FILENO);
        std::string arguments[] = {TL_DOWNLOAD_PROBE, machine().Prefix().string(), server.BaseUrl(), name};
        char* argv[] = {arguments[0].data(), arguments[1].data(), arguments[2].data(), arguments[3].data(),
                        nullptr};
        pid_t pid = -1;
        EXPECT_EQ(::posix_spawn(&pid, argv[0], &actions, nullptr, argv, environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        writeEnd.reset();
        std::string text;
        char buffer[256];
        for (ssize_t got; (got = ::read(output.get(), buffer, sizeof buffer)) > 0;)
            text.append(buffer, static_cast<std::size_t>(got));
        int status = 0;
        EXPECT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << name << ": " << text;
        Peak peak;
        std::string before, after;
        std::istringstream(text) >> before >> peak.beforeKb >> after >> peak.afterKb;
        EXPECT_EQ(before + after, "beforeafter") << text;
        return peak;
    }

    tltest::LoopbackServer server;
};

} // namespace

TEST_F(DownloadMemory, A60MegabyteFileTakesAtMostFourMegabytesMorePlainOrInflated) {
    for (const char* name : {"big.bin", "big.z"}) {
        const Peak peak = Download(name);
        EXPECT_GT(peak.beforeKb, 0) << name;
        EXPECT_LE(peak.afterKb - peak.beforeKb, kBoundKb)
            << name << ": peak " << peak.beforeKb << " KB before the download, " << peak.afterKb
            << " KB after";
        EXPECT_EQ(std::filesystem::file_size(Host(std::string("C:\\Tallymar\\") + name)), kFileSize) << name;
        RecordProperty(std::string(name) + "_peak_kb_before", std::to_string(peak.beforeKb));
        RecordProperty(std::string(name) + "_peak_kb_after", std::to_string(peak.afterKb));
        std::printf("%s: peak resident memory %ld KB before the download, %ld KB after\n", name,
                    peak.beforeKb, peak.afterKb);
    }
}
