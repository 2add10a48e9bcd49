#include "crypto/RandomBytes.h"

#include "crypto/SecretBytes.h"

#include <cerrno>
#include <sys/random.h>
#include <system_error>

SystemRandomBytes::~SystemRandomBytes() {
    tl::WipeBytes(pool_, sizeof pool_);
}

unsigned char SystemRandomBytes::NextByte() {
    for (;;) {
        if (next_ == sizeof pool_)
            Refill();
        const unsigned char byte = pool_[next_++];
        if (byte != 0)
            return byte;
    }
}

void SystemRandomBytes::Refill() {
    std::size_t filled = 0;
    while (filled < sizeof pool_) {
        const ssize_t got = ::getrandom(pool_ + filled, sizeof pool_ - filled, 0);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            throw std::system_error(errno, std::generic_category(), "getrandom");
        }
        filled += static_cast<std::size_t>(got);
    }
    next_ = 0;
}
