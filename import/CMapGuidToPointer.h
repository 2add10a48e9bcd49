#pragma once

#include "import/Guid.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

/// A hash map from a GUID to a pointer in the manner of the framework's pointer maps: a table of
/// buckets (17 until it is told otherwise) made on the first insert, chains of associations that
/// are allocated in blocks and reused through a free list, each holding the next link, the hash
/// value, the key's 16 bytes and the value. Keys compare as 16 bytes. The map never owns the
/// objects its values point to.
///
/// Unlike the framework's maps the table grows (to 4n+1 buckets) once it holds more than four
/// associations per bucket, so a big checklist does not turn every look-up into a long walk.
template <class T>
class CMapGuidToPointer {
public:
    static constexpr std::size_t kDefaultHashTableSize = 17;

    explicit CMapGuidToPointer(std::size_t blockSize = 10) : blockSize_(blockSize == 0 ? 1 : blockSize) {}
    CMapGuidToPointer(const CMapGuidToPointer&) = delete;
    CMapGuidToPointer& operator=(const CMapGuidToPointer&) = delete;

    /// h = 0; for each key byte in memory order, taken as a signed byte b: h = h * 33 + b, in
    /// unsigned 32-bit arithmetic.
    static std::uint32_t HashKey(const GUID& key) {
        std::uint32_t hash = 0;
        for (const std::uint8_t byte : GuidBytes(key))
            hash = hash * 33u +
                   static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<std::int8_t>(byte)));
        return hash;
    }

    /// Sets the number of buckets; only before the first insert (later calls are ignored).
    void InitHashTable(std::size_t size) {
        if (buckets_.empty() && size > 0)
            hashTableSize_ = size;
    }
    std::size_t GetHashTableSize() const { return hashTableSize_; }
    std::size_t GetCount() const { return count_; }

    /// True and the value when the key is present.
    bool Lookup(const GUID& key, T*& value) const {
        const Assoc* assoc = Find(GuidBytes(key), HashKey(key));
        if (assoc == nullptr)
            return false;
        value = assoc->value;
        return true;
    }

    /// Inserts the key or replaces its value.
    void SetAt(const GUID& key, T* value) {
        const auto bytes = GuidBytes(key);
        const std::uint32_t hash = HashKey(key);
        if (Assoc* assoc = Find(bytes, hash)) {
            assoc->value = value;
            return;
        }
        if (buckets_.empty())
            buckets_.assign(hashTableSize_, nullptr);
        else if (count_ >= 4 * buckets_.size())
            Rehash(4 * buckets_.size() + 1);
        Assoc* assoc = NewAssoc();
        assoc->hash = hash;
        assoc->key = bytes;
        assoc->value = value;
        Assoc*& head = buckets_[hash % buckets_.size()];
        assoc->next = head;
        head = assoc;
        ++count_;
    }

    /// Removes the key; false when it was not present.
    bool RemoveKey(const GUID& key) {
        if (buckets_.empty())
            return false;
        const auto bytes = GuidBytes(key);
        const std::uint32_t hash = HashKey(key);
        for (Assoc** link = &buckets_[hash % buckets_.size()]; *link != nullptr; link = &(*link)->next) {
            Assoc* assoc = *link;
            if (assoc->hash != hash || assoc->key != bytes)
                continue;
            *link = assoc->next;
            assoc->next = free_;
            free_ = assoc;
            --count_;
            return true;
        }
        return false;
    }

    /// Empties the map and releases its table and blocks.
    void RemoveAll() {
        buckets_.clear();
        blocks_.clear();
        free_ = nullptr;
        count_ = 0;
    }

private:
    struct Assoc {
        Assoc* next = nullptr;
        std::uint32_t hash = 0;
        std::array<std::uint8_t, 16> key{};
        T* value = nullptr;
    };

    Assoc* Find(const std::array<std::uint8_t, 16>& bytes, std::uint32_t hash) const {
        if (buckets_.empty())
            return nullptr;
        for (Assoc* assoc = buckets_[hash % buckets_.size()]; assoc != nullptr; assoc = assoc->next) {
            if (assoc->hash == hash && assoc->key == bytes)
                return assoc;
        }
        return nullptr;
    }

    Assoc* NewAssoc() {
        if (free_ == nullptr) {
            blocks_.push_back(std::make_unique<Assoc[]>(blockSize_));
            Assoc* block = blocks_.back().get();
            for (std::size_t i = blockSize_; i-- > 0;) {
                block[i].next = free_;
                free_ = &block[i];
            }
        }
        Assoc* assoc = free_;
        free_ = assoc->next;
        assoc->next = nullptr;
        return assoc;
    }

    void Rehash(std::size_t size) {
        std::vector<Assoc*> buckets(size, nullptr);
        for (Assoc* head : buckets_) {
            while (head != nullptr) {
                Assoc* next = head->next;
                Assoc*& target = buckets[head->hash % size];
                head->next = target;
                target = head;
                head = next;
            }
        }
        buckets_ = std::move(buckets);
        hashTableSize_ = size;
    }

    std::size_t blockSize_;
    std::size_t hashTableSize_ = kDefaultHashTableSize;
    std::vector<Assoc*> buckets_;
    std::vector<std::unique_ptr<Assoc[]>> blocks_;
    Assoc* free_ = nullptr;
    std::size_t count_ = 0;
};
