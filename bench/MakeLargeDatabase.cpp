// vaultora-make-database OUT-FILE ENTRIES PASSWORD ROUNDS [PAYLOAD-FILE]
//
// Writes a version-2 database of file version 3.1 (AES-256, gzip, Salsa20 inner stream) with
// ENTRIES entries in groups of 1,000, shaped like the benchmark files of the independent
// writer (bench/write-version2-database.js): each entry with a protected password and two
// custom fields, one of them protected, plus the times, auto-type settings and empty history
// that writers put in. It streams: the XML is made entry by entry, compressed, cut into
// hashed blocks and encrypted as it goes, so a file of a million entries takes a few
// megabytes of memory. With PAYLOAD-FILE it also writes the compressed XML alone (a gzip
// file), which the parse-floor benchmark reads.
#include <openssl/evp.h>
#include <openssl/rand.h>
#include <openssl/sha.h>
#include <zlib.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "kdb/Salsa20RandomStream.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr std::size_t kBlockSize = 1024 * 1024;
constexpr int kEntriesPerGroup = 1000;

void fail(const std::string& message) {
    throw std::runtime_error(message);
}

void appendLittleEndian(Bytes& bytes, uint64_t value, int width) {
    for (int index = 0; index < width; ++index) {
        bytes.push_back(static_cast<uint8_t>(value >> (8 * index)));
    }
}

Bytes sha256Of(const uint8_t* data, std::size_t length) {
    Bytes digest(SHA256_DIGEST_LENGTH);
    SHA256(data, length, digest.data());
    return digest;
}

Bytes randomBytes(std::size_t length) {
    Bytes bytes(length);
    if (RAND_bytes(bytes.data(), static_cast<int>(length)) != 1) {
        fail("no random bytes");
    }
    return bytes;
}

struct CipherContextDeleter {
    void operator()(EVP_CIPHER_CTX* context) const noexcept { EVP_CIPHER_CTX_free(context); }
};
using CipherContext = std::unique_ptr<EVP_CIPHER_CTX, CipherContextDeleter>;

// SHA-256(master seed || SHA-256(AES-ECB^rounds(SHA-256(SHA-256(password))))).
Bytes finalKey(const std::string& password, const Bytes& masterSeed, const Bytes& transformSeed,
               uint64_t rounds) {
    const Bytes passwordHash =
        sha256Of(reinterpret_cast<const uint8_t*>(password.data()), password.size());
    Bytes composite = sha256Of(passwordHash.data(), passwordHash.size());
    CipherContext context(EVP_CIPHER_CTX_new());
    if (!context || EVP_EncryptInit_ex(context.get(), EVP_aes_256_ecb(), nullptr,
                                       transformSeed.data(), nullptr) != 1) {
        fail("cannot set up AES-ECB");
    }
    EVP_CIPHER_CTX_set_padding(context.get(), 0);
    for (uint64_t round = 0; round < rounds; ++round) {
        int length = 0;
        if (EVP_EncryptUpdate(context.get(), composite.data(), &length, composite.data(), 32) !=
            1) {
            fail("AES-ECB failed");
        }
    }
    const Bytes transformed = sha256Of(composite.data(), composite.size());
    Bytes seeded = masterSeed;
    seeded.insert(seeded.end(), transformed.begin(), transformed.end());
    return sha256Of(seeded.data(), seeded.size());
}

std::string base64Of(const uint8_t* data, std::size_t length) {
    std::string text(4 * ((length + 2) / 3), '\0');
    const int written = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(text.data()), data,
                                        static_cast<int>(length));
    text.resize(static_cast<std::size_t>(written));
    return text;
}

// Encrypts (AES-256-CBC) what it is given and writes it to the file.
class EncryptingWriter {
public:
    EncryptingWriter(std::ofstream& file, const Bytes& key, const Bytes& iv)
        : m_file(file), m_context(EVP_CIPHER_CTX_new()) {
        if (!m_context || EVP_EncryptInit_ex(m_context.get(), EVP_aes_256_cbc(), nullptr,
                                             key.data(), iv.data()) != 1) {
            fail("cannot set up AES-CBC");
        }
    }

