#include "release/FetchUrl.h"

#include "app/UserInterface.h"
#include "platform/Format.h"
#include "platform/LastError.h"
#include "platform/RunState.h"
#include "release/InternetErrors.h"
#include "release/ResponseDecoder.h"

#include <curl/curl.h>
#include <memory>
#include <mutex>
#include <unistd.h>
#include <zlib.h>

namespace {

// The limits that tests set in place of the machine's; part of the run state, so each test starts
// with the machine's own.
struct TransferRunState {
    std::optional<TransferLimits> limitsForTesting;
};

std::mutex limitsMutex;

std::optional<TransferLimits>& LimitsForTesting() {
    return tl::RunState::Part<TransferRunState>().limitsForTesting;
}

TransferLimits CurrentLimits() {
    std::lock_guard lock(limitsMutex);
    return LimitsForTesting().value_or(DefaultTransferLimits());
}

struct CurlEasyDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct CurlListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using CurlEasy = std::unique_ptr<CURL, CurlEasyDeleter>;
using CurlList = std::unique_ptr<curl_slist, CurlListDeleter>;

// Appends a header; the list stays owned by one owner even when curl_slist_append fails.
bool AddHeader(CurlList& list, const char* header) {
    curl_slist* longer = curl_slist_append(list.get(), header);
    if (longer == nullptr)
        return false;
    list.release();
    list.reset(longer);
    return true;
}

// Why the receiving end stopped a transfer before its end.
enum class Stop { None, OverCapacity, ErrorStatus, SinkRefused };

struct Receiver {
    CURL* handle;
    TransferSink* sink;
    std::size_t capacity;
    std::size_t received = 0;
    bool statusChecked = false;
    Stop stop = Stop::None;
};

bool IsSuccessStatus(long status) {
    return status >= 200 && status <= 299;
}

std::size_t ReceiveChunk(char* bytes, std::size_t size, std::size_t count, void* user) {
    auto* receiver = static_cast<Receiver*>(user);
    const std::size_t total = size * count;
    // The body of a 404 or 500 is the server's error page, never the file: it goes nowhere.
    if (!receiver->statusChecked) {
        long status = 0;
        curl_easy_getinfo(receiver->handle, CURLINFO_RESPONSE_CODE, &status);
        if (!IsSuccessStatus(status)) {
            receiver->stop = Stop::ErrorStatus;
            return 0; // anything but total ends the transfer
        }
        receiver->statusChecked = true;
    }
    if (total == 0)
        return 0;
    if (total > receiver->capacity - receiver->received) {
        receiver->stop = Stop::OverCapacity;
        return 0;
    }
    receiver->received += total;
    if (!receiver->sink->Accept(reinterpret_cast<const std::uint8_t*>(bytes), total)) {
        receiver->stop = Stop::SinkRefused;
        return 0;
    }
    return total;
}

DWORD InternetErrorFor(CURLcode code) {
    switch (code) {
    case CURLE_UNSUPPORTED_PROTOCOL:
        return win::ERROR_INTERNET_UNRECOGNIZED_SCHEME;
    case CURLE_URL_MALFORMAT:
        return win::ERROR_INTERNET_INVALID_URL;
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_RESOLVE_HOST:
        return win::ERROR_INTERNET_NAME_NOT_RESOLVED;
    case CURLE_COULDNT_CONNECT:
        return win::ERROR_INTERNET_CANNOT_CONNECT;
    case CURLE_OPERATION_TIMEDOUT:
        return win::ERROR_INTERNET_TIMEOUT;
    case CURLE_PEER_FAILED_VERIFICATION:
        return win::ERROR_INTERNET_INVALID_CA;
    case CURLE_SSL_CONNECT_ERROR:
        return win::ERROR_INTERNET_SECURITY_CHANNEL_ERROR;
    case CURLE_TOO_MANY_REDIRECTS:
        return win::ERROR_HTTP_REDIRECT_FAILED;
    case CURLE_GOT_NOTHING:
    case CURLE_WEIRD_SERVER_REPLY:
        return win::ERROR_HTTP_INVALID_SERVER_RESPONSE;
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
        return win::ERROR_INTERNET_CONNECTION_ABORTED;
    case CURLE_SEND_ERROR:
        return win::ERROR_INTERNET_CONNECTION_RESET;
    default:
        return win::ERROR_INTERNET_INTERNAL_ERROR;
    }
}

enum class TransferOutcome { Received, Failed, OverCapacity, SinkRefused };

// One GET, its body handed to the sink. On failure the last error is the internet error number,
// or the HTTP status for a response that is not a success.
TransferOutcome Transfer(const std::string& url, const TransferLimits& limits, TransferSink& sink,
                         std::size_t& received) {
    CurlEasy curl(curl_easy_init());
    CurlList headers;
    if (!curl || !AddHeader(headers, "User-Agent: TlInstall") ||
        !AddHeader(headers, "Cache-Control: no-cache") || !AddHeader(headers, "Pragma: no-cache")) {
        win::SetLastError(win::ERROR_NOT_ENOUGH_MEMORY);
        return TransferOutcome::Failed;
    }
    CURL* handle = curl.get();
    Receiver receiver{handle, &sink, limits.capacity};
    curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(handle, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!limits.caFile.empty())
        curl_easy_setopt(handle, CURLOPT_CAINFO, limits.caFile.c_str());
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, limits.connectTimeoutSeconds);
    // A server that sends nothing (no headers, or no more data) for this long ends the transfer.
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, limits.stallTimeoutSeconds);
    curl_easy_setopt(handle, CURLOPT_BUFFERSIZE, 256L * 1024);
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, ReceiveChunk);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &receiver);

    const CURLcode code = curl_easy_perform(handle);
    received = receiver.received;
    switch (receiver.stop) {
    case Stop::OverCapacity:
        win::SetLastError(win::ERROR_INSUFFICIENT_BUFFER);
        return TransferOutcome::OverCapacity;
    case Stop::SinkRefused:
        return TransferOutcome::SinkRefused;
    case Stop::ErrorStatus:
    case Stop::None:
        break;
    }
    long status = 0;
    curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
    if (code != CURLE_OK && receiver.stop != Stop::ErrorStatus) {
        win::SetLastError(InternetErrorFor(code));
        return TransferOutcome::Failed;
    }
    // A 404 or 500 arrives as a perfectly good transfer of the server's error page.
    if (!IsSuccessStatus(status)) {
        win::SetLastError(static_cast<DWORD>(status));
        return TransferOutcome::Failed;
    }
    return TransferOutcome::Received;
}

