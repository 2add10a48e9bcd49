// Starts in place of the import proxy in the channel tests: records the request's bytes exactly
// and answers with prepared bytes, so a test can check the framing byte for byte and feed the
// channel any response, broken ones too. Set by the test in the environment:
//   TL_STANDIN_MODE      empty: answer; "silent": end without signalling; "no-pipe": signal
//                        without opening the pipe
//   TL_STANDIN_REQUEST   host path for the request's bytes
//   TL_STANDIN_RESPONSE  host path of the bytes to answer with (then the pipe is closed)
#include "import/ImportProtocol.h"
#include "platform/NamedEvent.h"
#include "platform/NamedPipe.h"

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// The size of a complete request at the start of bytes, or nullopt while it is incomplete.
class RequestScanner {
public:
    explicit RequestScanner(const std::string& bytes) : bytes_(bytes) {}
    std::optional<std::size_t> Size() {
        std::uint32_t count = 0;
        if (!Dword(count))
            return std::nullopt;
        for (std::uint32_t i = 0; i < count; ++i) {
            if (!String())
                return std::nullopt;
        }
        std::uint32_t kind = 0;
        if (!Dword(kind) || (kind == importproxy::kRequestFile && !String()))
            return std::nullopt;
        return at_;
    }

private:
    bool Take(std::size_t size, std::uint32_t* value) {
        if (bytes_.size() - at_ < size)
            return false;
        *value = 0;
        for (std::size_t i = size; i-- > 0;)
            *value = (*value << 8) | static_cast<unsigned char>(bytes_[at_ + i]);
        at_ += size;
        return true;
    }
    bool Dword(std::uint32_t& value) { return Take(4, &value); }
    bool String() {
        std::uint32_t length = 0;
        if (!Take(1, &length))
            return false;
        if (length == 0xFF && (!Take(2, &length) || (length == 0xFFFF && !Take(4, &length))))
            return false;
        if (bytes_.size() - at_ < length)
            return false;
        at_ += length;
        return true;
    }

    const std::string& bytes_;
    std::size_t at_ = 0;
};

} // namespace

int main(int argc, char** argv) {
    const std::string mode = Env("TL_STANDIN_MODE");
    if (mode == "silent" || argc != 2)
        return 0;
    tl::NamedEvent ready;
    if (mode == "no-pipe") {
        ready.Create(importproxy::kReadyEventName);
        ready.Set();
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        return 0;
    }
    const tl::UniqueFd pipe = tl::OpenNamedPipe(argv[1]);
    if (!pipe)
        return 1;
    ready.Create(importproxy::kReadyEventName);
    ready.Set();

    std::string request;
    char chunk[4096];
    while (!RequestScanner(request).Size()) {
        const ssize_t n = ::read(pipe.get(), chunk, sizeof chunk);
        if (n <= 0)
            return 1;
        request.append(chunk, static_cast<std::size_t>(n));
    }
    std::ofstream(Env("TL_STANDIN_REQUEST"), std::ios::binary) << request;

    std::ifstream in(Env("TL_STANDIN_RESPONSE"), std::ios::binary);
    std::ostringstream response;
    response << in.rdbuf();
    const std::string bytes = response.str();
    for (std::size_t sent = 0; sent < bytes.size();) {
        const ssize_t n = ::write(pipe.get(), bytes.data() + sent, bytes.size() - sent);
        if (n <= 0)
            return 1;
        sent += static_cast<std::size_t>(n);
    }
    return 0;
}
