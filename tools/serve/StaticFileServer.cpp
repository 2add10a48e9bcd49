#include "tools/serve/StaticFileServer.h"

#include "platform/Format.h"
#include "tools/serve/ByteRange.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <linux/openat2.h>
#include <memory>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr std::size_t kChunk = 64 * 1024;

bool EndsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

const char* ContentType(std::string_view path) {
    return EndsWith(path, ".xml") ? "application/xml" : "application/octet-stream";
}

std::string HttpDate(const timespec& time) {
    std::tm parts{};
    ::gmtime_r(&time.tv_sec, &parts);
    char text[64];
    std::strftime(text, sizeof text, "%a, %d %b %Y %H:%M:%S GMT", &parts);
    return text;
}

// A log line stays one line whatever bytes the request's path holds.
std::string Printable(std::string_view path) {
    std::string text;
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte >= 0x7F || c == '%')
            text += tl::Format("%%%02X", byte);
        else
            text += c;
    }
    return text;
}

void SetError(httplib::Response& response, int status, const char* text) {
    response.status = status;
    response.set_content(std::string(text) + "\n", "text/plain");
}

} // namespace

std::optional<std::string> RelativeRequestPath(std::string_view path) {
    if (path.empty() || path.front() != '/')
        return std::nullopt;
    if (path.find('\\') != std::string_view::npos || path.find('\0') != std::string_view::npos)
        return std::nullopt;
    const std::string_view rest = path.substr(1);
    for (std::size_t start = 0; start < rest.size();) {
        const std::size_t end = std::min(rest.find('/', start), rest.size());
        const std::string_view part = rest.substr(start, end - start);
        // An empty part would make the rest an absolute path ("//etc"); a folder's trailing slash
        // ends the walk before it.
        if (part.empty() || part == "." || part == "..")
            return std::nullopt;
        start = end + 1;
    }
    return std::string(rest);
}

