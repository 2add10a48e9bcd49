#include "release/FetchUrl.h"

#include "app/UserInterface.h"
#include "platform/Clock.h"
#include "platform/Format.h"
#include "platform/LastError.h"
#include "platform/RunState.h"
#include "platform/TextUtil.h"
#include "release/InternetErrors.h"
#include "release/ResponseDecoder.h"

#include <cstdio>
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

// One idle easy handle kept between transfers: its connection cache lets the next fetch from the
// file server go out on the connection (and the TLS session) of the last one instead of a new
// one for every file. A handle is taken for a transfer and given back after it; a second one in
// use at the same time (another thread) is simply cleaned up when it is given back.
std::mutex idleMutex;
CurlEasy& IdleHandle() {
    static CurlEasy idle;
    return idle;
}

class HandleLease {
public:
    HandleLease() {
        {
            std::lock_guard lock(idleMutex);
            handle_ = std::move(IdleHandle());
        }
        if (handle_)
            curl_easy_reset(handle_.get());
        else
            handle_.reset(curl_easy_init());
    }
    HandleLease(const HandleLease&) = delete;
    HandleLease& operator=(const HandleLease&) = delete;
    ~HandleLease() {
        if (!handle_)
            return;
        std::lock_guard lock(idleMutex);
        if (!IdleHandle())
            IdleHandle() = std::move(handle_);
    }

    CURL* get() const { return handle_.get(); }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    CurlEasy handle_;
};

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
enum class Stop { None, OverCapacity, ErrorStatus, SinkRefused, WrongRange };

// The headers of the response being received; a new status line (after a redirect) starts over.
struct ResponseHeaders {
    std::string contentRange;
    std::string acceptRanges;
    std::string validator; // the ETag, else the Last-Modified date
    std::string lastModified;
};

// What the attempts of one fetch share: the bytes the sink holds and what the server said.
struct Resume {
    std::size_t held = 0;    // bytes of the response the sink holds, from every attempt
    std::string validator;   // of the response whose bytes the sink holds
    bool takesRanges = true; // false once the server said "Accept-Ranges: none"
};

struct Receiver {
    CURL* handle;
    TransferSink* sink;
    std::size_t capacity;
    Resume* resume;
    std::size_t rangeFrom = 0; // the first byte asked for with a Range request (0: none)
    bool statusChecked = false;
    bool startedOver = false;
    Stop stop = Stop::None;
    ResponseHeaders headers;
};

bool IsSuccessStatus(long status) {
    return status >= 200 && status <= 299;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() &&
           (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' || text.back() == '\n'))
        text.remove_suffix(1);
    return text;
}

std::size_t ReceiveHeader(char* bytes, std::size_t size, std::size_t count, void* user) {
    auto* receiver = static_cast<Receiver*>(user);
    const std::string_view line(bytes, size * count);
    if (line.starts_with("HTTP/")) {
        receiver->headers = {};
        return line.size();
    }
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos)
        return line.size();
    const std::string_view name = line.substr(0, colon);
    const std::string value(Trimmed(line.substr(colon + 1)));
    ResponseHeaders& headers = receiver->headers;
    if (tl::EqualsNoCase(name, "Content-Range"))
        headers.contentRange = value;
    else if (tl::EqualsNoCase(name, "Accept-Ranges"))
        headers.acceptRanges = value;
    else if (tl::EqualsNoCase(name, "ETag"))
        headers.validator = value;
    else if (tl::EqualsNoCase(name, "Last-Modified"))
        headers.lastModified = value;
    return line.size();
}

// True when a Content-Range ("bytes 100-199/200") begins at first.
bool RangeBeginsAt(const std::string& contentRange, std::size_t first) {
    unsigned long long begin = 0;
    unsigned long long last = 0;
    char rest[2] = {};
    if (std::sscanf(contentRange.c_str(), "bytes %llu-%llu%1s", &begin, &last, rest) != 3)
        return false;
    return begin == first && last >= begin && rest[0] == '/';
}

// Decides, at the first byte (or at the end of a response without any), whether the response
// is one to take; for a retry, whether it goes on from the bytes already held or starts over.
bool CheckStart(Receiver& receiver) {
    receiver.statusChecked = true;
    long status = 0;
    curl_easy_getinfo(receiver.handle, CURLINFO_RESPONSE_CODE, &status);
    Resume& resume = *receiver.resume;
    if (receiver.rangeFrom > 0 && status == 206) {
        if (RangeBeginsAt(receiver.headers.contentRange, receiver.rangeFrom))
            return true;
        receiver.stop = Stop::WrongRange;
        return false;
    }
    if (receiver.rangeFrom > 0 && status == 416) {
        receiver.stop = Stop::WrongRange; // the file has changed under the transfer
        return false;
    }
    // Some servers answer a Range request with 200 and only the range (its Content-Range says
    // so): taken for the whole response, it would leave the file's tail as the file.
    if (receiver.rangeFrom > 0 && status == 200 && !receiver.headers.contentRange.empty() &&
        !RangeBeginsAt(receiver.headers.contentRange, 0)) {
        receiver.stop = Stop::WrongRange;
        return false;
    }
    // The body of a 404 or 500 is the server's error page, never the file: it goes nowhere. A
    // part of a file that was not asked for is no file either.
    if (!IsSuccessStatus(status) || status == 206) {
        receiver.stop = Stop::ErrorStatus;
        return false;
    }
    if (resume.held > 0) {
        // The whole response again: what the sink holds goes.
        if (!receiver.sink->Restart()) {
            receiver.stop = Stop::SinkRefused;
            return false;
        }
        resume.held = 0;
        receiver.startedOver = true;
    }
    resume.validator =
        receiver.headers.validator.empty() ? receiver.headers.lastModified : receiver.headers.validator;
    if (tl::EqualsNoCase(receiver.headers.acceptRanges, "none"))
        resume.takesRanges = false;
    return true;
}

