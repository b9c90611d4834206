#include "tests/kdb/support/TestCrypto.h"

#include <memory>
#include <stdexcept>

#include <gcrypt.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <zlib.h>

namespace vaultora::kdb::testing {

namespace {
struct ContextFree {
    void operator()(EVP_CIPHER_CTX* context) const { EVP_CIPHER_CTX_free(context); }
};
using Context = std::unique_ptr<EVP_CIPHER_CTX, ContextFree>;
} // namespace

Bytes fromHex(std::string_view hex) {
    Bytes out;
    int high = -1;
    for (const char c : hex) {
        int value = -1;
        if (c >= '0' && c <= '9') {
            value = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            value = c - 'a' + 10;
        } else if (c >= 'A' && c <= 'F') {
            value = c - 'A' + 10;
        } else {
            continue;
        }
        if (high < 0) {
            high = value;
        } else {
            out.push_back(static_cast<uint8_t>(high * 16 + value));
            high = -1;
        }
    }
    return out;
}

Bytes sha256Of(const Bytes& data) {
    Bytes digest(32);
    unsigned int size = 0;
    if (EVP_Digest(data.data(), data.size(), digest.data(), &size, EVP_sha256(), nullptr) != 1) {
        throw std::runtime_error("digest");
    }
    return digest;
}

Bytes sha512Of(const Bytes& data) {
    Bytes digest(64);
    unsigned int size = 0;
    if (EVP_Digest(data.data(), data.size(), digest.data(), &size, EVP_sha512(), nullptr) != 1) {
        throw std::runtime_error("digest");
    }
    return digest;
}

Bytes hmacSha256Of(const Bytes& key, const Bytes& data) {
    Bytes digest(32);
    unsigned int size = 0;
    if (HMAC(EVP_sha256(), key.data(), static_cast<int>(key.size()), data.data(), data.size(),
             digest.data(), &size) == nullptr) {
        throw std::runtime_error("hmac");
    }
    return digest;
}

Bytes aesCbcEncrypt(const Bytes& key, const Bytes& iv, const Bytes& plain) {
    Context context(EVP_CIPHER_CTX_new());
    Bytes out(plain.size() + 16);
    int written = 0;
    int finished = 0;
    if (EVP_EncryptInit_ex(context.get(), EVP_aes_256_cbc(), nullptr, key.data(), iv.data()) != 1 ||
        EVP_EncryptUpdate(context.get(), out.data(), &written, plain.data(),
                          static_cast<int>(plain.size())) != 1 ||
        EVP_EncryptFinal_ex(context.get(), out.data() + written, &finished) != 1) {
        throw std::runtime_error("encrypt");
    }
    out.resize(static_cast<std::size_t>(written + finished));
    return out;
}

Bytes twofishCbcEncrypt(const Bytes& key, const Bytes& iv, const Bytes& plain) {
    Bytes padded = plain;
    const auto padding = static_cast<uint8_t>(16 - plain.size() % 16);
    padded.insert(padded.end(), padding, padding);
    static_cast<void>(gcry_check_version(nullptr));
    gcry_cipher_hd_t handle = nullptr;
    if (gcry_cipher_open(&handle, GCRY_CIPHER_TWOFISH, GCRY_CIPHER_MODE_CBC, 0) != 0) {
        throw std::runtime_error("twofish");
    }
    const std::unique_ptr<std::remove_pointer_t<gcry_cipher_hd_t>, void (*)(gcry_cipher_hd_t)>
        owner(handle, &gcry_cipher_close);
    if (gcry_cipher_setkey(handle, key.data(), key.size()) != 0 ||
        gcry_cipher_setiv(handle, iv.data(), iv.size()) != 0 ||
        gcry_cipher_encrypt(handle, padded.data(), padded.size(), nullptr, 0) != 0) {
        throw std::runtime_error("twofish");
    }
    return padded;
}

Bytes aesEcbRounds(const Bytes& key, Bytes value, uint64_t rounds) {
    Context context(EVP_CIPHER_CTX_new());
    if (EVP_EncryptInit_ex(context.get(), EVP_aes_256_ecb(), nullptr, key.data(), nullptr) != 1) {
        throw std::runtime_error("ecb");
    }
    EVP_CIPHER_CTX_set_padding(context.get(), 0);
    for (uint64_t round = 0; round < rounds; ++round) {
        Bytes next(32);
        int written = 0;
        EVP_EncryptUpdate(context.get(), next.data(), &written, value.data(), 32);
        value = next;
    }
    return value;
}

Bytes deflateBytes(const Bytes& data, int windowBits) {
    z_stream stream{};
    if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY) !=
        Z_OK) {
        throw std::runtime_error("deflate");
    }
    Bytes out(deflateBound(&stream, data.size()) + 64);
    stream.next_in = const_cast<uint8_t*>(data.data());
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    const int result = deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    if (result != Z_STREAM_END) {
        throw std::runtime_error("deflate");
    }
    return out;
}

std::string base64Of(const Bytes& data) {
    std::string out(4 * ((data.size() + 2) / 3) + 1, '\0');
    const int written = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()), data.data(),
                                        static_cast<int>(data.size()));
    out.resize(static_cast<std::size_t>(written));
    return out;
}

Bytes deriveFinalKey(const Bytes& passwordBytes, const Bytes& masterSeed,
                     const Bytes& transformSeed, uint64_t rounds, bool hashTwice) {
    Bytes composite = sha256Of(passwordBytes);
    if (hashTwice) {
        composite = sha256Of(composite);
    }
    const Bytes transformed = sha256Of(aesEcbRounds(transformSeed, composite, rounds));
    Bytes seeded = masterSeed;
    seeded.insert(seeded.end(), transformed.begin(), transformed.end());
    return sha256Of(seeded);
}

void appendLE(Bytes& out, uint64_t value, unsigned width) {
    for (unsigned index = 0; index < width; ++index) {
        out.push_back(static_cast<uint8_t>(value >> (8 * index)));
    }
}

Bytes textBytes(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

} // namespace vaultora::kdb::testing