StaticFileServer::StaticFileServer(const std::filesystem::path& root, std::FILE* log)
    : root_(::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)), rootPath_(root), log_(log) {
    if (!root_)
        throw std::runtime_error(tl::Format("%s: %s", root.c_str(), std::strerror(errno)));
    std::error_code ec;
    rootPath_ = std::filesystem::canonical(root, ec);
    const auto serve = [this](const httplib::Request& request, httplib::Response& response) {
        Serve(request, response);
    };
    server_.Get(".*", serve);
    const auto refuse = [](const httplib::Request&, httplib::Response& response) {
        response.set_header("Allow", "GET, HEAD");
        SetError(response, 405, "Method Not Allowed");
    };
    server_.Post(".*", refuse)
        .Put(".*", refuse)
        .Patch(".*", refuse)
        .Delete(".*", refuse)
        .Options(".*", refuse);
    server_.set_logger([this](const httplib::Request& request, const httplib::Response& response) {
        Log(request, response);
    });
    // cpp-httplib lets every server share a port (SO_REUSEPORT), so a second one on a taken port
    // would quietly take half of its connections; a taken port must be an error instead.
    server_.set_socket_options([](int socket) {
        const int yes = 1;
        ::setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    // A client that keeps its connection open must not hold up the end of the server for long.
    server_.set_keep_alive_timeout(1);
    // A release is fetched file after file on one connection; the library's default of five
    // requests a connection would make a client of a 500-file release connect a hundred times.
    server_.set_keep_alive_max_count(1000);
    // The headers and the body of a response go out in separate writes: with Nagle's algorithm
    // the body of every response after the first on a kept-alive connection would wait for the
    // client's delayed acknowledgement of the headers, 40 ms a file.
    server_.set_tcp_nodelay(true);
}

int StaticFileServer::Bind(const std::string& address, int port) {
    if (port == 0)
        return server_.bind_to_any_port(address);
    return server_.bind_to_port(address, port) ? port : -1;
}

bool StaticFileServer::Listen() {
    listening_ = true;
    const bool ran = stopRequested_ ? true : server_.listen_after_bind();
    listening_ = false;
    return ran;
}

void StaticFileServer::Stop() {
    stopRequested_ = true;
    // stop() does nothing before the accept loop runs, so wait until it does or Listen is over.
    while (!server_.is_running() && listening_)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    server_.stop();
}

tl::UniqueFd StaticFileServer::OpenBelowRoot(const std::string& relative, int& error) const {
    // Not blocking, so that a named pipe in the folder cannot hold a worker.
    constexpr int kFlags = O_RDONLY | O_NONBLOCK | O_CLOEXEC;
    open_how how{};
    how.flags = kFlags;
    how.resolve = RESOLVE_BENEATH | RESOLVE_NO_MAGICLINKS;
    const long fd = ::syscall(SYS_openat2, root_.get(), relative.c_str(), &how, sizeof how);
    if (fd >= 0)
        return tl::UniqueFd(static_cast<int>(fd));
    error = errno;
    if (error != ENOSYS && error != EPERM)
        return tl::UniqueFd();
    // Kernels before 5.6 (or a sandbox that forbids openat2): resolve the path and check it.
    std::error_code ec;
    const std::filesystem::path resolved = std::filesystem::canonical(rootPath_ / relative, ec);
    if (ec) {
        error = ec.value();
        return tl::UniqueFd();
    }
    const auto [end, unused] =
        std::mismatch(rootPath_.begin(), rootPath_.end(), resolved.begin(), resolved.end());
    if (end != rootPath_.end()) {
        error = EXDEV;
        return tl::UniqueFd();
    }
    tl::UniqueFd file(::open(resolved.c_str(), kFlags | O_NOFOLLOW));
    error = errno;
    return file;
}

void StaticFileServer::Serve(const httplib::Request& request, httplib::Response& response) {
    // Debian's cpp-httplib 0.11 would cut the response to the request's ranges itself, without
    // checking them against the file's size; ranges are answered here, so its reading goes. The
    // request object is not const: only the handler's view of it is.
    const_cast<httplib::Request&>(request).ranges.clear();

    const std::optional<std::string> relative = RelativeRequestPath(request.path);
    if (!relative)
        return SetError(response, 403, "Forbidden");
    int error = 0;
    tl::UniqueFd file = relative->empty() ? tl::UniqueFd() : OpenBelowRoot(*relative, error);
    if (!file && (error == EXDEV || error == ELOOP || error == EACCES))
        return SetError(response, 403, "Forbidden");
    struct stat info {};
    if (!file || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return SetError(response, 404, "Not Found");

    const std::uint64_t size = static_cast<std::uint64_t>(info.st_size);
    const std::string lastModified = HttpDate(info.st_mtim);
    response.set_header("Accept-Ranges", "bytes");
    response.set_header("Last-Modified", lastModified);
    ByteRange range{0, size};
    RangeRequest wanted = RangeRequest::Whole;
    // A range of a file that changed since the client's copy would mix two versions.
    const bool sameVersion =
        !request.has_header("If-Range") || request.get_header_value("If-Range") == lastModified;
    if (request.has_header("Range") && sameVersion)
        wanted = ReadRangeHeader(request.get_header_value("Range"), size, range);
    if (wanted == RangeRequest::Unsatisfiable) {
        response.status = 416;
        response.set_header("Content-Range",
                            tl::Format("bytes */%llu", static_cast<unsigned long long>(size)));
        return;
    }
    response.status = wanted == RangeRequest::Partial ? 206 : 200;
    if (wanted == RangeRequest::Partial)
        response.set_header("Content-Range",
                            tl::Format("bytes %llu-%llu/%llu", static_cast<unsigned long long>(range.first),
                                       static_cast<unsigned long long>(range.first + range.length - 1),
                                       static_cast<unsigned long long>(size)));
    auto shared = std::make_shared<tl::UniqueFd>(std::move(file));
    const std::uint64_t first = range.first;
    response.set_content_provider(
        static_cast<std::size_t>(range.length), ContentType(request.path),
        [shared, first](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
            char buffer[kChunk];
            const ssize_t got =
                ::pread(shared->get(), buffer, std::min(length, kChunk), static_cast<off_t>(first + offset));
            return got > 0 && sink.write(buffer, static_cast<std::size_t>(got));
        });
}

void StaticFileServer::Log(const httplib::Request& request, const httplib::Response& response) {
    std::string bytes = "0";
    if (request.method != "HEAD" && response.has_header("Content-Length"))
        bytes = response.get_header_value("Content-Length");
    std::lock_guard lock(logMutex_);
    std::fprintf(log_, "%s %s %d %s\n", Printable(request.method).c_str(), Printable(request.path).c_str(),
                 response.status, bytes.c_str());
    std::fflush(log_);
}
