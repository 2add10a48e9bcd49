#pragma once

#include "release/TransferSink.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class InflateStream;

/// Turns a response into the file it carries while it arrives, and passes the file on to the next
/// sink: a response that begins with the bytes 0x78 0x9C is a zlib stream and is inflated on the
/// way (in pieces of at most kWindow bytes); any other response is the file itself.
///
/// The outcome is the one the whole response inflated in one call (zlib's uncompress with the
/// capacity as room) gives: the same bytes, and over the capacity or damaged in the same cases;
/// bytes after the end of the stream are ignored. Once the outcome is known to be a failure, the
/// rest of the response is taken and dropped, so the transfer's own failures still come first.
///
/// A transfer that resumes after a break hands on the rest of the response as it was sent, so a
/// zlib stream resumes in its compressed bytes and the inflation goes on where it stopped.
class ResponseDecoder final : public TransferSink {
public:
    enum class Outcome {
        Complete,     ///< the next sink has the whole file
        Refused,      ///< the next sink refused a piece (it knows why)
        OverCapacity, ///< the inflated file is larger than the capacity
        Damaged,      ///< the zlib stream is broken or ends early
        NoMemory,     ///< no memory for the inflation's state and window
    };

    static constexpr std::size_t kWindow = 256 * 1024;

    ResponseDecoder(TransferSink& next, std::size_t capacity);
    ResponseDecoder(const ResponseDecoder&) = delete;
    ResponseDecoder& operator=(const ResponseDecoder&) = delete;
    ~ResponseDecoder() override;

    bool Accept(const std::uint8_t* bytes, std::size_t count) override;
    /// Forgets the response so far, the inflation's state with it, and restarts the next sink.
    bool Restart() override;

    /// After the last piece of the response: the outcome (Complete for an empty response, which
    /// the transfer refuses itself).
    Outcome Finish();

private:
    enum class Mode { Undecided, Plain, Zlib };

    bool Start(const std::uint8_t* bytes, std::size_t count);
    bool Inflate(const std::uint8_t* bytes, std::size_t count);

    TransferSink& next_;
    std::size_t capacity_;
    Mode mode_ = Mode::Undecided;
    std::optional<std::uint8_t> firstByte_; // a first piece of one byte, until the second byte comes
    std::unique_ptr<InflateStream> stream_;
    std::vector<std::uint8_t> window_;
    std::size_t produced_ = 0;
    bool ended_ = false;
    bool refused_ = false;
    std::optional<Outcome> failure_;
};
