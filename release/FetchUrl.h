#pragma once

#include "release/TransferBuffer.h"
#include "release/TransferSink.h"

#include <cstddef>
#include <optional>
#include <string>

/// What one fetch may take: the most bytes it holds (before and after inflation) and how long a
/// silent server is waited for.
struct TransferLimits {
    std::size_t capacity;       ///< the system page size x 16384 (64 MiB with 4 KiB pages)
    long connectTimeoutSeconds; ///< to establish the connection
    long stallTimeoutSeconds;   ///< with no byte arriving, once connected
    std::string caFile = {};    ///< certificate authorities to trust instead of the system's (tests)
};

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
bool FetchUrlToBuffer(const std::string& url, TransferBuffer& result);

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
SinkFetch FetchUrlToSink(const std::string& url, TransferSink& sink);

/// FetchUrlToBuffer into a string (exactly the response's bytes); false as there.
bool FetchUrlToString(const std::string& url, std::string& text);

/// Initialises the transfer library for the process, once, before any other thread runs; main
/// holds one for the whole run.
class CurlGlobalScope {
public:
    CurlGlobalScope();
    CurlGlobalScope(const CurlGlobalScope&) = delete;
    CurlGlobalScope& operator=(const CurlGlobalScope&) = delete;
    ~CurlGlobalScope();
};
