#include "tests/release/LoopbackServer.h"

#include "release/FetchUrl.h"

#include <chrono>

namespace tltest {

LoopbackServer::LoopbackServer() : server_(std::make_unique<httplib::Server>()) {
    Start();
}

LoopbackServer::LoopbackServer(int port) : server_(std::make_unique<httplib::Server>()) {
    Start(port);
}

LoopbackServer::LoopbackServer(const std::string& certificateFile, const std::string& keyFile)
    : server_(std::make_unique<httplib::SSLServer>(certificateFile.c_str(), keyFile.c_str())),
      scheme_("https") {
    Start();
}

void LoopbackServer::Start(int port) {
    // The headers and the body of a response go out in two writes; with Nagle's algorithm the
    // body of every response after the first on a kept connection would wait for the client's
    // delayed acknowledgement, as no real file server lets it.
    server_->set_tcp_nodelay(true);
    // One handler for everything, registered before the server runs: tests add paths later.
    server_->Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
        Dispatch(request, response);
    });
    port_ = port == 0 ? server_->bind_to_any_port("127.0.0.1")
                      : (server_->bind_to_port("127.0.0.1", port) ? port : -1);
    if (port_ <= 0)
        throw std::runtime_error("cannot bind a loopback port");
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    // stop() does nothing until the accept loop runs, so wait for it before anything may stop.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!server_->is_running() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

LoopbackServer::~LoopbackServer() {
    {
        std::lock_guard lock(mutex_);
        stopped_ = true;
    }
    stopping_.notify_all();
    // The connection that the transfer keeps for its next fetch holds one of the server's
    // threads until the server's keep-alive time runs out; the server stops at once without it.
    CloseIdleTransferConnection();
    server_->stop();
    thread_.join();
}

std::string LoopbackServer::BaseUrl() const {
    return scheme_ + "://127.0.0.1:" + std::to_string(port_) + "/";
}

void LoopbackServer::Serve(const std::string& path, std::string body, int status) {
    Handle(path, [body = std::move(body), status](const httplib::Request&, httplib::Response& response) {
        response.status = status;
        response.set_content(body, "application/octet-stream");
    });
}

void LoopbackServer::Handle(const std::string& path, Handler handler) {
    std::lock_guard lock(mutex_);
    handlers_[path] = std::move(handler);
}

std::vector<LoopbackServer::Request> LoopbackServer::Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

bool LoopbackServer::WaitUntilStopped(std::chrono::milliseconds longest) {
    std::unique_lock lock(mutex_);
    return stopping_.wait_for(lock, longest, [this] { return stopped_; });
}

void LoopbackServer::Dispatch(const httplib::Request& request, httplib::Response& response) {
    Handler handler;
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(Request{
            request.path, request.get_header_value("User-Agent"), request.get_header_value("Cache-Control"),
            request.get_header_value("Range"), request.get_header_value("If-Range"), request.remote_port});
        const auto found = handlers_.find(request.path);
        if (found != handlers_.end())
            handler = found->second;
    }
    if (!handler) {
        response.status = 404;
        response.set_content("<html><body>Not Found</body></html>", "text/html");
        return;
    }
    handler(request, response);
}

} // namespace tltest
