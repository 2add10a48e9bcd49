#include "release/ResponseDecoder.h"

#include "release/InflateStream.h"

#include <algorithm>
#include <new>

ResponseDecoder::ResponseDecoder(TransferSink& next, std::size_t capacity)
    : next_(next), capacity_(capacity) {}

ResponseDecoder::~ResponseDecoder() = default;

bool ResponseDecoder::Accept(const std::uint8_t* bytes, std::size_t count) {
    if (mode_ == Mode::Undecided)
        return Start(bytes, count);
    if (mode_ == Mode::Plain) {
        refused_ = !next_.Accept(bytes, count);
        return !refused_;
    }
    return Inflate(bytes, count);
}

bool ResponseDecoder::Restart() {
    mode_ = Mode::Undecided;
    firstByte_.reset();
    stream_.reset();
    produced_ = 0;
    ended_ = false;
    refused_ = false;
    failure_.reset();
    if (next_.Restart())
        return true;
    refused_ = true;
    return false;
}

// The first two bytes of the response choose; a first piece of one byte waits for the second.
bool ResponseDecoder::Start(const std::uint8_t* bytes, std::size_t count) {
    if (!firstByte_ && count == 1) {
        firstByte_ = bytes[0];
        return true;
    }
    const std::uint8_t first = firstByte_ ? *firstByte_ : bytes[0];
    const std::uint8_t second = firstByte_ ? bytes[0] : bytes[1];
    if (first != 0x78 || second != 0x9C) {
        mode_ = Mode::Plain;
        if (firstByte_ && !next_.Accept(&first, 1)) {
            refused_ = true;
            return false;
        }
        return Accept(bytes, count);
    }
    mode_ = Mode::Zlib;
    try {
        stream_ = std::make_unique<InflateStream>();
        window_.resize(kWindow);
    } catch (const std::bad_alloc&) {
        failure_ = Outcome::NoMemory;
        return true;
    }
    if (firstByte_ && !Inflate(&first, 1))
        return false;
    return Inflate(bytes, count);
}

// Inflates one piece into the window, handing the window on whenever it fills. The room never
// passes the capacity, so a stream that has more to give at the capacity is over it.
bool ResponseDecoder::Inflate(const std::uint8_t* bytes, std::size_t count) {
    if (failure_ || ended_)
        return true; // the rest of a failed response, or bytes after the end of the stream
    stream_->SetInput(bytes, count);
    for (;;) {
        const std::size_t room = std::min(window_.size(), capacity_ - produced_);
        std::size_t produced = 0;
        const int status = stream_->Inflate(window_.data(), room, produced);
        produced_ += produced;
        if (produced != 0 && !next_.Accept(window_.data(), produced)) {
            refused_ = true;
            return false;
        }
        if (status == Z_STREAM_END) {
            ended_ = true;
            return true;
        }
        if (status == Z_BUF_ERROR) {
            // No progress: either this piece is used up, or the stream wants room it cannot have.
            if (stream_->InputLeft() != 0)
                failure_ = Outcome::OverCapacity;
            return true;
        }
        if (status != Z_OK) {
            failure_ = Outcome::Damaged; // as one call reports any error of the inflation itself
            return true;
        }
        if (stream_->InputLeft() == 0 && produced < room)
            return true;
    }
}

ResponseDecoder::Outcome ResponseDecoder::Finish() {
    if (refused_)
        return Outcome::Refused;
    if (mode_ == Mode::Undecided) {
        // No byte, or a single byte, which cannot begin a zlib stream.
        mode_ = Mode::Plain;
        if (firstByte_ && !next_.Accept(&*firstByte_, 1))
            return Outcome::Refused;
        return Outcome::Complete;
    }
    if (mode_ == Mode::Plain)
        return Outcome::Complete;
    if (failure_)
        return *failure_;
    if (ended_)
        return Outcome::Complete;
    // The response ended inside the stream: with no room left the stream may have wanted more of
    // it (over the capacity, as one call sees it), otherwise it is cut short.
    return produced_ == capacity_ ? Outcome::OverCapacity : Outcome::Damaged;
}