bool ShowInternalError(const char* code, const std::string& url) {
    const DWORD error = win::GetLastError();
    AppMessageBox(
        tl::Format("Internal error %s (%d) trying to download %s. Please write down this message and "
                   "contact technical support.",
                   code, static_cast<int>(error), url.c_str()),
        win::MB_OK | win::MB_ICONERROR);
    return false;
}

bool Report(const char* code, const std::string& url, TransferBuffer& result) {
    const DWORD error = win::GetLastError();
    result.Release();
    win::SetLastError(error);
    return ShowInternalError(code, url);
}

// The code of a transfer that did not deliver a whole response, or nullptr; the last error is set.
const char* TransferFailureCode(TransferOutcome outcome, std::size_t received) {
    switch (outcome) {
    case TransferOutcome::Failed:
        return "RIF102";
    case TransferOutcome::OverCapacity:
        return "RIF107";
    case TransferOutcome::SinkRefused:
    case TransferOutcome::Received:
        break;
    }
    if (outcome == TransferOutcome::Received && received == 0) {
        win::SetLastError(win::ERROR_SUCCESS);
        return "RIF103";
    }
    return nullptr;
}

bool IsZlibStream(const TransferBuffer& buffer) {
    return buffer.size() >= 2 && buffer.data()[0] == 0x78 && buffer.data()[1] == 0x9C;
}

