#include "release/FetchUrl.h"

#include "app/ScriptedUserInterface.h"
#include "platform/Clock.h"
#include "platform/WinTypes.h"
#include "tests/release/LoopbackServer.h"

#include <atomic>
#include <gtest/gtest.h>
#include <zlib.h>

namespace {

constexpr std::size_t kCapacity = 64 * 1024;

class FetchUrl : public ::testing::Test {
protected:
    FetchUrl() {
        SetTransferLimitsForTesting(TransferLimits{kCapacity, 5, 1});
        // The pauses between attempts are recorded, not waited through.
        tl::SetSleepForTesting([this](std::chrono::milliseconds pause) { pauses.push_back(pause.count()); });
    }
    ~FetchUrl() override {
        tl::SetSleepForTesting({});
        SetTransferLimitsForTesting(std::nullopt);
    }

    std::string Url(const std::string& path) const { return server.BaseUrl() + path; }

    // Fetches and returns the text; "(failed)" when the fetch failed.
    std::string Fetch(const std::string& path) {
        std::string text = "unchanged";
        if (!FetchUrlToString(Url(path), text)) {
            EXPECT_EQ(text, "unchanged");
            return "(failed)";
        }
        return text;
    }

    static std::string InternalError(const std::string& code, int number, const std::string& url) {
        return "Internal error " + code + " (" + std::to_string(number) + ") trying to download " + url +
               ". Please write down this message and contact technical support.";
    }

    void ExpectOneError(const std::string& text) {
        ASSERT_EQ(ui.Messages().size(), 1u);
        EXPECT_EQ(ui.Messages()[0].text, text);
        EXPECT_EQ(ui.Messages()[0].caption, "Tallymar Setup");
        EXPECT_EQ(ui.Messages()[0].style, win::MB_OK | win::MB_ICONERROR);
    }

    tltest::LoopbackServer server;
    ScopedScriptedUserInterface ui;
    std::vector<long> pauses;
};

std::string Deflate(const std::string& data, int level) {
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::string out(size, '\0');
    EXPECT_EQ(compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                        reinterpret_cast<const Bytef*>(data.data()), static_cast<uLong>(data.size()), level),
              Z_OK);
    out.resize(size);
    return out;
}

