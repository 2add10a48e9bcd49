#pragma once

#include <condition_variable>
#include <functional>
#include <httplib.h>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tltest {

/// A real HTTP server on 127.0.0.1 on a free port, serving what a test puts on it, in a thread of
/// its own for the lifetime of the object.
class LoopbackServer {
public:
    using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;

    struct Request {
        std::string path;
        std::string userAgent;
        std::string cacheControl;
        std::string range;   ///< the Range header, empty when there is none
        std::string ifRange; ///< the If-Range header
        int clientPort = 0;  ///< the client's end of the connection the request came on
    };

    LoopbackServer();
    /// On a port of the test's choosing, as a server that comes back after it was gone.
    explicit LoopbackServer(int port);
    /// An https server with this certificate and key.
    LoopbackServer(const std::string& certificateFile, const std::string& keyFile);
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;
    ~LoopbackServer();

    /// "http://127.0.0.1:<port>/" (https for an https server).
    std::string BaseUrl() const;
    int Port() const { return port_; }

    /// Answers GET path with the bytes and status.
    void Serve(const std::string& path, std::string body, int status = 200);
    /// Answers GET path with a handler of the test's own.
    void Handle(const std::string& path, Handler handler);
    /// Every request received, in order.
    std::vector<Request> Requests() const;

    /// Blocks a handler until the server is being stopped or the time has passed; true when it
    /// was stopped. Lets handlers play a server that stops sending without holding up the test.
    bool WaitUntilStopped(std::chrono::milliseconds longest);

private:
    void Dispatch(const httplib::Request& request, httplib::Response& response);

    void Start(int port = 0);

    std::unique_ptr<httplib::Server> server_;
    std::string scheme_ = "http";
    int port_ = -1;
    std::thread thread_;
    mutable std::mutex mutex_;
    std::condition_variable stopping_;
    bool stopped_ = false;
    std::map<std::string, Handler> handlers_;
    std::vector<Request> requests_;
};

} // namespace tltest
