#include "crypto/Sha256.h"
#include "platform/FileTime.h"
#include "release/DownloadFile.h"
#include "tests/release/TestBytes.h"
#include "tests/release/UpdateTestBase.h"

#include <future>
#include <gmock/gmock.h>
#include <sys/stat.h>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

constexpr const char* kTarget = "C:\\Program Files\\Fenmore Software\\Tallymar\\Tallymar.exe";
constexpr const char* kFolder = "C:\\Program Files\\Fenmore Software\\Tallymar";
constexpr const char* kPath = "/CurrentVersion/Tallymar.exe";
constexpr std::int64_t kOldTime = 127898424000000000LL; // 18 Apr 2006 14:00:00 UTC

// The file as installed, and the two ways a file server may send it.
struct Sent {
    const char* how;
    std::string (*encode)(const std::string&);
};
const Sent kWays[] = {{"plain", [](const std::string& file) { return file; }},
                      {"compressed", [](const std::string& file) { return tltest::Deflate(file); }}};

class VerifiedDownload : public tltest::UpdateTestBase {
protected:
    VerifiedDownload() { PutOldFile(); }

    void PutOldFile() {
        WriteFile(Host(kTarget), "old program");
        const timespec times[2] = {tl::TimespecFromFileTime(kOldTime), tl::TimespecFromFileTime(kOldTime)};
        ASSERT_EQ(::utimensat(AT_FDCWD, Host(kTarget).c_str(), times, 0), 0);
    }

    bool Download(const std::string& size, const std::string& sha256) {
        return ::DownloadFile(sheet, "Tallymar.exe", FolderInstall, -1, size, sha256);
    }

    // The log lines and messages of this case.
    std::vector<std::string> NewLines() { return Since(LogLines(), linesBefore_); }
    std::vector<std::string> NewMessages() { return Since(Messages(), messagesBefore_); }
    static std::vector<std::string> Since(const std::vector<std::string>& all, std::size_t before) {
        return std::vector<std::string>(all.begin() + static_cast<std::ptrdiff_t>(before), all.end());
    }

    // The download was refused with the one log line and the one message, and left the old file
    // as it was, its time included, with no temporary file beside it.
    void ExpectRefused(const std::string& logLine, const std::string& why) {
        EXPECT_THAT(NewLines(), ElementsAre(logLine)) << why;
        EXPECT_THAT(NewMessages(), ElementsAre("Error downloading Tallymar.exe")) << why;
        EXPECT_EQ(ReadFile(Host(kTarget)), "old program") << why;
        struct stat info {};
        ASSERT_EQ(::stat(Host(kTarget).c_str(), &info), 0);
        EXPECT_EQ(tl::FileTimeFromTimespec(info.st_mtim), kOldTime) << why;
        EXPECT_THAT(FolderContents(kFolder), ElementsAre("Tallymar.exe")) << why;
    }

    std::size_t linesBefore_ = 0;
    std::size_t messagesBefore_ = 0;

    // Starts the next case: the old file back, the log and messages so far set aside.
    void Reset() {
        PutOldFile();
        linesBefore_ = LogLines().size();
        messagesBefore_ = Messages().size();
    }

    static std::string Failed(const std::string& expected, const std::string& got) {
        return std::string("**** ") + kTarget + " failed verification (expected " + expected + ", got " +
               got + ")";
    }
};

} // namespace

TEST_F(VerifiedDownload, AFileThatIsNotWhatTheManifestSaysIsRefusedAndTheOldFileStays) {
    const std::string file = tltest::Noise(20000);
    std::string tampered = file;
    tampered[12345] = static_cast<char>(tampered[12345] ^ 0x01);
    const std::string good = Sha256::Of(file);
    const struct {
        const char* fault;
        const std::string& served;
        std::string size;
        std::string expected;
        std::string got;
    } cases[] = {
        {"a tampered byte", tampered, "20000", "SHA-256 " + good, "SHA-256 " + Sha256::Of(tampered)},
        {"a Size too small", file, "19999", "19999 bytes", "more than 19999 bytes"},
        {"a Size too large", file, "20001", "20001 bytes", "20000 bytes"},
    };
    for (const Sent& way : kWays) {
        for (const auto& c : cases) {
            server.Serve(kPath, way.encode(c.served));
            EXPECT_FALSE(Download(c.size, good));
            ExpectRefused(Failed(c.expected, c.got), std::string(c.fault) + ", " + way.how);
            Reset();
        }
    }
}

