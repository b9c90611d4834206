#include "KeyDerivation.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

#include <argon2.h>
#include <unistd.h>

#include "AesKeyTransform.h"
#include "DatabaseError.h"
#include "Sha256.h"

namespace vaultora::kdb {

const std::array<uint8_t, 16> KeyDerivation::kAesKdfId = {
    0xC9, 0xD9, 0xF3, 0x9A, 0x62, 0x8A, 0x44, 0x60, 0xBF, 0x74, 0x0D, 0x08, 0xC1, 0x8A, 0x4F, 0xEA};
const std::array<uint8_t, 16> KeyDerivation::kAesKdfLegacyId = {
    0x7C, 0x02, 0xBB, 0x82, 0x79, 0xA7, 0x4A, 0xC0, 0x92, 0x7D, 0x11, 0x4A, 0x00, 0x64, 0x82, 0x38};
const std::array<uint8_t, 16> KeyDerivation::kArgon2dId = {
    0xEF, 0x63, 0x6D, 0xDF, 0x8C, 0x29, 0x44, 0x4B, 0x91, 0xF7, 0xA9, 0xA4, 0x03, 0xE3, 0x0A, 0x0C};
const std::array<uint8_t, 16> KeyDerivation::kArgon2idId = {
    0x9E, 0x29, 0x8B, 0x19, 0x56, 0xDB, 0x47, 0x73, 0xB2, 0x3D, 0xFC, 0x3E, 0xC6, 0xF0, 0xA1, 0xE6};

namespace {

// About a twentieth of a second of rounds on current processors: cancelling answers at once
// while the check costs nothing measurable.
constexpr uint64_t kAesRoundsPerStep = 1u << 20;
constexpr uint64_t kMaximumArgon2Memory = uint64_t{4} << 30;

[[noreturn]] void invalidParameters() {
    throw DatabaseError("InvalidHeader", "InvalidKdfParameters");
}

template <typename T> T required(const VariantDictionary& dictionary, const char* name) {
    const std::optional<T> value = dictionary.get<T>(name);
    if (!value) {
        invalidParameters();
    }
    return *value;
}

std::vector<uint8_t> optionalBytes(const VariantDictionary& dictionary, const char* name) {
    return dictionary.get<VariantDictionary::Bytes>(name).value_or(VariantDictionary::Bytes{});
}

bool sameId(const VariantDictionary::Bytes& id, const std::array<uint8_t, 16>& known) {
    return id.size() == known.size() && std::equal(id.begin(), id.end(), known.begin());
}

SecureBytes aesKdf(const AesKdfParameters& parameters, const SecureBytes& compositeKey,
                   const CancelFlag* cancelFlag) {
    if (compositeKey.size() != 32) {
        throw DatabaseError("AppError", "InvalidKeySize");
    }
    SecureBytes value(compositeKey);
    KeyDerivation::aesTransform(parameters.seed, value.data(), parameters.rounds, cancelFlag);
    SecureBytes transformed(32);
    sha256(value.data(), value.size(), transformed.data());
    return transformed;
}

// One Argon2 run with everything it reads and writes. A cancelled open stops waiting for
// the run, which the library cannot interrupt; the run then ends on its own thread and the
// last owner wipes the output.
struct Argon2Run {
    SecureBytes password;
    std::vector<uint8_t> salt;
    SecureBytes secret;
    std::vector<uint8_t> associatedData;
    SecureBytes output = SecureBytes(32);
    argon2_context context{};
    argon2_type type = Argon2_d;
    int result = ARGON2_OK;

    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;

