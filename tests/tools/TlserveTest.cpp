#include "release/DownloadFile.h"
#include "tests/release/TestBytes.h"
#include "tests/release/UpdateTestBase.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TestMachine.h"
#include "tools/serve/ByteRange.h"

#include <arpa/inet.h>
#include <csignal>
#include <fstream>
#include <gmock/gmock.h>
#include <map>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

using ::testing::HasSubstr;

namespace {

namespace fs = std::filesystem;

struct HttpResponse {
    int status = 0;
    std::map<std::string, std::string> headers; ///< names in lower case
    std::string body;

    std::string Header(const std::string& name) const {
        const auto found = headers.find(name);
        return found == headers.end() ? "" : found->second;
    }
};

void Put(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// One request over a connection of its own, written byte for byte as given (no client library
// would send "/../" as it stands).
HttpResponse Exchange(int port, const std::string& method, const std::string& target,
                      const std::string& extraHeaders = "") {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    HttpResponse response;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        ADD_FAILURE() << "cannot connect to port " << port;
        return response;
    }
    const std::string request = method + " " + target +
                                " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n" + extraHeaders +
                                "\r\n";
    EXPECT_EQ(::send(fd, request.data(), request.size(), MSG_NOSIGNAL), static_cast<ssize_t>(request.size()));
    std::string raw;
    char buffer[4096];
    for (ssize_t got; (got = ::recv(fd, buffer, sizeof buffer, 0)) > 0;)
        raw.append(buffer, static_cast<std::size_t>(got));
    ::close(fd);
    const std::size_t headerEnd = raw.find("\r\n\r\n");
    if (headerEnd == std::string::npos || raw.size() < 12) {
        ADD_FAILURE() << "no response to " << method << " " << target;
        return response;
    }
    response.status = std::stoi(raw.substr(9, 3));
    std::size_t line = raw.find("\r\n") + 2;
    while (line < headerEnd) {
        const std::size_t end = raw.find("\r\n", line);
        const std::string header = raw.substr(line, end - line);
        const std::size_t colon = header.find(':');
        std::string name = header.substr(0, colon);
        for (char& c : name)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        response.headers[name] = header.substr(header.find_first_not_of(' ', colon + 1));
        line = end + 2;
    }
    response.body = raw.substr(headerEnd + 4);
    return response;
}

class Tlserve : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = work_.Path() / "served";
        Put(root_ / "a.txt", "0123456789");
        Put(root_ / "sub" / "b.bin", "b");
        Put(work_.Path() / "secret", "outside");
        fs::create_symlink("a.txt", root_ / "inside");
        fs::create_symlink(root_ / "a.txt", root_ / "absolute-inside");
        fs::create_symlink(work_.Path() / "secret", root_ / "outside");
        fs::create_symlink("../../secret", root_ / "sub" / "relative-outside");
        ASSERT_EQ(::mkfifo((root_ / "pipe").c_str(), 0644), 0);
        server_ = std::make_unique<tltest::ChildProcess>(
            std::vector<std::string>{TL_SERVE_PROGRAM, root_.string(), "--port", "0"});
        const std::optional<std::string> banner = server_->ReadLine();
        ASSERT_TRUE(banner);
        const std::string prefix = "Serving " + root_.string() + " at http://127.0.0.1:";
        ASSERT_THAT(*banner, testing::StartsWith(prefix));
        port_ = std::stoi(banner->substr(prefix.size()));
    }

    HttpResponse Get(const std::string& target, const std::string& headers = "") {
        return Exchange(port_, "GET", target, headers);
    }

    tltest::TempFolder work_;
    fs::path root_;
    std::unique_ptr<tltest::ChildProcess> server_;
    int port_ = 0;
};

} // namespace

TEST_F(Tlserve, ServesFilesWholeAndByHead) {
    const HttpResponse whole = Get("/a.txt");
    EXPECT_EQ(whole.status, 200);
    EXPECT_EQ(whole.body, "0123456789");
    EXPECT_EQ(whole.Header("content-length"), "10");
    EXPECT_EQ(whole.Header("accept-ranges"), "bytes");
    EXPECT_EQ(whole.Header("content-type"), "application/octet-stream");

    const HttpResponse head = Exchange(port_, "HEAD", "/a.txt");
    EXPECT_EQ(head.status, 200);
    EXPECT_EQ(head.Header("content-length"), "10");
    EXPECT_EQ(head.body, "");
    const HttpResponse partialHead = Exchange(port_, "HEAD", "/a.txt", "Range: bytes=2-5\r\n");
    EXPECT_EQ(partialHead.status, 206);
    EXPECT_EQ(partialHead.Header("content-length"), "4");
    EXPECT_EQ(partialHead.body, "");
    EXPECT_EQ(Get("/inside").body, "0123456789"); // a link that stays inside the folder
}

