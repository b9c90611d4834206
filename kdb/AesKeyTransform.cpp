#include "AesKeyTransform.h"

#include <memory>

#include <openssl/evp.h>

#include "DatabaseError.h"
#include "SecureBytes.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define VAULTORA_HAVE_AES_INSTRUCTIONS 1
#endif

namespace vaultora::kdb {

namespace {

struct CipherContextFree {
    void operator()(EVP_CIPHER_CTX* context) const noexcept { EVP_CIPHER_CTX_free(context); }
};

#ifdef VAULTORA_HAVE_AES_INSTRUCTIONS

// One step of the AES-256 key expansion (FIPS 197 section 5.2) for the even round keys.
__attribute__((target("aes,sse2"))) inline __m128i expandEven(__m128i previous, __m128i assisted) {
    assisted = _mm_shuffle_epi32(assisted, 0xFF);
    previous = _mm_xor_si128(previous, _mm_slli_si128(previous, 4));
    previous = _mm_xor_si128(previous, _mm_slli_si128(previous, 4));
    previous = _mm_xor_si128(previous, _mm_slli_si128(previous, 4));
    return _mm_xor_si128(previous, assisted);
}

// The odd round keys use SubWord without RotWord.
__attribute__((target("aes,sse2"))) inline __m128i expandOdd(__m128i previous, __m128i even) {
    const __m128i assisted = _mm_shuffle_epi32(_mm_aeskeygenassist_si128(even, 0x00), 0xAA);
    previous = _mm_xor_si128(previous, _mm_slli_si128(previous, 4));
    previous = _mm_xor_si128(previous, _mm_slli_si128(previous, 4));
    previous = _mm_xor_si128(previous, _mm_slli_si128(previous, 4));
    return _mm_xor_si128(previous, assisted);
}

// The round constant must be an immediate, hence the switch.
__attribute__((target("aes,sse2"))) inline __m128i assist(__m128i key, int step) {
    switch (step) {
    case 1:
        return _mm_aeskeygenassist_si128(key, 0x01);
    case 2:
        return _mm_aeskeygenassist_si128(key, 0x02);
    case 3:
        return _mm_aeskeygenassist_si128(key, 0x04);
    case 4:
        return _mm_aeskeygenassist_si128(key, 0x08);
    case 5:
        return _mm_aeskeygenassist_si128(key, 0x10);
    default:
        return _mm_aeskeygenassist_si128(key, 0x20);
    }
}

__attribute__((target("aes,sse2"))) void expandKey(const uint8_t* key32, __m128i* schedule) {
    schedule[0] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(key32));
    schedule[1] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(key32 + 16));
    for (int index = 2; index < 14; index += 2) {
        schedule[index] = expandEven(schedule[index - 2], assist(schedule[index - 1], index / 2));
        schedule[index + 1] = expandOdd(schedule[index - 1], schedule[index]);
    }
    schedule[14] = expandEven(schedule[12], _mm_aeskeygenassist_si128(schedule[13], 0x40));
}

#endif

} // namespace

void AesKeyTransform::transform(const uint8_t* key32, uint8_t* value32, uint64_t rounds) {
    if (aesInstructionsAvailable()) {
        transformWithAesInstructions(key32, value32, rounds);
    } else {
        transformWithCipherLibrary(key32, value32, rounds);
    }
}

void AesKeyTransform::transformWithCipherLibrary(const uint8_t* key32, uint8_t* value32,
                                                 uint64_t rounds) {
    const std::unique_ptr<EVP_CIPHER_CTX, CipherContextFree> context(EVP_CIPHER_CTX_new());
    if (!context ||
        EVP_EncryptInit_ex(context.get(), EVP_aes_256_ecb(), nullptr, key32, nullptr) != 1 ||
        EVP_CIPHER_CTX_set_padding(context.get(), 0) != 1) {
        throw DatabaseError("AppError", "CipherInitFailure");
    }
    int produced = 0;
    for (uint64_t round = 0; round < rounds; ++round) {
        // ECB encrypts the two 16-byte halves independently; in place is allowed for ECB.
        static_cast<void>(EVP_EncryptUpdate(context.get(), value32, &produced, value32, 32));
    }
}

bool AesKeyTransform::aesInstructionsAvailable() noexcept {
#ifdef VAULTORA_HAVE_AES_INSTRUCTIONS
    return __builtin_cpu_supports("aes") && __builtin_cpu_supports("sse2");
#else
    return false;
#endif
}

#ifdef VAULTORA_HAVE_AES_INSTRUCTIONS
__attribute__((target("aes,sse2"))) void
AesKeyTransform::transformWithAesInstructions(const uint8_t* key32, uint8_t* value32,
                                              uint64_t rounds) {
    alignas(16) __m128i schedule[15];
    expandKey(key32, schedule);

    // The whitening key of the next round is folded into the last round key, so that each
    // round is one chain of 14 dependent AES steps; the two blocks run side by side and
    // pipeline, keeping the processor at its AES latency bound. The fold is undone after
    // the last round.
    const __m128i whitening = schedule[0];
    const __m128i lastAndWhitening = _mm_xor_si128(schedule[14], whitening);
    __m128i first =
        _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(value32)), whitening);
    __m128i second =
        _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(value32 + 16)), whitening);
    if (rounds > 0) {
        const __m128i k1 = schedule[1], k2 = schedule[2], k3 = schedule[3], k4 = schedule[4];
        const __m128i k5 = schedule[5], k6 = schedule[6], k7 = schedule[7], k8 = schedule[8];
        const __m128i k9 = schedule[9], k10 = schedule[10], k11 = schedule[11];
        const __m128i k12 = schedule[12], k13 = schedule[13];
        for (uint64_t round = 0; round < rounds; ++round) {
#define VAULTORA_STEP(roundKey)                                                                    \
    first = _mm_aesenc_si128(first, roundKey);                                                     \
    second = _mm_aesenc_si128(second, roundKey);
            VAULTORA_STEP(k1)
            VAULTORA_STEP(k2)
            VAULTORA_STEP(k3)
            VAULTORA_STEP(k4)
            VAULTORA_STEP(k5)
            VAULTORA_STEP(k6)
            VAULTORA_STEP(k7)
            VAULTORA_STEP(k8)
            VAULTORA_STEP(k9)
            VAULTORA_STEP(k10)
            VAULTORA_STEP(k11)
            VAULTORA_STEP(k12)
            VAULTORA_STEP(k13)
#undef VAULTORA_STEP
            first = _mm_aesenclast_si128(first, lastAndWhitening);
            second = _mm_aesenclast_si128(second, lastAndWhitening);
        }
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(value32), _mm_xor_si128(first, whitening));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(value32 + 16), _mm_xor_si128(second, whitening));
    secureWipe(schedule, sizeof(schedule));
}
#else
void AesKeyTransform::transformWithAesInstructions(const uint8_t* key32, uint8_t* value32,
                                                   uint64_t rounds) {
    transformWithCipherLibrary(key32, value32, rounds);
}
#endif

} // namespace vaultora::kdb
