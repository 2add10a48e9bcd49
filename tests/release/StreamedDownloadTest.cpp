#include "release/DownloadFile.h"
#include "release/FetchUrl.h"
#include "tests/release/TestBytes.h"
#include "tests/release/UpdateTestBase.h"

#include <gmock/gmock.h>
#include <zlib.h>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

constexpr std::size_t kCapacity = 64 * 1024;
constexpr const char* kFolder = "C:\\Program Files\\Fenmore Software\\Tallymar";

using tltest::Deflate;

// Bytes that deflate does not shrink much, so a stream of the capacity spans many pieces.
std::string Noise(std::size_t size) {
    std::string data(size, '\0');
    std::uint32_t state = 2463534242u;
    for (char& byte : data) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = static_cast<char>('a' + state % 16);
    }
    return data;
}

std::string Garbled(std::string stream, std::size_t at) {
    for (std::size_t i = at; i < at + 16 && i < stream.size(); ++i)
        stream[i] = static_cast<char>(stream[i] ^ 0x5A);
    return stream;
}

struct Response {
    const char* name;
    std::string body;
    const char* code; ///< the one-call fetch's code, nullptr when it gives the file
};

std::vector<Response> Responses() {
    const std::string exact = Deflate(Noise(kCapacity));
    const std::string over = Deflate(Noise(kCapacity + 1));
    const std::string small = Deflate("Tallymar support file\r\n");
    return {
        {"plain", "MZ plain bytes", nullptr},
        {"one-byte", "x", nullptr},
        {"one-byte-of-a-header", "\x78", nullptr},
        {"other-zlib-level", "\x78\x01 sent as it is", nullptr},
        {"header-only", "\x78\x9C", "RIF108 (13)"},
        {"empty-stream", Deflate(""), nullptr},
        {"truncated", exact.substr(0, exact.size() / 2), "RIF108 (13)"},
        {"trailing-garbage", small + "garbage after the stream", nullptr},
        {"damaged", Garbled(exact, 40), "RIF108 (13)"},
        {"exactly-capacity", exact, nullptr},
        {"exactly-capacity-without-trailer", exact.substr(0, exact.size() - 4), "RIF107 (122)"},
        {"one-byte-over", over, "RIF107 (122)"},
        {"over-then-damaged", Garbled(over, over.size() - 20), "RIF107 (122)"},
    };
}

class StreamedDownload : public tltest::UpdateTestBase {
protected:
    StreamedDownload() { SetTransferLimitsForTesting(TransferLimits{kCapacity, 5, 1}); }

    // Serves body whole under /CurrentVersion/<name>, and in chunks (the first of one byte, then
    // pieces of 997 bytes) under /CurrentVersion/pieces-<name>.
    void ServeBothWays(const std::string& name, const std::string& body) {
        server.Serve("/CurrentVersion/" + name, body);
        server.Handle(
            "/CurrentVersion/pieces-" + name, [body](const httplib::Request&, httplib::Response& response) {
                response.set_chunked_content_provider(
                    "application/octet-stream", [body](std::size_t offset, httplib::DataSink& sink) {
                        if (offset >= body.size()) {
                            sink.done();
                            return true;
                        }
                        const std::size_t piece = offset == 0 ? 1 : 997;
                        return sink.write(body.data() + offset, std::min(piece, body.size() - offset));
                    });
            });
    }

    // What the one-call fetch gives: the file, or the code of its message.
    std::string FetchedInOneCall(const std::string& name) {
        std::string text;
        const std::size_t shown = Messages().size();
        if (FetchUrlToString(DownloadUrlFor(name), text))
            return "file:" + text;
        return CodeOf(MessagesSince(shown));
    }

    // What the streamed download leaves: the file, or the code of its message.
    std::string Downloaded(const std::string& name) {
        const std::size_t shown = Messages().size();
        if (::DownloadFile(sheet, name, FolderInstall, -1)) {
            EXPECT_THAT(MessagesSince(shown), IsEmpty());
            const auto path = Host(std::string(kFolder) + "\\" + name);
            const std::string file = ReadFile(path);
            std::filesystem::remove(path);
            return "file:" + file;
        }
        EXPECT_THAT(FolderContents(kFolder), IsEmpty()) << "nothing is left of a failed download";
        const std::vector<std::string> messages = MessagesSince(shown);
        EXPECT_EQ(messages.size(), 2u);
        if (messages.size() == 2) {
            EXPECT_EQ(messages[1], "Error downloading " + name);
        }
        return CodeOf(messages);
    }

    std::vector<std::string> MessagesSince(std::size_t shown) const {
        const std::vector<std::string> all = Messages();
        return std::vector<std::string>(all.begin() + static_cast<std::ptrdiff_t>(shown), all.end());
    }

    // "RIF108 (13)" of "Internal error RIF108 (13) trying to download ...".
    static std::string CodeOf(const std::vector<std::string>& messages) {
        if (messages.empty())
            return "(no message)";
        const std::string& text = messages[0];
        const std::string prefix = "Internal error ";
        const std::size_t end = text.find(" trying to download ");
        if (text.rfind(prefix, 0) != 0 || end == std::string::npos)
            return text;
        return text.substr(prefix.size(), end - prefix.size());
    }
};

} // namespace

TEST_F(StreamedDownload, WritesWhatTheOneCallFetchGivesAndFailsWhereItFails) {
    for (const Response& response : Responses()) {
        ServeBothWays(response.name, response.body);
        const std::string oneCall = FetchedInOneCall(response.name);
        if (response.code != nullptr)
            EXPECT_EQ(oneCall, response.code) << response.name;
        else
            EXPECT_EQ(oneCall.substr(0, 5), "file:") << response.name << ": " << oneCall;
        EXPECT_EQ(Downloaded(response.name), oneCall) << response.name;
        EXPECT_EQ(Downloaded(std::string("pieces-") + response.name), oneCall)
            << response.name << " in pieces";
    }
}

TEST_F(StreamedDownload, AFailureHalfWayThroughLeavesTheInstalledFileAndNoTemporaryFile) {
    WriteFile(Host(std::string(kFolder) + "\\Tallymar.exe"), "old program");
    const std::string stream = Deflate(Noise(kCapacity));
    ServeBothWays("Tallymar.exe", Garbled(stream, stream.size() / 2));
    EXPECT_FALSE(::DownloadFile(sheet, "pieces-Tallymar.exe", FolderInstall, -1));
    server.Serve("/CurrentVersion/Tallymar.exe", Deflate(Noise(kCapacity + 1)));
    EXPECT_FALSE(::DownloadFile(sheet, "Tallymar.exe", FolderInstall, -1));
    EXPECT_EQ(ReadFile(Host(std::string(kFolder) + "\\Tallymar.exe")), "old program");
    EXPECT_THAT(FolderContents(kFolder), ElementsAre("Tallymar.exe"));
    EXPECT_THAT(LogLines(), IsEmpty());
}
