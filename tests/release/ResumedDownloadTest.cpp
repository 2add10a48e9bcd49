#include "crypto/Sha256.h"
#include "platform/Clock.h"
#include "release/DownloadFile.h"
#include "tests/release/TestBytes.h"
#include "tests/release/UpdateTestBase.h"

#include <atomic>
#include <gmock/gmock.h>

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

namespace {

constexpr const char* kTarget = "C:\\Program Files\\Fenmore Software\\Tallymar\\Tallymar.exe";
constexpr const char* kFolder = "C:\\Program Files\\Fenmore Software\\Tallymar";
constexpr const char* kPath = "/CurrentVersion/Tallymar.exe";
constexpr std::size_t kLarge = 3 * 1024 * 1024;

// How a file server answers a request for the rest of a file.
enum class Ranges {
    Honoured,    ///< 206 from the byte asked for, when If-Range names this version
    Ignored,     ///< 200 with the whole file
    Refused,     ///< as Ignored, and it says "Accept-Ranges: none"
    WrongOffset, ///< 206, but from half-way to the byte asked for
    AsWhole,     ///< 200 with the rest of the file and its Content-Range, as if it were the file
};

// A file server for one file that drops connections: the n-th response ends (the connection
// closed) once the file's bytes up to cuts[n] are out; responses after the last cut are whole.
// Written in chunks, so that the server library applies no ranges of its own.
struct CuttingFile {
    std::string body;
    std::vector<std::size_t> cuts;
    Ranges ranges = Ranges::Honoured;
};

std::size_t RangeStart(const httplib::Request& request, Ranges ranges) {
    const std::string range = request.get_header_value("Range");
    if (ranges == Ranges::Ignored || ranges == Ranges::Refused || range.rfind("bytes=", 0) != 0 ||
        request.get_header_value("If-Range") != "\"v1\"")
        return 0;
    const std::size_t from = std::stoul(range.substr(6));
    return ranges == Ranges::WrongOffset ? from / 2 : from;
}

void ServeCutting(tltest::LoopbackServer& server, CuttingFile file) {
    auto served = std::make_shared<CuttingFile>(std::move(file));
    auto requests = std::make_shared<std::atomic<std::size_t>>(0);
    server.Handle(kPath, [served, requests](const httplib::Request& request, httplib::Response& response) {
        const std::size_t n = (*requests)++;
        const std::size_t size = served->body.size();
        const std::size_t end = n < served->cuts.size() ? served->cuts[n] : size;
        const std::size_t from = RangeStart(request, served->ranges);
        response.status = from > 0 && served->ranges != Ranges::AsWhole ? 206 : 200;
        if (from > 0)
            response.set_header("Content-Range", "bytes " + std::to_string(from) + "-" +
                                                     std::to_string(size - 1) + "/" + std::to_string(size));
        response.set_header("ETag", "\"v1\"");
        response.set_header("Accept-Ranges", served->ranges == Ranges::Refused ? "none" : "bytes");
        response.set_chunked_content_provider(
            "application/octet-stream", [served, from, end](std::size_t offset, httplib::DataSink& sink) {
                const std::size_t at = from + offset;
                if (at >= served->body.size()) {
                    sink.done();
                    return true;
                }
                if (at >= end)
                    return false; // the connection drops
                return sink.write(served->body.data() + at, std::min<std::size_t>(64 * 1024, end - at));
            });
    });
}

class ResumedDownload : public tltest::UpdateTestBase {
protected:
    ResumedDownload() { SetTransferLimitsForTesting(TransferLimits{8 * 1024 * 1024, 5, 2}); }

    bool Download() { return ::DownloadFile(sheet, "Tallymar.exe", FolderInstall, -1); }
    // Checked against the Size and Sha256 of the file as installed, whose count and digest must
    // go on over a resume and begin again over a restart.
    bool Download(const std::string& file) {
        return ::DownloadFile(sheet, "Tallymar.exe", FolderInstall, -1, std::to_string(file.size()),
                              Sha256::Of(file));
    }
    std::string Installed() { return ReadFile(Host(kTarget)); }
    std::string Url() const { return theFileServerUrl + "CurrentVersion/Tallymar.exe"; }

    // "Range|If-Range" of each request of this case.
    std::vector<std::string> NewRanges() const {
        std::vector<std::string> ranges;
        for (const auto& request : server.Requests())
            ranges.push_back(request.range + "|" + request.ifRange);
        return {ranges.begin() + static_cast<std::ptrdiff_t>(requestsBefore_), ranges.end()};
    }
    static std::string From(std::size_t byte) { return "bytes=" + std::to_string(byte) + "-|\"v1\""; }