// Appends to a buffer reserved with the transfer's capacity, which the transfer never passes.
class BufferSink final : public TransferSink {
public:
    explicit BufferSink(TransferBuffer& buffer) : buffer_(buffer) {}
    bool Accept(const std::uint8_t* bytes, std::size_t count) override {
        return buffer_.Append(bytes, count);
    }

private:
    TransferBuffer& buffer_;
};

} // namespace

TransferLimits DefaultTransferLimits() {
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    return TransferLimits{static_cast<std::size_t>(pageSize > 0 ? pageSize : 4096) * 16384, 30, 60};
}

void SetTransferLimitsForTesting(std::optional<TransferLimits> limits) {
    std::lock_guard lock(limitsMutex);
    LimitsForTesting() = limits;
}

bool FetchUrlToBuffer(const std::string& url, TransferBuffer& result) {
    const TransferLimits limits = CurrentLimits();
    TransferBuffer received;
    if (!received.Reserve(limits.capacity))
        return Report("RIF101", url, result);
    BufferSink sink(received);
    std::size_t size = 0;
    const TransferOutcome outcome = Transfer(url, limits, sink, size);
    if (const char* code = TransferFailureCode(outcome, size))
        return Report(code, url, result);
    if (!IsZlibStream(received)) {
        result = std::move(received);
        return true;
    }

    TransferBuffer inflated;
    if (!inflated.Reserve(limits.capacity))
        return Report("RIF104", url, result);
    uLongf length = static_cast<uLongf>(inflated.capacity());
    uLong sourceLength = static_cast<uLong>(received.size());
    const int status = uncompress2(inflated.data(), &length, received.data(), &sourceLength);
    if (status == Z_BUF_ERROR) {
        win::SetLastError(win::ERROR_INSUFFICIENT_BUFFER);
        return Report("RIF107", url, result);
    }
    if (status != Z_OK) {
        win::SetLastError(win::ERROR_INVALID_DATA);
        return Report("RIF108", url, result);
    }
    inflated.SetSize(length);
    if (!received.Release())
        return Report("RIF104.5", url, result);
    result = std::move(inflated);
    return true;
}

SinkFetch FetchUrlToSink(const std::string& url, TransferSink& sink) {
    const TransferLimits limits = CurrentLimits();
    ResponseDecoder decoder(sink, limits.capacity);
    std::size_t size = 0;
    const TransferOutcome outcome = Transfer(url, limits, decoder, size);
    if (const char* code = TransferFailureCode(outcome, size)) {
        ShowInternalError(code, url);
        return SinkFetch::Failed;
    }
    if (outcome == TransferOutcome::SinkRefused)
        return SinkFetch::SinkRefused;
    switch (decoder.Finish()) {
    case ResponseDecoder::Outcome::Complete:
        return SinkFetch::Delivered;
    case ResponseDecoder::Outcome::Refused:
        return SinkFetch::SinkRefused;
    case ResponseDecoder::Outcome::OverCapacity:
        win::SetLastError(win::ERROR_INSUFFICIENT_BUFFER);
        ShowInternalError("RIF107", url);
        return SinkFetch::Failed;
    case ResponseDecoder::Outcome::Damaged:
        win::SetLastError(win::ERROR_INVALID_DATA);
        ShowInternalError("RIF108", url);
        return SinkFetch::Failed;
    case ResponseDecoder::Outcome::NoMemory:
        win::SetLastError(win::ERROR_NOT_ENOUGH_MEMORY);
        ShowInternalError("RIF104", url);
        return SinkFetch::Failed;
    }
    return SinkFetch::Failed;
}

bool FetchUrlToString(const std::string& url, std::string& text) {
    TransferBuffer buffer;
    if (!FetchUrlToBuffer(url, buffer))
        return false;
    text.assign(reinterpret_cast<const char*>(buffer.data()), buffer.size());
    return true;
}

CurlGlobalScope::CurlGlobalScope() {
    curl_global_init(CURL_GLOBAL_DEFAULT);
}

CurlGlobalScope::~CurlGlobalScope() {
    curl_global_cleanup();
}
