#include "xml/XmlBlockPool.h"

#include <algorithm>
#include <new>

namespace {

constexpr std::size_t kAlignment = alignof(std::max_align_t);

} // namespace

XmlBlockPool::XmlBlockPool(std::size_t blockSize) noexcept
    : blockSize_((std::max(blockSize, sizeof(FreeBlock)) + kAlignment - 1) / kAlignment * kAlignment) {}

void* XmlBlockPool::Allocate() {
    std::lock_guard lock(mutex_);
    void* block = nullptr;
    if (free_ != nullptr) {
        block = free_;
        free_ = free_->next;
    } else {
        if (next_ == nullptr || static_cast<std::size_t>(end_ - next_) < blockSize_) {
            slabs_.push_back(std::make_unique_for_overwrite<std::byte[]>(kSlabSize));
            next_ = slabs_.back().get();
            end_ = next_ + kSlabSize;
        }
        block = next_;
        next_ += blockSize_;
    }
    ++live_;
    return block;
}

void XmlBlockPool::Free(void* block) noexcept {
    if (block == nullptr)
        return;
    std::lock_guard lock(mutex_);
    if (--live_ == 0) {
        // Nothing of the pool is in use: every slab goes back.
        slabs_.clear();
        free_ = nullptr;
        next_ = end_ = nullptr;
        return;
    }
    free_ = new (block) FreeBlock{free_};
}
