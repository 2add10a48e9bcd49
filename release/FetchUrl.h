#pragma once

#include "release/TransferBuffer.h"
#include "release/TransferSink.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

/// What one fetch may take: the most bytes it holds (before and after inflation) and how long a
/// silent or dripping server is waited for.
struct TransferLimits {
    std::size_t capacity;       ///< the system page size x 16384 (64 MiB with 4 KiB pages)
    long connectTimeoutSeconds; ///< to establish the connection
    /// The low-speed window: a transfer slower than lowSpeedBytesPerSecond over this many seconds
    /// (a server that sends nothing, or drips) has stalled.
    long stallTimeoutSeconds;
    std::string caFile = {}; ///< certificate authorities to trust instead of the system's (tests)
    long lowSpeedBytesPerSecond = 1024;
};

/// How often a transfer that breaks off is tried again, and the pause before the first retry,
/// which doubles for each one after it (1 s, 2 s, 4 s).
inline constexpr int kTransferRetries = 3;
inline constexpr long kFirstRetryPauseMs = 1000;

/// Where a fetch writes the log lines of its retries (an empty function: nowhere).
using TransferLog = std::function<void(const std::string& line)>;

/// The limits of the program.
TransferLimits DefaultTransferLimits();

/// Replaces the limits for tests (nullopt returns to the defaults).
void SetTransferLimitsForTesting(std::optional<TransferLimits> limits);

/// Fetches a URL (http or https, certificates checked, redirects followed, never from a cache)
/// with the header "User-Agent: TlInstall". A response that begins with the bytes 0x78 0x9C is a
/// zlib stream and is inflated. On success result holds exactly the file's bytes.
///
/// On failure shows "Internal error <code> (<number>) trying to download <url>. Please write down
/// this message and contact technical support." (error icon) and returns false; result is then
/// empty. Codes: RIF101/RIF104 reserving the receive/inflation buffer, RIF102 the transfer failed
/// (no connection, a time-out, a broken response or an HTTP error status; the number is the
/// internet error number or the HTTP status), RIF103 an empty response, RIF104.5 releasing the
/// compressed data, RIF107 the file is larger than the capacity (before or after inflation),
/// RIF108 the compressed data is damaged.
///
/// A transfer that breaks off once the request is out (the connection reset or closed early, a
/// stall) is tried again up to kTransferRetries times, after pauses of 1, 2 and 4 seconds
/// (tl::SleepFor), each retry logged; a retry that cannot reach the server (the outage that broke
/// the transfer goes on) is one more broken attempt, where a first attempt that cannot fails. A
/// retry asks for the rest of the response with a Range request (and If-Range with the validator
/// the server gave), unless the server said that it takes no ranges; a server that answers with
/// the whole response (200), with a range that does not begin where the bytes stopped, or with a
/// 200 that carries only that range (its Content-Range says so) has the transfer start over, the
/// sinks restarted. An answer with an HTTP error status is the server's answer and is not tried
/// again.
bool FetchUrlToBuffer(const std::string& url, TransferBuffer& result, const TransferLog& log = {});

/// What became of a fetch into a sink.
enum class SinkFetch {
    Delivered,   ///< the sink has taken the whole file
    Failed,      ///< the fetch failed and said so ("Internal error ...")
    SinkRefused, ///< the sink refused a piece; nothing was shown, the sink knows why
};

/// Fetches a URL as FetchUrlToBuffer does and hands the file to sink piece by piece as it
/// arrives, a zlib stream inflated on the way, so that memory does not follow the file's size.
/// The same checks, capacity, codes and message as FetchUrlToBuffer (RIF104 here: no memory for
/// the inflation); the bytes are those FetchUrlToBuffer would give. After a failure the sink may
/// hold the beginning of the file, which its owner throws away.
SinkFetch FetchUrlToSink(const std::string& url, TransferSink& sink, const TransferLog& log = {});

/// FetchUrlToBuffer into a string (exactly the response's bytes); false as there.
bool FetchUrlToString(const std::string& url, std::string& text, const TransferLog& log = {});

/// Initialises the transfer library for the process, once, before any other thread runs; main
/// holds one for the whole run.
/// Closes the connection that the last fetch left open for the next one (the next fetch opens a
/// new one). For a server that is about to go away in this process; never fails.
void CloseIdleTransferConnection();

class CurlGlobalScope {
public:
    CurlGlobalScope();
    CurlGlobalScope(const CurlGlobalScope&) = delete;
    CurlGlobalScope& operator=(const CurlGlobalScope&) = delete;
    ~CurlGlobalScope();
};