std::size_t ReceiveChunk(char* bytes, std::size_t size, std::size_t count, void* user) {
    auto* receiver = static_cast<Receiver*>(user);
    const std::size_t total = size * count;
    if (!receiver->statusChecked && !CheckStart(*receiver))
        return 0; // anything but total ends the transfer
    if (total == 0)
        return 0;
    Resume& resume = *receiver->resume;
    if (total > receiver->capacity - resume.held) {
        receiver->stop = Stop::OverCapacity;
        return 0;
    }
    resume.held += total;
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

// A transfer that broke off once the request was out: the connection reset or closed before the
// end of the response, or a stall. Its retry may get the rest.
bool BrokeOff(CURLcode code, bool requestSent) {
    switch (code) {
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_OPERATION_TIMEDOUT:
        return requestSent;
    default:
        return false;
    }
}

// No connection to the server at all. A first attempt that fails so fails the fetch; a retry that
// does has met the outage that broke the transfer off, and the retries go on.
bool IsUnreachable(DWORD error) {
    return error == win::ERROR_INTERNET_CANNOT_CONNECT || error == win::ERROR_INTERNET_TIMEOUT ||
           error == win::ERROR_INTERNET_NAME_NOT_RESOLVED;
}

enum class TransferOutcome { Received, Failed, OverCapacity, SinkRefused };

// How one attempt ended; for a break the retry decides what comes next.
enum class AttemptEnd { Complete, BrokeOff, WrongRange, Failed, OverCapacity, SinkRefused };

struct Attempt {
    AttemptEnd end = AttemptEnd::Failed;
    DWORD error = 0;
    bool startedOver = false;
};

void SetOptions(CURL* handle, const std::string& url, const TransferLimits& limits, curl_slist* headers,
                Receiver& receiver) {
    curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers);
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
    // A server that sends nothing, or drips, for this long ends the transfer: every fetch of a
    // file up to the capacity ends in bounded time.
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, limits.lowSpeedBytesPerSecond);
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, limits.stallTimeoutSeconds);
    curl_easy_setopt(handle, CURLOPT_BUFFERSIZE, 256L * 1024);
    curl_easy_setopt(handle, CURLOPT_HEADERFUNCTION, ReceiveHeader);
    curl_easy_setopt(handle, CURLOPT_HEADERDATA, &receiver);
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, ReceiveChunk);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &receiver);
}

// The request's headers; a retry that resumes asks for the rest, and only of the same version.
bool MakeHeaders(CurlList& headers, const Resume& resume, std::size_t rangeFrom) {
    if (!AddHeader(headers, "User-Agent: TlInstall") || !AddHeader(headers, "Cache-Control: no-cache") ||
        !AddHeader(headers, "Pragma: no-cache"))
        return false;
    if (rangeFrom == 0)
        return true;
    const std::string range = tl::Format("Range: bytes=%zu-", rangeFrom);
    if (!AddHeader(headers, range.c_str()))
        return false;
    const std::string ifRange = "If-Range: " + resume.validator;
    return resume.validator.empty() || AddHeader(headers, ifRange.c_str());
}

// One GET, its body handed to the sink after the bytes it already holds.
Attempt TransferOnce(const std::string& url, const TransferLimits& limits, TransferSink& sink,
                     Resume& resume) {
    const HandleLease curl;
    CurlList headers;
    const std::size_t rangeFrom = resume.takesRanges ? resume.held : 0;
    if (!curl || !MakeHeaders(headers, resume, rangeFrom))
        return Attempt{AttemptEnd::Failed, win::ERROR_NOT_ENOUGH_MEMORY};
    CURL* handle = curl.get();
    Receiver receiver{handle, &sink, limits.capacity, &resume, rangeFrom, false, false, Stop::None, {}};
    SetOptions(handle, url, limits, headers.get(), receiver);

    const CURLcode code = curl_easy_perform(handle);
    if (code == CURLE_OK && !receiver.statusChecked)
        CheckStart(receiver); // a response without a body
    Attempt attempt;
    attempt.startedOver = receiver.startedOver;
    switch (receiver.stop) {
    case Stop::OverCapacity:
        return Attempt{AttemptEnd::OverCapacity, win::ERROR_INSUFFICIENT_BUFFER, receiver.startedOver};
    case Stop::SinkRefused:
        return Attempt{AttemptEnd::SinkRefused, 0, receiver.startedOver};
    case Stop::WrongRange:
        return Attempt{AttemptEnd::WrongRange, win::ERROR_HTTP_INVALID_SERVER_RESPONSE, false};
    case Stop::ErrorStatus:
    case Stop::None:
        break;
    }
    long status = 0;
    curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
    if (code != CURLE_OK && receiver.stop != Stop::ErrorStatus) {
        long requestSize = 0;
        curl_easy_getinfo(handle, CURLINFO_REQUEST_SIZE, &requestSize);
        attempt.end = BrokeOff(code, requestSize > 0) ? AttemptEnd::BrokeOff : AttemptEnd::Failed;
        attempt.error = InternetErrorFor(code);
        return attempt;
    }
    // A 404 or 500 arrives as a perfectly good transfer of the server's error page.
    if (receiver.stop == Stop::ErrorStatus || !IsSuccessStatus(status)) {
        attempt.end = AttemptEnd::Failed;
        attempt.error = static_cast<DWORD>(status);
        return attempt;
    }
    attempt.end = AttemptEnd::Complete;
    return attempt;
}