TEST_F(Tlserve, AnswersSingleRangesAndRefusesUnsatisfiableOnes) {
    const struct {
        const char* range;
        int status;
        const char* contentRange;
        const char* body;
    } cases[] = {
        {"bytes=2-5", 206, "bytes 2-5/10", "2345"},
        {"bytes=7-", 206, "bytes 7-9/10", "789"},
        {"bytes=-3", 206, "bytes 7-9/10", "789"},
        {"bytes=8-100", 206, "bytes 8-9/10", "89"},
        {"bytes=-50", 206, "bytes 0-9/10", "0123456789"},
        {"bytes=10-", 416, "bytes */10", ""},
        {"bytes=-0", 416, "bytes */10", ""},
        {"bytes=0-1,4-5", 200, "", "0123456789"}, // several ranges: the whole file
    };
    for (const auto& c : cases) {
        HttpResponse response = Get("/a.txt", std::string("Range: ") + c.range + "\r\n");
        EXPECT_EQ(response.status, c.status) << c.range;
        EXPECT_EQ(response.Header("content-range"), c.contentRange) << c.range;
        EXPECT_EQ(response.body, c.body) << c.range;
    }
    // A range of a file that changed since the client's copy is not served: the whole file is.
    const HttpResponse stale =
        Get("/a.txt", "Range: bytes=2-5\r\nIf-Range: Mon, 01 Jan 2001 00:00:00 GMT\r\n");
    EXPECT_EQ(stale.status, 200);
    EXPECT_EQ(stale.body, "0123456789");
}

TEST_F(Tlserve, NothingOutsideTheFolderIsServed) {
    for (const char* target : {"/../secret", "/%2e%2e/secret", "/sub/../../secret", "//etc/passwd",
                               "/outside", "/sub/relative-outside", "/absolute-inside",
                               "/sub%2f..%2f..%2fsecret", "/a.txt%5c..%5c..%5csecret"}) {
        const HttpResponse response = Get(target);
        EXPECT_EQ(response.status, 403) << target;
        EXPECT_THAT(response.body, ::testing::Not(HasSubstr("outside"))) << target;
    }
    for (const char* target : {"/", "/sub/", "/missing", "/pipe"})
        EXPECT_EQ(Get(target).status, 404) << target;
    EXPECT_EQ(Exchange(port_, "DELETE", "/a.txt").status, 405);
    EXPECT_TRUE(fs::exists(root_ / "a.txt"));
}

TEST_F(Tlserve, LogsEachRequestOnOneLineAndStopsCleanlyOnSigterm) {
    Get("/a.txt");
    Exchange(port_, "HEAD", "/a.txt");
    Get("/sub/b.bin", "Range: bytes=0-0\r\n");
    Get("/missing%20file");
    EXPECT_EQ(server_->ReadLine(), "GET /a.txt 200 10");
    EXPECT_EQ(server_->ReadLine(), "HEAD /a.txt 200 0");
    EXPECT_EQ(server_->ReadLine(), "GET /sub/b.bin 206 1");
    EXPECT_EQ(server_->ReadLine(), "GET /missing%20file 404 10");
    EXPECT_EQ(server_->Stop(SIGTERM), 0);
    EXPECT_THAT(server_->Error(), HasSubstr("tlserve: stopped"));
}