    std::string Retry(std::size_t after, int error, int retry, const std::string& from) const {
        static const char* const kPause[] = {"", "1", "2", "4"};
        return "**** Transfer of " + Url() + " broke off after " + std::to_string(after) + " bytes (error " +
               std::to_string(error) + "); retry " + std::to_string(retry) + " of 3 in " + kPause[retry] +
               " s, " + (from.empty() ? "from the start" : "from byte " + from);
    }
    std::string NotResumed() const {
        return "**** The file server did not resume " + Url() + "; receiving it from the start";
    }
    static std::string InstalledLine() { return std::string("Setup has installed ") + kTarget; }

    // Starts the next case: the log, requests and pauses so far set aside.
    void NextCase() {
        pauses.clear();
        linesBefore_ = LogLines().size();
        requestsBefore_ = server.Requests().size();
    }
    std::vector<std::string> NewLines() {
        const std::vector<std::string> all = LogLines();
        return {all.begin() + static_cast<std::ptrdiff_t>(linesBefore_), all.end()};
    }

    std::size_t linesBefore_ = 0;
    std::size_t requestsBefore_ = 0;
};

} // namespace

TEST_F(ResumedDownload, ACutConnectionResumesFromTheBytesAlreadyHeld) {
    std::string text = tltest::Noise(kLarge);
    for (char& c : text)
        c = static_cast<char>('a' + (c & 15)); // deflate codes this, where it stores noise as it is
    const std::string noise = tltest::Noise(kLarge);
    const std::string deflated = tltest::Deflate(text);
    // The installed file, what is served, and where the first two responses break off: half-way
    // and three quarters, and also inside the zlib header, which the decoder reads in two pieces.
    const std::tuple<const std::string&, const std::string&, std::size_t, std::size_t> files[] = {
        {noise, noise, kLarge / 2, kLarge * 3 / 4},
        {text, deflated, deflated.size() / 2, deflated.size() * 3 / 4},
        {text, deflated, 1, 2}};
    for (const auto& [file, served, half, most] : files) {
        ServeCutting(server, {served, {half, most}});
        ASSERT_TRUE(Download(file));
        EXPECT_TRUE(Installed() == file) << "the file, whole and inflated, byte for byte";
        EXPECT_THAT(NewRanges(), ElementsAre("|", From(half), From(most)));
        EXPECT_THAT(NewLines(), ElementsAre(Retry(half, 12030, 1, std::to_string(half)),
                                            Retry(most, 12030, 2, std::to_string(most)), InstalledLine()));
        EXPECT_THAT(pauses, ElementsAre(1000, 2000));
        NextCase();
    }
    EXPECT_THAT(Messages(), IsEmpty());
    EXPECT_THAT(FolderContents(kFolder), ElementsAre("Tallymar.exe"));
}

TEST_F(ResumedDownload, AServerThatDoesNotResumeHasTheTransferStartOver) {
    const std::string file = tltest::Noise(kLarge);
    const std::size_t half = kLarge / 2;
    const std::string at = std::to_string(half);
    const struct {
        Ranges ranges;
        std::vector<std::string> asked;
        std::vector<std::string> lines;
    } cases[] = {
        {Ranges::Ignored, {"|", From(half)}, {Retry(half, 12030, 1, at), NotResumed(), InstalledLine()}},
        {Ranges::Refused, {"|", "|"}, {Retry(half, 12030, 1, ""), InstalledLine()}},
        {Ranges::WrongOffset,
         {"|", From(half), "|"},
         {Retry(half, 12030, 1, at), Retry(half, 12152, 2, ""), InstalledLine()}},
        {Ranges::AsWhole,
         {"|", From(half), "|"},
         {Retry(half, 12030, 1, at), Retry(half, 12152, 2, ""), InstalledLine()}},
    };
    for (const auto& c : cases) {
        const int which = static_cast<int>(c.ranges);
        ServeCutting(server, {file, {half}, c.ranges});
        ASSERT_TRUE(Download(file)) << which;
        EXPECT_TRUE(Installed() == file) << which;
        EXPECT_THAT(NewRanges(), ElementsAreArray(c.asked)) << which;
        EXPECT_THAT(NewLines(), ElementsAreArray(c.lines)) << which;
        NextCase();
    }
    EXPECT_THAT(Messages(), IsEmpty());
}

