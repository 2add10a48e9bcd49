#include "crypto/PasswordText.h"

#include "crypto/CBlowfish.h"
#include "crypto/HexText.h"
#include "crypto/RandomBytes.h"
#include "crypto/SecretBytes.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::size_t kSaltLength = 4;

// Fills one slot with 4 random bytes, the text (cut to fit), the zero byte after it when asked
// for and when it fits, and random bytes up to the end; then encrypts the slot in place.
void FillSlot(unsigned char* slot, std::size_t slotSize, std::string_view text, bool zeroByte,
              const CBlowfish& key, RandomByteSource& random) {
    std::size_t at = 0;
    for (; at < kSaltLength; ++at)
        slot[at] = random.NextByte();
    const std::size_t textLength = std::min(text.size(), slotSize - kSaltLength);
    std::memcpy(slot + at, text.data(), textLength);
    at += textLength;
    if (zeroByte && at < slotSize)
        slot[at++] = 0;
    for (; at < slotSize; ++at)
        slot[at] = random.NextByte();
    key.EncryptBuffer(slot, slotSize);
}

} // namespace

std::size_t PasswordSlotSize(std::size_t firmNameLength) {
    return (firmNameLength + 35) / 32 * 32;
}

std::string MakePasswordText(std::string_view firmName, const CBlowfish& masterKey,
                             std::string_view masterPassword, std::string_view attorneyPassword,
                             std::string_view staffPassword, RandomByteSource& random) {
    const std::size_t slotSize = PasswordSlotSize(firmName.size());
    tl::SecretBytes buffer(5 * slotSize);
    auto slot = [&](std::size_t index) { return buffer.data() + index * slotSize; };

    FillSlot(slot(0), slotSize, firmName, false, masterKey, random);
    if (!attorneyPassword.empty()) {
        const CBlowfish attorneyKey(attorneyPassword);
        FillSlot(slot(1), slotSize, firmName, false, attorneyKey, random);
        FillSlot(slot(3), slotSize, masterPassword, true, attorneyKey, random);
    }
    if (!staffPassword.empty()) {
        const CBlowfish staffKey(staffPassword);
        FillSlot(slot(2), slotSize, firmName, false, staffKey, random);
        FillSlot(slot(4), slotSize, masterPassword, true, staffKey, random);
    }
    return HexEncode(buffer.data(), buffer.size());
}
