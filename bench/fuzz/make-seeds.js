#!/usr/bin/env node
// Writes the fuzzer's seed inputs from the test databases: each database whole (with its
// password), and its decrypted payload in the shapes the fuzz target encrypts itself.
// Usage: node bench/fuzz/make-seeds.js OUT-DIR
'use strict';
const crypto = require('crypto');
const fs = require('fs');
const path = require('path');
const zlib = require('zlib');

const fixtures = path.join(__dirname, '..', '..', 'tests', 'fixtures');
const out = process.argv[2];
if (!out) {
    console.error('usage: make-seeds.js OUT-DIR');
    process.exit(2);
}
fs.mkdirSync(out, { recursive: true });

const sha256 = (...parts) => {
    const hash = crypto.createHash('sha256');
    parts.forEach((part) => hash.update(part));
    return hash.digest();
};

function transform(composite, transformSeed, rounds) {
    const cipher = crypto.createCipheriv('aes-256-ecb', transformSeed, null).setAutoPadding(false);
    let value = Buffer.from(composite);
    for (let round = 0; round < rounds; ++round) {
        value = cipher.update(value);
    }
    return sha256(value);
}

function decrypt(key, iv, data) {
    const decipher = crypto.createDecipheriv('aes-256-cbc', key, iv);
    return Buffer.concat([decipher.update(data), decipher.final()]);
}

// The code points of bytes 0x80 to 0x9F in Windows-1252 (0 where the code page has none);
// every other byte is its own code point.
const windows1252High = [
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039,
    0x0152, 0, 0x017D, 0, 0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC,
    0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178,
];

// Windows-1252 bytes of a text, as the version-1 reader hashes passwords.
function windows1252(text) {
    return Buffer.from([...text].map((character) => {
        const code = character.codePointAt(0);
        if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
            return code;
        }
        const high = windows1252High.indexOf(code);
        return high > 0 || code === 0x20AC ? 0x80 + high : 0x3f;
    }));
}

function version1Payload(file, password) {
    const masterSeed = file.subarray(16, 32);
    const iv = file.subarray(32, 48);
    const counts = file.subarray(48, 56);
    const transformSeed = file.subarray(88, 120);
    const rounds = file.readUInt32LE(120);
    const key = sha256(masterSeed, transform(sha256(windows1252(password)), transformSeed, rounds));
    return Buffer.concat([Buffer.from([2]), counts, decrypt(key, iv, file.subarray(124))]);
}

function version2Payload(file, password) {
    const fields = {};
    let offset = 12;
    for (;;) {
        const id = file[offset];
        const length = file.readUInt16LE(offset + 1);
        fields[id] = file.subarray(offset + 3, offset + 3 + length);
        offset += 3 + length;
        if (id === 0) {
            break;
        }
    }
    const rounds = Number(fields[6].readBigUInt64LE(0));
    const composite = sha256(sha256(Buffer.from(password, 'utf8')));
    const key = sha256(fields[4], transform(composite, fields[5], rounds));
    const plain = decrypt(key, fields[7], file.subarray(offset)).subarray(32);
    const gzip = fields[3].readUInt32LE(0) & 1;
    const stream = fields[10] ? fields[10].readUInt32LE(0) : 0;
    const streamKey = fields[8] ?? Buffer.alloc(32);
    const xml = gzip ? zlib.gunzipSync(unblock(plain)) : unblock(plain);
    // As stored (flag 2), and as XML that the fuzz target blocks itself, plain or compressed.
    return [
        Buffer.concat([Buffer.from([1, gzip | 2, stream]), streamKey, plain]),
        Buffer.concat([Buffer.from([1, 0, stream]), streamKey, xml]),
        Buffer.concat([Buffer.from([1, 1 | 4, stream]), streamKey, xml]),
    ];
}

// The data of the hashed blocks, without their framing.
function unblock(blocks) {
    const parts = [];
    for (let offset = 0; offset + 40 <= blocks.length;) {
        const size = blocks.readUInt32LE(offset + 36);
        parts.push(blocks.subarray(offset + 40, offset + 40 + size));
        offset += 40 + size;
        if (size === 0) {
            break;
        }
    }
    return Buffer.concat(parts);
}

// The version-4 form (flag 8) of a version-2 payload seed that carries plain XML: an inner
// header with the ChaCha20 stream in front of the XML.
function format4Payload(seed) {
    const flags = seed[1];
    if (seed[0] !== 1 || (flags & 2) !== 0 || ((flags & 1) !== 0 && (flags & 4) === 0)) {
        return null;
    }
    const field = (id, data) => {
        const head = Buffer.alloc(5);
        head[0] = id;
        head.writeUInt32LE(data.length, 1);
        return Buffer.concat([head, data]);
    };
    const innerHeader = Buffer.concat([field(1, Buffer.from([3, 0, 0, 0])), field(2, seed.subarray(3, 35)),
                                       field(0, Buffer.alloc(0))]);
    return Buffer.concat([Buffer.from([1, (flags & 1) | 8]), seed.subarray(2, 35), innerHeader, seed.subarray(35)]);
}

let written = 0;
for (const writer of fs.readdirSync(fixtures)) {
    const folder = path.join(fixtures, writer);
    if (!fs.statSync(folder).isDirectory()) {
        continue;
    }
    for (const name of fs.readdirSync(folder).filter((n) => /\.kdbx?$/.test(n))) {
        const base = name.replace(/\.kdbx?$/, '');
        const facts = JSON.parse(fs.readFileSync(path.join(folder, `${base}.facts.json`)));
        // The inputs carry a password only: databases opened with a key file are left out.
        if (facts.keyFile || facts.password === null) {
            continue;
        }
        const file = fs.readFileSync(path.join(folder, name));
        const password = Buffer.from(facts.password, 'utf8');
        const whole = Buffer.concat([Buffer.from([0, password.length]), password, file]);
        fs.writeFileSync(path.join(out, `${writer}-${base}-file`), whole);
        written += 1;
        // Only AES payloads of file versions below 4 are decrypted here; the version-4 payload
        // seeds come from the version-3 ones below.
        if (facts.cipher !== 'AES-256' || (name.endsWith('.kdbx') && file.readUInt16LE(10) >= 4)) {
            continue;
        }
        const payloads = name.endsWith('.kdb') ? [version1Payload(file, facts.password)]
                                               : version2Payload(file, facts.password);
        payloads.forEach((payload, index) => {
            fs.writeFileSync(path.join(out, `${writer}-${base}-payload-${index}`), payload);
            const format4 = format4Payload(payload);
            if (format4) {
                fs.writeFileSync(path.join(out, `${writer}-${base}-payload-${index}-format4`), format4);
                written += 1;
            }
        });
        written += payloads.length;
    }
}
console.log(`${written} seeds in ${out}`);
