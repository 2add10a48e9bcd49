// OpenSSL 3 marks its low-level cipher functions deprecated; they are exactly what we compare with.
#define OPENSSL_SUPPRESS_DEPRECATED

#include "crypto/CBlowfish.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <openssl/blowfish.h>
#include <vector>

namespace {

constexpr char kKey[] = "Tallymar master password";
constexpr std::size_t kBufferSize = 4096;

// Each block is the previous one's output, so the calls cannot overlap: this measures the latency
// of one block, as the feedback mode sees it.
void BlockFunction(benchmark::State& state) {
    const CBlowfish cipher(kKey);
    std::uint32_t left = 0x01234567;
    std::uint32_t right = 0x89ABCDEF;
    for (auto _ : state) {
        cipher.EncryptBlock(left, right);
        benchmark::DoNotOptimize(left);
        benchmark::DoNotOptimize(right);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 8);
}
BENCHMARK(BlockFunction);

void OpenSslBlockFunction(benchmark::State& state) {
    BF_KEY key;
    BF_set_key(&key, sizeof kKey - 1, reinterpret_cast<const unsigned char*>(kKey));
    BF_LONG data[2] = {0x01234567, 0x89ABCDEF};
    for (auto _ : state) {
        BF_encrypt(data, &key);
        benchmark::DoNotOptimize(data);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 8);
}
BENCHMARK(OpenSslBlockFunction);

// The whole feedback mode over a buffer, for scale (no OpenSSL counterpart).
void FeedbackModeBuffer(benchmark::State& state) {
    const CBlowfish cipher(kKey);
    std::vector<unsigned char> buffer(kBufferSize, 0x5A);
    for (auto _ : state) {
        cipher.EncryptBuffer(buffer.data(), buffer.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBufferSize));
}
BENCHMARK(FeedbackModeBuffer);

void KeySchedule(benchmark::State& state) {
    for (auto _ : state) {
        CBlowfish cipher(kKey);
        benchmark::DoNotOptimize(&cipher);
    }
}
BENCHMARK(KeySchedule);

} // namespace