    void write(const uint8_t* data, std::size_t length) {
        m_buffer.resize(length + 32);
        int written = 0;
        if (EVP_EncryptUpdate(m_context.get(), m_buffer.data(), &written, data,
                              static_cast<int>(length)) != 1) {
            fail("AES-CBC failed");
        }
        m_file.write(reinterpret_cast<const char*>(m_buffer.data()), written);
    }

    void finish() {
        m_buffer.resize(32);
        int written = 0;
        if (EVP_EncryptFinal_ex(m_context.get(), m_buffer.data(), &written) != 1) {
            fail("AES-CBC failed");
        }
        m_file.write(reinterpret_cast<const char*>(m_buffer.data()), written);
    }

private:
    std::ofstream& m_file;
    CipherContext m_context;
    Bytes m_buffer;
};

// Cuts the compressed payload into hashed blocks of 1 MiB: index, SHA-256, length, data,
// and an empty block with a zero hash at the end.
class HashedBlockWriter {
public:
    explicit HashedBlockWriter(EncryptingWriter& out) : m_out(out) {}

    void write(const uint8_t* data, std::size_t length) {
        m_pending.insert(m_pending.end(), data, data + length);
        while (m_pending.size() >= kBlockSize) {
            emit(m_pending.data(), kBlockSize);
            m_pending.erase(m_pending.begin(), m_pending.begin() + kBlockSize);
        }
    }

    void finish() {
        if (!m_pending.empty()) {
            emit(m_pending.data(), m_pending.size());
        }
        Bytes last;
        appendLittleEndian(last, m_index, 4);
        last.insert(last.end(), 32, 0);
        appendLittleEndian(last, 0, 4);
        m_out.write(last.data(), last.size());
    }

private:
    void emit(const uint8_t* data, std::size_t length) {
        Bytes head;
        appendLittleEndian(head, m_index++, 4);
        const Bytes hash = sha256Of(data, length);
        head.insert(head.end(), hash.begin(), hash.end());
        appendLittleEndian(head, length, 4);
        m_out.write(head.data(), head.size());
        m_out.write(data, length);
    }

    EncryptingWriter& m_out;
    Bytes m_pending;
    uint32_t m_index = 0;
};

// Compresses XML text into a gzip stream and hands it on, to the blocks and, when asked,
// to the payload file.
class GzipWriter {
public:
    GzipWriter(HashedBlockWriter& out, std::ofstream* payload) : m_out(out), m_payload(payload) {
        if (deflateInit2(&m_stream, 6, Z_DEFLATED, 31, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
            fail("cannot set up deflate");
        }
    }
    ~GzipWriter() { deflateEnd(&m_stream); }
    GzipWriter(const GzipWriter&) = delete;
    GzipWriter& operator=(const GzipWriter&) = delete;

    void write(const std::string& text) { run(text.data(), text.size(), Z_NO_FLUSH); }
    void finish() { run(nullptr, 0, Z_FINISH); }
    [[nodiscard]] uint64_t textLength() const { return m_stream.total_in; }

private:
    void run(const char* data, std::size_t length, int flush) {
        m_stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
        m_stream.avail_in = static_cast<uInt>(length);
        std::array<uint8_t, 65536> buffer{};
        int status = Z_OK;
        do {
            m_stream.next_out = buffer.data();
            m_stream.avail_out = buffer.size();
            status = deflate(&m_stream, flush);
            if (status == Z_STREAM_ERROR) {
                fail("deflate failed");
            }
            const std::size_t produced = buffer.size() - m_stream.avail_out;
            m_out.write(buffer.data(), produced);
            if (m_payload != nullptr) {
                m_payload->write(reinterpret_cast<const char*>(buffer.data()),
                                 static_cast<std::streamsize>(produced));
            }
        } while (m_stream.avail_out == 0 || (flush == Z_FINISH && status != Z_STREAM_END));
    }

    HashedBlockWriter& m_out;
    std::ofstream* m_payload;
    z_stream m_stream{};
};

// Distinct identifiers from a counter, spread over all sixteen bytes.
std::string uuidText(uint64_t number, uint8_t kind) {
    std::array<uint8_t, 16> bytes{};
    uint64_t mixed = number * 0x9E3779B97F4A7C15ull + kind;
    for (std::size_t index = 0; index < 8; ++index) {
        bytes[index] = static_cast<uint8_t>(mixed >> (8 * index));
        bytes[8 + index] = static_cast<uint8_t>(number >> (8 * index));
    }
    bytes[15] = kind;
    return base64Of(bytes.data(), bytes.size());
}

// Protected values are masked with the inner stream in document order.
class ProtectedValues {
public:
    explicit ProtectedValues(const Bytes& streamKey)
        : m_stream(streamKey.data(), streamKey.size()) {}