// Makes the next attempt start from the first byte; false when the sink cannot.
bool StartOver(TransferSink& sink, Resume& resume) {
    if (resume.held == 0)
        return true;
    resume.held = 0;
    resume.validator.clear();
    return sink.Restart();
}

// The GET and its retries. On failure the last error is the internet error number, or the HTTP
// status for a response that is not a success.
TransferOutcome Transfer(const std::string& url, const TransferLimits& limits, TransferSink& sink,
                         std::size_t& received, const TransferLog& log) {
    Resume resume;
    for (int retry = 1;; ++retry) {
        const Attempt attempt = TransferOnce(url, limits, sink, resume);
        received = resume.held;
        if (attempt.startedOver && log)
            log(tl::Format("**** The file server did not resume %s; receiving it from the start",
                           url.c_str()));
        switch (attempt.end) {
        case AttemptEnd::Complete:
            return TransferOutcome::Received;
        case AttemptEnd::OverCapacity:
            win::SetLastError(attempt.error);
            return TransferOutcome::OverCapacity;
        case AttemptEnd::SinkRefused:
            return TransferOutcome::SinkRefused;
        case AttemptEnd::Failed:
            if (retry > 1 && IsUnreachable(attempt.error))
                break; // the outage that broke the transfer is not over yet: the next pause is longer
            win::SetLastError(attempt.error);
            return TransferOutcome::Failed;
        case AttemptEnd::BrokeOff:
        case AttemptEnd::WrongRange:
            break;
        }
        if (retry > kTransferRetries) {
            win::SetLastError(attempt.error);
            return TransferOutcome::Failed;
        }
        const std::size_t brokeAt = resume.held;
        if ((attempt.end == AttemptEnd::WrongRange || !resume.takesRanges) && !StartOver(sink, resume))
            return TransferOutcome::SinkRefused;
        const long pauseMs = kFirstRetryPauseMs << (retry - 1);
        if (log) {
            const std::string from =
                resume.held > 0 ? tl::Format("from byte %zu", resume.held) : std::string("from the start");
            log(tl::Format(
                "**** Transfer of %s broke off after %zu bytes (error %d); retry %d of %d in %ld s, %s",
                url.c_str(), brokeAt, static_cast<int>(attempt.error), retry, kTransferRetries,
                pauseMs / 1000, from.c_str()));
        }
        tl::SleepFor(std::chrono::milliseconds(pauseMs));
    }
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
    bool Restart() override {
        buffer_.SetSize(0);
        return true;
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

bool FetchUrlToBuffer(const std::string& url, TransferBuffer& result, const TransferLog& log) {
    const TransferLimits limits = CurrentLimits();
    TransferBuffer received;
    if (!received.Reserve(limits.capacity))
        return Report("RIF101", url, result);
    BufferSink sink(received);
    std::size_t size = 0;
    const TransferOutcome outcome = Transfer(url, limits, sink, size, log);
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

SinkFetch FetchUrlToSink(const std::string& url, TransferSink& sink, const TransferLog& log) {
    const TransferLimits limits = CurrentLimits();
    ResponseDecoder decoder(sink, limits.capacity);
    std::size_t size = 0;
    const TransferOutcome outcome = Transfer(url, limits, decoder, size, log);
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

bool FetchUrlToString(const std::string& url, std::string& text, const TransferLog& log) {
    TransferBuffer buffer;
    if (!FetchUrlToBuffer(url, buffer, log))
        return false;
    text.assign(reinterpret_cast<const char*>(buffer.data()), buffer.size());
    return true;
}

CurlGlobalScope::CurlGlobalScope() {
    curl_global_init(CURL_GLOBAL_DEFAULT);
}

void CloseIdleTransferConnection() {
    CurlEasy idle;
    {
        std::lock_guard lock(idleMutex);
        idle = std::move(IdleHandle());
    }
}

CurlGlobalScope::~CurlGlobalScope() {
    CloseIdleTransferConnection();
    curl_global_cleanup();
}