std::string Pattern(std::size_t size) {
    std::string data(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        data[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    return data;
}

} // namespace

TEST_F(FetchUrl, FetchesTheExactBytesWithOurHeaders) {
    const std::string binary("MZ\0\x01\xFF zero\0bytes\r\n", 17);
    server.Serve("/CurrentVersion.xml", binary);
    EXPECT_EQ(Fetch("CurrentVersion.xml"), binary);
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(server.Requests()[0].userAgent, "TlInstall");
    EXPECT_EQ(server.Requests()[0].cacheControl, "no-cache");
    EXPECT_TRUE(ui.Messages().empty());
}

// A release of hundreds of files is fetched over one connection, not one connection a file.
TEST_F(FetchUrl, FetchesOneAfterAnotherOnOneConnection) {
    server.Serve("/a", "first");
    server.Serve("/b", "second");
    EXPECT_EQ(Fetch("a"), "first");
    EXPECT_EQ(Fetch("b"), "second");
    ASSERT_EQ(server.Requests().size(), 2u);
    EXPECT_EQ(server.Requests()[0].clientPort, server.Requests()[1].clientPort);
    CloseIdleTransferConnection();
    EXPECT_EQ(Fetch("a"), "first");
    EXPECT_NE(server.Requests()[2].clientPort, server.Requests()[1].clientPort);
}

TEST_F(FetchUrl, InflatesOnlyResponsesThatBeginWithTheDefaultZlibHeader) {
    const std::string text = "<CurrentVersion>" + std::string(5000, 'x') + "</CurrentVersion>";
    const std::string defaultLevel = Deflate(text, Z_DEFAULT_COMPRESSION);
    const std::string fastest = Deflate(text, 1);
    ASSERT_EQ(defaultLevel.substr(0, 2), "\x78\x9C");
    ASSERT_EQ(fastest.substr(0, 2), "\x78\x01");
    server.Serve("/default", defaultLevel);
    server.Serve("/fastest", fastest);
    EXPECT_EQ(Fetch("default"), text);
    EXPECT_EQ(Fetch("fastest"), fastest) << "any other response is the file itself";
}

TEST_F(FetchUrl, FollowsRedirectsButOnlyToWebAddresses) {
    server.Serve("/new", "moved here");
    server.Handle(
        "/old", [](const httplib::Request&, httplib::Response& response) { response.set_redirect("/new"); });
    server.Handle("/to-file", [](const httplib::Request&, httplib::Response& response) {
        response.set_redirect("file:///etc/passwd");
    });
    EXPECT_EQ(Fetch("old"), "moved here");
    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_EQ(Fetch("to-file"), "(failed)");
    ExpectOneError(InternalError("RIF102", 12006, Url("to-file")));
}

TEST_F(FetchUrl, OnlyHttpAndHttpsAreFetched) {
    std::string text;
    EXPECT_FALSE(FetchUrlToString("file:///etc/hostname", text));
    ExpectOneError(InternalError("RIF102", 12006, "file:///etc/hostname"));
}

TEST_F(FetchUrl, AnHttpErrorStatusIsAFailedFetchNotAFile) {
    server.Serve("/broken", "<html>Internal Server Error</html>", 500);
    EXPECT_EQ(Fetch("missing.exe"), "(failed)");
    ExpectOneError(InternalError("RIF102", 404, Url("missing.exe")));
    EXPECT_EQ(Fetch("broken"), "(failed)");
    EXPECT_EQ(ui.Messages().back().text, InternalError("RIF102", 500, Url("broken")));
}

TEST_F(FetchUrl, AnEmptyResponseIsRIF103) {
    server.Serve("/empty", "");
    EXPECT_EQ(Fetch("empty"), "(failed)");
    ExpectOneError(InternalError("RIF103", 0, Url("empty")));
}

TEST_F(FetchUrl, NoFileLargerThanTheCapacityIsAccepted) {
    server.Serve("/exact", Pattern(kCapacity));
    server.Serve("/over", Pattern(kCapacity + 1));
    server.Serve("/inflates-exact", Deflate(std::string(kCapacity, 'a'), Z_DEFAULT_COMPRESSION));
    server.Serve("/inflates-over", Deflate(std::string(kCapacity + 1, 'a'), Z_DEFAULT_COMPRESSION));
    EXPECT_EQ(Fetch("exact"), Pattern(kCapacity));
    EXPECT_EQ(Fetch("inflates-exact"), std::string(kCapacity, 'a'));
    EXPECT_TRUE(ui.Messages().empty());

    EXPECT_EQ(Fetch("over"), "(failed)");
    ExpectOneError(InternalError("RIF107", 122, Url("over")));
    EXPECT_EQ(Fetch("inflates-over"), "(failed)");
    EXPECT_EQ(ui.Messages().back().text, InternalError("RIF107", 122, Url("inflates-over")));
}

TEST_F(FetchUrl, DamagedCompressedDataFailsTheFetch) {
    const std::string stream = Deflate(Pattern(20000), Z_DEFAULT_COMPRESSION);
    server.Serve("/truncated", stream.substr(0, stream.size() / 2));
    std::string garbled = stream;
    garbled[10] = static_cast<char>(garbled[10] ^ 0x55);
    garbled[11] = static_cast<char>(garbled[11] ^ 0x55);
    server.Serve("/garbled", garbled);
    EXPECT_EQ(Fetch("truncated"), "(failed)");
    ExpectOneError(InternalError("RIF108", 13, Url("truncated")));
    EXPECT_EQ(Fetch("garbled"), "(failed)");
    EXPECT_EQ(ui.Messages().back().text, InternalError("RIF108", 13, Url("garbled")));
}

TEST_F(FetchUrl, AServerThatStopsSendingEndsTheTransfer) {
    server.Handle("/silent", [this](const httplib::Request&, httplib::Response& response) {
        server.WaitUntilStopped(std::chrono::seconds(10));
        response.set_content("too late", "text/plain");
    });
    server.Handle("/stalls", [this](const httplib::Request&, httplib::Response& response) {
        response.set_content_provider(100000, "application/octet-stream",
                                      [this](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                                          if (offset > 0)
                                              return !server.WaitUntilStopped(std::chrono::seconds(10));
                                          return sink.write("x", 1);
                                      });
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Fetch("silent"), "(failed)");
    ExpectOneError(InternalError("RIF102", 12002, Url("silent")));
    EXPECT_EQ(Fetch("stalls"), "(failed)");
    EXPECT_EQ(ui.Messages().back().text, InternalError("RIF102", 12002, Url("stalls")));
    // Each fetch: the first attempt and three retries of a one-second window, 1, 2 and 4 s apart.
    EXPECT_EQ(pauses, (std::vector<long>{1000, 2000, 4000, 1000, 2000, 4000}));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

TEST_F(FetchUrl, ATransferCutShortIsAFailureNotAShortFile) {
    server.Handle("/cut", [](const httplib::Request&, httplib::Response& response) {
        response.set_content_provider(
            10000, "application/octet-stream", [](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                return offset == 0 && sink.write(std::string(4000, 'x').data(), 4000);
            });
    });
    EXPECT_EQ(Fetch("cut"), "(failed)");
    ExpectOneError(InternalError("RIF102", 12030, Url("cut")));
}

TEST_F(FetchUrl, NoServerListeningIsRIF102) {
    std::string url;
    {
        tltest::LoopbackServer gone;
        url = gone.BaseUrl() + "CurrentVersion.xml";
    }
    std::string text;
    EXPECT_FALSE(FetchUrlToString(url, text));
    ExpectOneError(InternalError("RIF102", 12029, url));
    EXPECT_TRUE(pauses.empty()) << "only a transfer that broke off is tried again";
}

TEST_F(FetchUrl, HttpsWorksAndCertificatesAreChecked) {
    const std::string tls = std::string(TL_TEST_DATA_DIR) + "/tls/";
    tltest::LoopbackServer secure(tls + "self_signed_127.0.0.1.crt", tls + "self_signed_127.0.0.1.key");
    secure.Serve("/CurrentVersion.xml", "<CurrentVersion/>");
    const std::string url = secure.BaseUrl() + "CurrentVersion.xml";
    ASSERT_EQ(url.substr(0, 8), "https://");
    std::string text;
    EXPECT_FALSE(FetchUrlToString(url, text)) << "no authority vouches for the server";
    ExpectOneError(InternalError("RIF102", 12045, url));

    SetTransferLimitsForTesting(TransferLimits{kCapacity, 5, 1, tls + "self_signed_127.0.0.1.crt"});
    ASSERT_TRUE(FetchUrlToString(url, text));
    EXPECT_EQ(text, "<CurrentVersion/>");
}

TEST_F(FetchUrl, ABrokenTransferResumesIntoTheBufferWithTheServerLibrarysOwnRanges) {
    const std::string body = Pattern(50000);
    auto requests = std::make_shared<std::atomic<int>>(0);
    server.Handle("/manifest", [body, requests](const httplib::Request&, httplib::Response& response) {
        const bool cut = (*requests)++ == 0;
        response.set_content_provider(
            body.size(), "application/octet-stream",
            [body, cut](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                if (cut && offset >= 20000)
                    return false;
                return sink.write(body.data() + offset, std::min<std::size_t>(length, 10000));
            });
    });
    std::vector<std::string> log;
    std::string text;
    ASSERT_TRUE(
        FetchUrlToString(Url("manifest"), text, [&log](const std::string& line) { log.push_back(line); }));
    EXPECT_TRUE(text == body);
    ASSERT_EQ(server.Requests().size(), 2u);
    EXPECT_EQ(server.Requests()[1].range, "bytes=20000-");
    EXPECT_EQ(server.Requests()[1].ifRange, "") << "the server gave no validator";
    EXPECT_EQ(log,
              (std::vector<std::string>{"**** Transfer of " + Url("manifest") +
                                        " broke off after 20000 bytes (error 12030); retry 1 of 3 in 1 s, "
                                        "from byte 20000"}));
    EXPECT_TRUE(ui.Messages().empty());
}
