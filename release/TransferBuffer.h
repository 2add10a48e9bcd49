#pragma once

#include <cstddef>
#include <cstdint>

/// A receive buffer of fixed capacity whose memory follows what is written into it: the whole
/// capacity is reserved as address space up front and the system backs a page only when it is
/// first written, so a small file costs a few pages and nothing is ever copied while the buffer
/// grows. Move-only; the reservation is released when the buffer goes away.
class TransferBuffer {
public:
    TransferBuffer() = default;
    TransferBuffer(TransferBuffer&& other) noexcept;
    TransferBuffer& operator=(TransferBuffer&& other) noexcept;
    TransferBuffer(const TransferBuffer&) = delete;
    TransferBuffer& operator=(const TransferBuffer&) = delete;
    ~TransferBuffer();

    /// Reserves capacity bytes of address space, releasing any earlier reservation. False (with
    /// the last error set) when the system refuses.
    bool Reserve(std::size_t capacity);

    /// Appends bytes. False, appending nothing, when they would pass the capacity.
    bool Append(const void* bytes, std::size_t count);

    /// Sets the size after the caller wrote into data() directly (at most the capacity).
    void SetSize(std::size_t size);

    /// Gives the reservation back. False (with the last error set) when the system refuses; the
    /// buffer is empty afterwards either way.
    bool Release();

    std::uint8_t* data() { return data_; }
    const std::uint8_t* data() const { return data_; }
    std::size_t size() const { return size_; }
    std::size_t capacity() const { return capacity_; }
    bool empty() const { return size_ == 0; }

private:
    std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};
