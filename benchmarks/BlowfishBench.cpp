// The password cipher's block function against OpenSSL's BF_encrypt on the same key: each block is
// the previous one's output, so the calls cannot overlap and this measures one block's latency, as
// the feedback mode sees it. BF_encrypt is the low-level function of libcrypto, which needs no
// provider loaded (the EVP interface would need the legacy provider for Blowfish).
// OpenSSL 3 marks its low-level cipher functions deprecated; they are exactly what we compare with.
#define OPENSSL_SUPPRESS_DEPRECATED

#include "benchmarks/BenchRow.h"
#include "crypto/CBlowfish.h"

#include <cstdint>
#include <openssl/blowfish.h>

namespace {

constexpr char kKey[] = "Tallymar master password";
constexpr long kBlocks = 20'000'000;

} // namespace

int main() {
    const CBlowfish cipher(kKey);
    BF_KEY key;
    BF_set_key(&key, sizeof kKey - 1, reinterpret_cast<const unsigned char*>(kKey));

    // Both ciphers agree on the block before anything is timed.
    std::uint32_t left = 0x01234567;
    std::uint32_t right = 0x89ABCDEF;
    BF_LONG data[2] = {left, right};
    cipher.EncryptBlock(left, right);
    BF_encrypt(data, &key);
    if (left != data[0] || right != data[1])
        bench::Fail("CBlowfish and BF_encrypt disagree");

    bench::Row row{"blowfish", "Blowfish block function (one 8-byte block after another)", "MB/s"};
    row.ours.name = "CBlowfish::EncryptBlock";
    row.peers = {{"OpenSSL BF_encrypt", {}}};
    row.targets = {{"OpenSSL BF_encrypt", ">=", 0.9}};
    const double megabytes = kBlocks * 8 / 1e6;
    volatile std::uint32_t sink = 0;
    for (int run = 0; run < bench::Runs(); ++run) {
        row.ours.values.push_back(megabytes / bench::TimeOf([&] {
                                      for (long i = 0; i < kBlocks; ++i)
                                          cipher.EncryptBlock(left, right);
                                      sink = left ^ right;
                                  }));
        row.peers[0].values.push_back(megabytes / bench::TimeOf([&] {
                                          for (long i = 0; i < kBlocks; ++i)
                                              BF_encrypt(data, &key);
                                          sink = data[0] ^ data[1];
                                      }));
    }
    (void)sink;
    bench::Print(row);
    return 0;
}
