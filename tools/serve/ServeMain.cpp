// tlserve: serves a published release (or any folder) as static files, for demonstrations and tests.
#include "tools/serve/StaticFileServer.h"

#include <charconv>
#include <csignal>
#include <cstdio>
#include <exception>
#include <pthread.h>
#include <string>
#include <string_view>
#include <thread>

namespace {

constexpr int kStopped = 0;
constexpr int kCannotServe = 1;
constexpr int kUsageError = 2;

constexpr const char* kUsage = R"(Usage: tlserve DIR [--port N] [--bind ADDRESS]

Serves the files of DIR (for example the output of tlpublish) over HTTP: GET and HEAD, single
byte ranges, nothing outside DIR. Prints "Serving DIR at http://ADDRESS:PORT/" first, then one
line per request: method, path, status and bytes sent. Ends on SIGINT or SIGTERM.

Options:
  --port N        the port to listen on (default 8080; 0 takes a free one)
  --bind ADDRESS  the address to listen on (default 127.0.0.1)
  --help          shows this text

Exit status: 0 stopped by a signal; 1 cannot serve (no such folder, the port is taken);
2 the command line is wrong.
)";

struct Options {
    std::string folder;
    std::string address = "127.0.0.1";
    int port = 8080;
};

int UsageError(const std::string& message) {
    std::fprintf(stderr, "tlserve: %s\nTry tlserve --help.\n", message.c_str());
    return kUsageError;
}

bool ReadPort(std::string_view text, int& port) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), port);
    return error == std::errc() && end == text.data() + text.size() && port >= 0 && port <= 65535;
}

// Returns -1 when the options are complete, else the exit status.
int ReadOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            std::fputs(kUsage, stdout);
            return kStopped;
        }
        if (argument == "--port" || argument == "--bind") {
            if (++i == argc)
                return UsageError(std::string(argument) + " needs a value");
            if (argument == "--bind")
                options.address = argv[i];
            else if (!ReadPort(argv[i], options.port))
                return UsageError(std::string("not a port number: ") + argv[i]);
        } else if (argument.starts_with("-")) {
            return UsageError("unknown option " + std::string(argument));
        } else if (options.folder.empty()) {
            options.folder = argument;
        } else {
            return UsageError("give one folder");
        }
    }
    return options.folder.empty() ? UsageError("give the folder to serve") : -1;
}

std::string BaseUrl(const std::string& address, int port) {
    const bool ipv6 = address.find(':') != std::string::npos;
    return "http://" + (ipv6 ? "[" + address + "]" : address) + ":" + std::to_string(port) + "/";
}

int Serve(const Options& options) {
    // The signals are taken by one thread of ours, blocked everywhere else (the server's worker
    // threads inherit the mask), so that a stop never interrupts a transfer half-way.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGUSR1); // Listen ended by itself: the waiting thread may go
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    StaticFileServer server(options.folder, stdout);
    const int port = server.Bind(options.address, options.port);
    if (port <= 0) {
        std::fprintf(stderr, "tlserve: cannot listen on %s port %d\n", options.address.c_str(), options.port);
        return kCannotServe;
    }
    std::printf("Serving %s at %s\n", options.folder.c_str(), BaseUrl(options.address, port).c_str());
    std::fflush(stdout);

    std::thread waiter([&] {
        int received = 0;
        sigwait(&signals, &received);
        if (received != SIGUSR1)
            server.Stop();
    });
    const bool ran = server.Listen();
    pthread_kill(waiter.native_handle(), SIGUSR1);
    waiter.join();
    std::fprintf(stderr, "tlserve: stopped\n");
    return ran ? kStopped : kCannotServe;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (const int status = ReadOptions(argc, argv, options); status >= 0)
        return status;
    try {
        return Serve(options);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tlserve: %s\n", e.what());
        return kCannotServe;
    }
}