TEST_F(VerifiedDownload, AServerSendingMoreThanTheSizeStopsBeingReadThere) {
    // Far more than the capacity, made as it goes: only the Size can end the transfer early.
    constexpr std::size_t kEndless = std::size_t{1} << 30;
    auto sentPromise = std::make_shared<std::promise<std::size_t>>();
    std::future<std::size_t> sent = sentPromise->get_future();
    server.Handle(kPath, [sentPromise](const httplib::Request&, httplib::Response& response) {
        auto total = std::make_shared<std::size_t>(0);
        response.set_content_provider(
            kEndless, "application/octet-stream",
            [total](std::size_t, std::size_t length, httplib::DataSink& sink) {
                static const std::string piece(64 * 1024, 'M');
                const std::size_t count = std::min(length, piece.size());
                if (!sink.write(piece.data(), count))
                    return false;
                *total += count;
                return true;
            },
            [total, sentPromise](bool) { sentPromise->set_value(*total); });
    });
    EXPECT_FALSE(Download("1000", ""));
    ExpectRefused(Failed("1000 bytes", "more than 1000 bytes"), "plain");
    ASSERT_EQ(sent.wait_for(std::chrono::seconds(30)), std::future_status::ready);
    EXPECT_LT(sent.get(), kEndless / 16) << "the server could send only what the sockets hold";
    EXPECT_EQ(server.Requests().size(), 1u) << "a refused file is not tried again";

    Reset();
    server.Serve(kPath, tltest::Deflate(std::string(8 * 1024 * 1024, 'M')));
    EXPECT_FALSE(Download("1000", ""));
    ExpectRefused(Failed("1000 bytes", "more than 1000 bytes"), "compressed");
}

TEST_F(VerifiedDownload, AFileThatIsWhatTheManifestSaysIsInstalled) {
    const std::string file = tltest::Noise(30000);
    std::string upper = Sha256::Of(file);
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const std::pair<std::string, std::string> checks[] = {
        {"30000", Sha256::Of(file)}, {"30000", upper}, {"30000", ""}, {"", Sha256::Of(file)}};
    for (const Sent& way : kWays) {
        for (const auto& [size, sha256] : checks) {
            server.Serve(kPath, way.encode(file));
            ASSERT_TRUE(Download(size, sha256)) << way.how << " " << size << " " << sha256;
            EXPECT_TRUE(ReadFile(Host(kTarget)) == file) << way.how << " " << size << " " << sha256;
            EXPECT_THAT(NewLines(), ElementsAre(std::string("Setup has installed ") + kTarget));
            EXPECT_THAT(NewMessages(), IsEmpty());
            Reset();
        }
    }
    // An empty file goes out as an empty zlib stream, since an empty response is no file.
    server.Serve(kPath, tltest::Deflate(""));
    ASSERT_TRUE(Download("0", Sha256::Of("")));
    EXPECT_EQ(ReadFile(Host(kTarget)), "");
}

TEST_F(VerifiedDownload, AnUnreadableSizeOrDigestIsLoggedAndNothingIsFetched) {
    server.Serve(kPath, "new program");
    const std::string digest = Sha256::Of("new program");
    const std::pair<std::string, std::string> texts[][2] = {
        {{"12 kB", ""}, {"Size", "12 kB"}},
        {{"-11", ""}, {"Size", "-11"}},
        {{"+11", ""}, {"Size", "+11"}},
        {{"99999999999999999999999", ""}, {"Size", "99999999999999999999999"}},
        {{"11", digest.substr(1)}, {"Sha256", digest.substr(1)}},
        {{"11", "g" + digest.substr(1)}, {"Sha256", "g" + digest.substr(1)}},
    };
    for (const auto& [given, problem] : texts) {
        EXPECT_FALSE(Download(given.first, given.second));
        ExpectRefused(std::string("**** The file manifest gives ") + kTarget + " an unreadable " +
                          problem.first + " \"" + problem.second + "\"",
                      problem.second);
        Reset();
    }
    EXPECT_THAT(server.Requests(), IsEmpty());
}