TEST_F(ResumedDownload, WhenTheRetriesRunOutTheDownloadFailsAndTheOldFileStays) {
    WriteFile(Host(kTarget), "old program");
    const std::size_t cuts[] = {kLarge / 5, kLarge * 2 / 5, kLarge * 3 / 5, kLarge * 4 / 5};
    ServeCutting(server, {tltest::Noise(kLarge), {std::begin(cuts), std::end(cuts)}});
    EXPECT_FALSE(Download());
    EXPECT_EQ(Installed(), "old program");
    EXPECT_THAT(FolderContents(kFolder), ElementsAre("Tallymar.exe"));
    EXPECT_THAT(NewRanges(), ElementsAre("|", From(cuts[0]), From(cuts[1]), From(cuts[2])));
    std::vector<std::string> lines;
    for (int retry = 1; retry <= 3; ++retry)
        lines.push_back(Retry(cuts[retry - 1], 12030, retry, std::to_string(cuts[retry - 1])));
    EXPECT_THAT(LogLines(), ElementsAreArray(lines));
    EXPECT_THAT(pauses, ElementsAre(1000, 2000, 4000));
    EXPECT_THAT(Messages(), ElementsAre("Internal error RIF102 (12030) trying to download " + Url() +
                                            ". Please write down this message and contact technical support.",
                                        "Error downloading Tallymar.exe"));
}

TEST_F(ResumedDownload, AServerGoneForAWhileAfterABreakIsWaitedFor) {
    const std::string file = tltest::Noise(kLarge);
    auto gone = std::make_unique<tltest::LoopbackServer>();
    const int port = gone->Port();
    ServeCutting(*gone, {file, {kLarge / 2}});
    theFileServerUrl = gone->BaseUrl();
    // The server goes with the break and is back for the second retry, on its own port.
    std::unique_ptr<tltest::LoopbackServer> back;
    tl::SetSleepForTesting([&](std::chrono::milliseconds pause) {
        pauses.push_back(pause.count());
        gone.reset();
        if (pauses.size() == 2) {
            back = std::make_unique<tltest::LoopbackServer>(port);
            ServeCutting(*back, {file, {}});
        }
    });
    ASSERT_TRUE(Download());
    EXPECT_TRUE(Installed() == file);
    EXPECT_THAT(pauses, ElementsAre(1000, 2000));
    const std::string half = std::to_string(kLarge / 2);
    EXPECT_THAT(LogLines(), ElementsAre(Retry(kLarge / 2, 12030, 1, half), Retry(kLarge / 2, 12029, 2, half),
                                        InstalledLine()));
    ASSERT_EQ(back->Requests().size(), 1u);
    EXPECT_EQ(back->Requests()[0].range, "bytes=" + half + "-");
}

TEST_F(ResumedDownload, AnErrorStatusIsTheServersAnswerAndIsNotTriedAgain) {
    WriteFile(Host(kTarget), "old program");
    // Statuses on the first request, then a file gone from the server after a break.
    const std::pair<int, bool> cases[] = {{404, false}, {403, false}, {410, false}, {404, true}};
    for (const auto& [status, afterABreak] : cases) {
        auto requests = std::make_shared<std::atomic<int>>(afterABreak ? 0 : 1);
        server.Handle(kPath, [requests, status](const httplib::Request&, httplib::Response& response) {
            if ((*requests)++ > 0) {
                response.status = status;
                return;
            }
            response.set_chunked_content_provider("application/octet-stream",
                                                  [](std::size_t offset, httplib::DataSink& sink) {
                                                      return offset == 0 && sink.write("part", 4);
                                                  });
        });
        const std::size_t shown = Messages().size();
        EXPECT_FALSE(Download()) << status;
        EXPECT_EQ(NewRanges().size(), afterABreak ? 2u : 1u) << status;
        EXPECT_EQ(pauses.size(), afterABreak ? 1u : 0u) << status;
        EXPECT_EQ(Installed(), "old program");
        EXPECT_THAT(FolderContents(kFolder), ElementsAre("Tallymar.exe"));
        EXPECT_EQ(Messages().at(shown),
                  "Internal error RIF102 (" + std::to_string(status) + ") trying to download " + Url() +
                      ". Please write down this message and contact technical support.");
        NextCase();
    }
}

TEST_F(ResumedDownload, ADrippingServerIsGivenUpAfterTheLowSpeedWindow) {
    WriteFile(Host(kTarget), "old program");
    // One byte every half second of a file that would take minutes: never silent, always too slow.
    server.Handle(kPath, [this](const httplib::Request&, httplib::Response& response) {
        response.set_header("Accept-Ranges", "none");
        response.set_content_provider(
            1000, "application/octet-stream", [this](std::size_t, std::size_t, httplib::DataSink& sink) {
                return sink.write("d", 1) && !server.WaitUntilStopped(std::chrono::milliseconds(500));
            });
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(Download());
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(Installed(), "old program");
    EXPECT_THAT(FolderContents(kFolder), ElementsAre("Tallymar.exe"));
    EXPECT_EQ(server.Requests().size(), 4u);
    EXPECT_THAT(pauses, ElementsAre(1000, 2000, 4000));
    EXPECT_EQ(Messages().at(0), "Internal error RIF102 (12002) trying to download " + Url() +
                                    ". Please write down this message and contact technical support.");
    // Four attempts of a two-second window, where the whole file would take 500 s.
    EXPECT_LT(took, std::chrono::seconds(60));
}