TEST_F(Tlserve, ATakenPortAndABadCommandLineFail) {
    tltest::ProgramResult run =
        tltest::RunProgram({TL_SERVE_PROGRAM, root_.string(), "--port", std::to_string(port_)});
    EXPECT_EQ(run.status, 1);
    EXPECT_THAT(run.err, HasSubstr("tlserve: cannot listen on 127.0.0.1 port " + std::to_string(port_)));
    run = tltest::RunProgram({TL_SERVE_PROGRAM, root_.string(), "--port", "65536"});
    EXPECT_EQ(run.status, 2);
    EXPECT_THAT(run.err, HasSubstr("not a port number: 65536"));
    run = tltest::RunProgram({TL_SERVE_PROGRAM, (work_.Path() / "none").string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_THAT(run.err, HasSubstr("No such file or directory"));
}

TEST(ByteRange, ReadsOneRangeOfAFile) {
    const struct {
        const char* header;
        std::uint64_t size;
        RangeRequest outcome;
        std::uint64_t first;
        std::uint64_t length;
    } cases[] = {
        {"bytes=0-0", 10, RangeRequest::Partial, 0, 1},
        {" bytes= 3 - 4 ", 10, RangeRequest::Partial, 3, 2},
        {"bytes=9-99999999999999999999999", 10, RangeRequest::Partial, 9, 1},
        {"bytes=99999999999999999999999-", 10, RangeRequest::Unsatisfiable, 0, 0},
        {"bytes=-1", 0, RangeRequest::Unsatisfiable, 0, 0},
        {"bytes=0-", 0, RangeRequest::Unsatisfiable, 0, 0},
        {"bytes=5-4", 10, RangeRequest::Whole, 0, 0},
        {"items=0-4", 10, RangeRequest::Whole, 0, 0},
        {"bytes=a-4", 10, RangeRequest::Whole, 0, 0},
        {"bytes=-", 10, RangeRequest::Whole, 0, 0},
    };
    for (const auto& c : cases) {
        ByteRange range;
        EXPECT_EQ(ReadRangeHeader(c.header, c.size, range), c.outcome) << c.header;
        if (c.outcome == RangeRequest::Partial) {
            EXPECT_EQ(range.first, c.first) << c.header;
            EXPECT_EQ(range.length, c.length) << c.header;
        }
    }
}

namespace {

// The program downloading from tlserve through a loopback relay that drops the first connection
// half-way, as a broken network would.
class TlserveResume : public tltest::UpdateTestBase {
protected:
    static constexpr std::size_t kSize = 3 * 1024 * 1024;

    TlserveResume() {
        SetTransferLimitsForTesting(TransferLimits{8 * 1024 * 1024, 5, 2});
        Put(served_.Path() / "CurrentVersion" / "Tallymar.exe", file_);
        tlserve_ = std::make_unique<tltest::ChildProcess>(
            std::vector<std::string>{TL_SERVE_PROGRAM, served_.Path().string(), "--port", "0"});
        const std::optional<std::string> banner = tlserve_->ReadLine();
        const std::size_t port = banner ? banner->rfind(':') : std::string::npos;
        if (port == std::string::npos)
            throw std::runtime_error("tlserve did not start");
        server.Handle("/CurrentVersion/Tallymar.exe",
                      [this, port = std::stoi(banner->substr(port + 1))](const httplib::Request& request,
                                                                         httplib::Response& response) {
                          Relay(port, request, response);
                      });
    }

    void Relay(int port, const httplib::Request& request, httplib::Response& response) {
        httplib::Headers headers;
        for (const char* name : {"Range", "If-Range"}) {
            if (request.has_header(name))
                headers.emplace(name, request.get_header_value(name));
        }
        httplib::Client client("127.0.0.1", port);
        const httplib::Result answer = client.Get(request.path, headers);
        if (!answer) {
            response.status = 502;
            return;
        }
        response.status = answer->status;
        for (const char* name : {"Content-Range", "Accept-Ranges", "Last-Modified"}) {
            if (answer->has_header(name))
                response.set_header(name, answer->get_header_value(name));
        }
        const bool first = relayed_++ == 0;
        if (first && betweenAttempts_)
            betweenAttempts_();
        const std::size_t end = first ? answer->body.size() / 2 : answer->body.size();
        response.set_chunked_content_provider(
            "application/octet-stream",
            [body = answer->body, end](std::size_t offset, httplib::DataSink& sink) {
                if (offset >= body.size()) {
                    sink.done();
                    return true;
                }
                return offset < end &&
                       sink.write(body.data() + offset, std::min<std::size_t>(65536, end - offset));
            });
    }

    const std::string file_ = tltest::Noise(kSize);
    tltest::TempFolder served_;
    std::unique_ptr<tltest::ChildProcess> tlserve_;
    std::atomic<int> relayed_{0};
    std::function<void()> betweenAttempts_; ///< runs once the first answer is in
};

} // namespace

TEST_F(TlserveResume, ResumesAFileCutHalfWayWithARangeOfTheSameVersion) {
    ASSERT_TRUE(::DownloadFile(sheet, "Tallymar.exe", FolderInstall, -1));
    EXPECT_TRUE(ReadFile(Host(std::string(kInstallDirectory) + "\\Tallymar.exe")) == file_);
    const std::vector<tltest::LoopbackServer::Request> requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].range, "bytes=" + std::to_string(kSize / 2) + "-");
    EXPECT_THAT(requests[1].ifRange, testing::EndsWith(" GMT")) << "its Last-Modified date";
    EXPECT_EQ(tlserve_->ReadLine(), "GET /CurrentVersion/Tallymar.exe 200 " + std::to_string(kSize));
    EXPECT_EQ(tlserve_->ReadLine(),
              "GET /CurrentVersion/Tallymar.exe 206 " + std::to_string(kSize - kSize / 2));
}

TEST_F(TlserveResume, AFileThatChangedBetweenTheAttemptsIsReceivedAgainFromTheStart) {
    const std::string newer = tltest::Noise(kSize + 100).substr(100);
    const fs::path path = served_.Path() / "CurrentVersion" / "Tallymar.exe";
    betweenAttempts_ = [&] {
        Put(path, newer);
        const timespec later[2] = {{0, UTIME_OMIT}, {std::time(nullptr) + 3600, 0}};
        EXPECT_EQ(::utimensat(AT_FDCWD, path.c_str(), later, 0), 0);
    };
    ASSERT_TRUE(::DownloadFile(sheet, "Tallymar.exe", FolderInstall, -1));
    EXPECT_TRUE(ReadFile(Host(std::string(kInstallDirectory) + "\\Tallymar.exe")) == newer)
        << "the new version whole, never the old one's start with the new one's end";
    EXPECT_EQ(tlserve_->ReadLine(), "GET /CurrentVersion/Tallymar.exe 200 " + std::to_string(kSize));
    EXPECT_EQ(tlserve_->ReadLine(), "GET /CurrentVersion/Tallymar.exe 200 " + std::to_string(kSize));
    EXPECT_THAT(LogLines(), testing::Contains("**** The file server did not resume " + server.BaseUrl() +
                                              "CurrentVersion/Tallymar.exe; receiving it from the start"));
}