    std::string mask(const std::string& plain) {
        Bytes bytes(plain.begin(), plain.end());
        m_stream.applyKeyStream(bytes.data(), bytes.size());
        return base64Of(bytes.data(), bytes.size());
    }

private:
    vaultora::kdb::Salsa20RandomStream m_stream;
};

const char* const kTimes = "\t\t\t\t<Times>\n"
                           "\t\t\t\t\t<CreationTime>2024-03-01T10:00:00Z</CreationTime>\n"
                           "\t\t\t\t\t<LastModificationTime>2024-03-01T10:00:00Z"
                           "</LastModificationTime>\n"
                           "\t\t\t\t\t<LastAccessTime>2024-03-01T10:00:00Z</LastAccessTime>\n"
                           "\t\t\t\t\t<ExpiryTime>2024-03-01T10:00:00Z</ExpiryTime>\n"
                           "\t\t\t\t\t<Expires>False</Expires>\n"
                           "\t\t\t\t\t<UsageCount>0</UsageCount>\n"
                           "\t\t\t\t\t<LocationChanged>2024-03-01T10:00:00Z</LocationChanged>\n"
                           "\t\t\t\t</Times>\n";

void appendField(std::string& xml, const char* key, const std::string& value, bool protect) {
    xml += "\t\t\t\t<String>\n\t\t\t\t\t<Key>";
    xml += key;
    xml += protect ? "</Key>\n\t\t\t\t\t<Value Protected=\"True\">" : "</Key>\n\t\t\t\t\t<Value>";
    xml += value;
    xml += "</Value>\n\t\t\t\t</String>\n";
}

void appendEntry(std::string& xml, uint64_t number, ProtectedValues& values) {
    const std::string n = std::to_string(number);
    xml += "\t\t\t<Entry>\n\t\t\t\t<UUID>" + uuidText(number, 1) + "</UUID>\n";
    xml += "\t\t\t\t<IconID>0</IconID>\n\t\t\t\t<ForegroundColor></ForegroundColor>\n"
           "\t\t\t\t<BackgroundColor></BackgroundColor>\n\t\t\t\t<OverrideURL></OverrideURL>\n"
           "\t\t\t\t<Tags></Tags>\n";
    xml += kTimes;
    appendField(xml, "Title", "Account " + n, false);
    appendField(xml, "UserName", "user" + n + "@example.org", false);
    appendField(xml, "Password",
                values.mask("pw-" + n + "-" + std::to_string((number * 7919) % 100003)), true);
    appendField(xml, "URL", "https://service" + std::to_string(number % 977) + ".example.org/login",
                false);
    appendField(xml, "Notes", "Entry number " + n + ", written for the benchmarks.", false);
    appendField(xml, "Customer number", "C-" + std::to_string(100000 + number), false);
    std::string pin = std::to_string(number % 10000);
    pin.insert(0, 4 - pin.size(), '0');
    appendField(xml, "PIN", values.mask(pin), true);
    xml += "\t\t\t\t<AutoType>\n\t\t\t\t\t<Enabled>True</Enabled>\n"
           "\t\t\t\t\t<DataTransferObfuscation>0</DataTransferObfuscation>\n"
           "\t\t\t\t</AutoType>\n\t\t\t\t<History></History>\n\t\t\t</Entry>\n";
}

void appendGroupStart(std::string& xml, const std::string& name, uint64_t number,
                      const char* indent) {
    xml += indent;
    xml += "<Group>\n";
    xml += std::string(indent) + "\t<UUID>" + uuidText(number, 2) + "</UUID>\n";
    xml += std::string(indent) + "\t<Name>" + name + "</Name>\n";
    xml += std::string(indent) + "\t<Notes></Notes>\n";
    xml += std::string(indent) + "\t<IconID>49</IconID>\n";
    xml += std::string(indent) + "\t<IsExpanded>True</IsExpanded>\n";
}

void writeDatabase(const std::string& outPath, uint64_t entries, const std::string& password,
                   uint64_t rounds, const std::string& payloadPath) {
    const Bytes masterSeed = randomBytes(32);
    const Bytes transformSeed = randomBytes(32);
    const Bytes iv = randomBytes(16);
    const Bytes streamKey = randomBytes(32);
    const Bytes startBytes = randomBytes(32);

    Bytes header;
    appendLittleEndian(header, 0x9AA2D903u, 4);
    appendLittleEndian(header, 0xB54BFB67u, 4);
    appendLittleEndian(header, 0x00030001u, 4);
    const auto field = [&header](uint8_t id, const Bytes& data) {
        header.push_back(id);
        appendLittleEndian(header, data.size(), 2);
        header.insert(header.end(), data.begin(), data.end());
    };
    const auto number = [](uint64_t value, int width) {
        Bytes bytes;
        appendLittleEndian(bytes, value, width);
        return bytes;
    };
    field(2, {0x31, 0xc1, 0xf2, 0xe6, 0xbf, 0x71, 0x43, 0x50, 0xbe, 0x58, 0x05, 0x21, 0x6a, 0xfc,
              0x5a, 0xff});
    field(3, number(1, 4));
    field(4, masterSeed);
    field(5, transformSeed);
    field(6, number(rounds, 8));
    field(7, iv);
    field(8, streamKey);
    field(9, startBytes);
    field(10, number(2, 4));
    field(0, {'\r', '\n', '\r', '\n'});

    std::ofstream file(outPath, std::ios::binary | std::ios::trunc);
    if (!file) {
        fail("cannot write " + outPath);
    }
    file.write(reinterpret_cast<const char*>(header.data()),
               static_cast<std::streamsize>(header.size()));
    std::ofstream payload;
    if (!payloadPath.empty()) {
        payload.open(payloadPath, std::ios::binary | std::ios::trunc);
        if (!payload) {
            fail("cannot write " + payloadPath);
        }
    }

    EncryptingWriter encrypted(file, finalKey(password, masterSeed, transformSeed, rounds), iv);
    encrypted.write(startBytes.data(), startBytes.size());
    HashedBlockWriter blocks(encrypted);
    GzipWriter compressed(blocks, payloadPath.empty() ? nullptr : &payload);
    ProtectedValues values(streamKey);

    std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"yes\"?>\n"
                      "<KeePassFile>\n\t<Meta>\n\t\t<Generator>vaultora-make-database</Generator>\n"
                      "\t\t<DatabaseName>Bench</DatabaseName>\n"
                      "\t\t<RecycleBinEnabled>False</RecycleBinEnabled>\n"
                      "\t\t<HistoryMaxItems>10</HistoryMaxItems>\n"
                      "\t</Meta>\n\t<Root>\n";
    appendGroupStart(xml, "Bench", 0, "\t\t");
    for (uint64_t entry = 0; entry < entries; ++entry) {
        if (entry % kEntriesPerGroup == 0) {
            if (entry > 0) {
                xml += "\t\t</Group>\n";
            }
            appendGroupStart(xml, "Group " + std::to_string(entry / kEntriesPerGroup),
                             1 + entry / kEntriesPerGroup, "\t\t");
        }
        appendEntry(xml, entry, values);
        if (xml.size() > 256 * 1024) {
            compressed.write(xml);
            xml.clear();
        }
    }
    if (entries > 0) {
        xml += "\t\t</Group>\n";
    }
    xml += "\t\t</Group>\n\t\t<DeletedObjects></DeletedObjects>\n\t</Root>\n</KeePassFile>\n";
    compressed.write(xml);
    compressed.finish();
    blocks.finish();
    encrypted.finish();
    file.close();
    if (!file) {
        fail("cannot write " + outPath);
    }
    std::cout << entries << " entries, " << compressed.textLength() << " bytes of XML\n";
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5 && argc != 6) {
        std::cerr << "usage: vaultora-make-database OUT-FILE ENTRIES PASSWORD ROUNDS "
                     "[PAYLOAD-FILE]\n";
        return 2;
    }
    try {
        writeDatabase(argv[1], std::stoull(argv[2]), argv[3], std::stoull(argv[4]),
                      argc == 6 ? argv[5] : "");
    } catch (const std::exception& error) {
        std::cerr << "vaultora-make-database: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