    void run() {
        const int status = argon2_ctx(&context, type);
        const std::lock_guard lock(mutex);
        result = status;
        done = true;
        finished.notify_all();
    }
};

SecureBytes argon2Kdf(const Argon2Parameters& parameters, const SecureBytes& compositeKey,
                      const CancelFlag* cancelFlag) {
    if (parameters.memoryBytes > KeyDerivation::argon2MemoryLimit()) {
        throw DatabaseError("ResourceLimit", "KdfMemoryTooLarge");
    }
    if ((parameters.version != ARGON2_VERSION_10 && parameters.version != ARGON2_VERSION_13) ||
        parameters.iterations > UINT32_MAX || parameters.parallelism == 0) {
        invalidParameters();
    }
    auto run = std::make_shared<Argon2Run>();
    run->password = compositeKey;
    run->salt = parameters.salt;
    run->secret.assign(parameters.secret.begin(), parameters.secret.end());
    run->associatedData = parameters.associatedData;
    run->type = parameters.variant == Argon2Parameters::Variant::Argon2id ? Argon2_id : Argon2_d;

    argon2_context& context = run->context;
    context.out = run->output.data();
    context.outlen = static_cast<uint32_t>(run->output.size());
    context.pwd = run->password.data();
    context.pwdlen = static_cast<uint32_t>(run->password.size());
    context.salt = run->salt.data();
    context.saltlen = static_cast<uint32_t>(run->salt.size());
    context.secret = run->secret.empty() ? nullptr : run->secret.data();
    context.secretlen = static_cast<uint32_t>(run->secret.size());
    context.ad = run->associatedData.empty() ? nullptr : run->associatedData.data();
    context.adlen = static_cast<uint32_t>(run->associatedData.size());
    context.t_cost = static_cast<uint32_t>(parameters.iterations);
    context.m_cost = static_cast<uint32_t>(parameters.memoryBytes / 1024);
    context.lanes = parameters.parallelism;
    // The lanes fix the result; the threads that fill them do not, so a file asking for
    // thousands of lanes gets no more threads than the processor has.
    context.threads = std::min<uint32_t>(parameters.parallelism,
                                         std::max(1u, std::thread::hardware_concurrency()));
    context.version = parameters.version;
    context.flags = ARGON2_FLAG_CLEAR_PASSWORD | ARGON2_FLAG_CLEAR_SECRET;

    if (cancelFlag == nullptr) {
        run->run();
    } else {
        cancelFlag->throwIfCancelled();
        std::thread([run] { run->run(); }).detach();
        std::unique_lock lock(run->mutex);
        while (!run->finished.wait_for(lock, std::chrono::milliseconds(50),
                                       [&run] { return run->done; })) {
            if (cancelFlag->isCancelled()) {
                lock.unlock();
                cancelFlag->throwIfCancelled();
            }
        }
    }
    if (run->result == ARGON2_MEMORY_ALLOCATION_ERROR) {
        throw DatabaseError("ResourceLimit", "KdfMemoryTooLarge");
    }
    if (run->result != ARGON2_OK) {
        invalidParameters();
    }
    return run->output;
}

} // namespace

KdfParameters KeyDerivation::fromDictionary(const VariantDictionary& dictionary) {
    const auto id = required<VariantDictionary::Bytes>(dictionary, "$UUID");
    if (sameId(id, kAesKdfId) || sameId(id, kAesKdfLegacyId)) {
        AesKdfParameters parameters;
        const auto seed = required<VariantDictionary::Bytes>(dictionary, "S");
        if (seed.size() != parameters.seed.size()) {
            invalidParameters();
        }
        std::copy(seed.begin(), seed.end(), parameters.seed.begin());
        parameters.rounds = required<uint64_t>(dictionary, "R");
        return parameters;
    }
    if (sameId(id, kArgon2dId) || sameId(id, kArgon2idId)) {
        Argon2Parameters parameters;
        parameters.variant = sameId(id, kArgon2idId) ? Argon2Parameters::Variant::Argon2id
                                                     : Argon2Parameters::Variant::Argon2d;
        parameters.salt = required<VariantDictionary::Bytes>(dictionary, "S");
        parameters.parallelism = required<uint32_t>(dictionary, "P");
        parameters.memoryBytes = required<uint64_t>(dictionary, "M");
        parameters.iterations = required<uint64_t>(dictionary, "I");
        parameters.version = required<uint32_t>(dictionary, "V");
        parameters.secret = optionalBytes(dictionary, "K");
        parameters.associatedData = optionalBytes(dictionary, "A");
        return parameters;
    }
    throw DatabaseError("Unsupported", "UnsupportedKdf");
}

SecureBytes KeyDerivation::transform(const KdfParameters& parameters,
                                     const SecureBytes& compositeKey,
                                     const CancelFlag* cancelFlag) {
    if (const auto* aes = std::get_if<AesKdfParameters>(&parameters)) {
        return aesKdf(*aes, compositeKey, cancelFlag);
    }
    return argon2Kdf(std::get<Argon2Parameters>(parameters), compositeKey, cancelFlag);
}

void KeyDerivation::aesTransform(const std::array<uint8_t, 32>& seed, uint8_t* value32,
                                 uint64_t rounds, const CancelFlag* cancelFlag) {
    for (uint64_t done = 0; done < rounds;) {
        if (cancelFlag != nullptr && cancelFlag->isCancelled()) {
            secureWipe(value32, 32);
            cancelFlag->throwIfCancelled();
        }
        const uint64_t step = std::min(kAesRoundsPerStep, rounds - done);
        AesKeyTransform::transform(seed.data(), value32, step);
        done += step;
    }
}

uint64_t KeyDerivation::argon2MemoryLimit() noexcept {
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || pageSize <= 0) {
        return kMaximumArgon2Memory;
    }
    return std::min(kMaximumArgon2Memory,
                    static_cast<uint64_t>(pages) * static_cast<uint64_t>(pageSize) / 2);
}

} // namespace vaultora::kdb
