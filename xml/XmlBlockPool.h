#pragma once

#include <cstddef>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

/// Blocks of one size for the many small objects of document trees, cut from slabs of 64 KiB. A
/// large manifest makes and frees hundreds of thousands of attributes at once; from the general
/// heap each of their blocks would wait in glibc's fast bins to be merged again later, one cold
/// block at a time. Here a freed block goes on a list for the next one, and once the last block is
/// freed the slabs go back to the heap. Safe to use from any thread.
class XmlBlockPool {
public:
    explicit XmlBlockPool(std::size_t blockSize) noexcept;
    XmlBlockPool(const XmlBlockPool&) = delete;
    XmlBlockPool& operator=(const XmlBlockPool&) = delete;

    /// A block of the pool's size, aligned for any object. Throws std::bad_alloc.
    void* Allocate();
    /// Returns a block from this pool (nullptr is ignored).
    void Free(void* block) noexcept;

private:
    struct FreeBlock {
        FreeBlock* next;
    };
    static constexpr std::size_t kSlabSize = 64 * 1024;

    std::mutex mutex_;
    std::size_t blockSize_;
    std::vector<std::unique_ptr<std::byte[]>> slabs_;
    FreeBlock* free_ = nullptr;
    std::byte* next_ = nullptr; ///< the unused rest of the newest slab
    std::byte* end_ = nullptr;
    std::size_t live_ = 0;
};

/// A base that gives a class of many small objects (elements, attributes) the allocation functions
/// of a pool of its own, made once and never destroyed, so that an object of a document that lives
/// to the end of the program still finds it. Under AddressSanitizer the objects come from the
/// general heap, where it watches every block.
template <class T>
class XmlPooled {
public:
    static void* operator new(std::size_t size) {
        if (!kPooled || size != sizeof(T))
            return ::operator new(size);
        return Pool().Allocate();
    }
    static void operator delete(void* block, std::size_t size) noexcept {
        if (!kPooled || size != sizeof(T))
            return ::operator delete(block);
        Pool().Free(block);
    }

private:
#if defined(__SANITIZE_ADDRESS__)
    static constexpr bool kPooled = false;
#elif defined(__has_feature)
    static constexpr bool kPooled = !__has_feature(address_sanitizer);
#else
    static constexpr bool kPooled = true;
#endif
    static XmlBlockPool& Pool() {
        alignas(XmlBlockPool) static unsigned char storage[sizeof(XmlBlockPool)];
        static XmlBlockPool* const pool = ::new (static_cast<void*>(storage)) XmlBlockPool(sizeof(T));
        return *pool;
    }
};
