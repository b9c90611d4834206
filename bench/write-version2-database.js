#!/usr/bin/env node
// Writes a large version-2 database (file version 3.1, gzip, Salsa20 inner stream) with
// kdbxweb, an independent writer: ENTRIES entries in groups of 1,000, each with a protected
// password and two custom fields. With FORMAT4 (KDF:MEMORY-MIB:ITERATIONS:PARALLELISM:CIPHER,
// KDF one of argon2d, argon2id, aes, where MEMORY-MIB is unused and ITERATIONS are the rounds
// for aes; CIPHER aes or chacha20) it writes file version 4.0 with the ChaCha20 inner stream
// and Argon2 from hash-wasm.
// Usage: node bench/write-version2-database.js OUT-FILE ENTRIES PASSWORD ROUNDS [FORMAT4]
'use strict';
const fs = require('fs');
const path = require('path');
const kdbxweb = require(path.join(__dirname, '..', 'tests', 'fixtures', 'kdbxweb', 'node_modules',
                                  'kdbxweb'));

const [out, entryArgument, password, roundsArgument, format4] = process.argv.slice(2);
if (!out || !entryArgument || password === undefined || !roundsArgument) {
    console.error('usage: write-version2-database.js OUT-FILE ENTRIES PASSWORD ROUNDS');
    process.exit(2);
}
const entries = Number(entryArgument);
const perGroup = 1000;
const Protected = (value) => kdbxweb.ProtectedValue.fromString(value);

function useFormat4(db, description) {
    const { argon2d, argon2id } = require(path.join(__dirname, '..', 'tests', 'fixtures', 'kdbxweb',
                                                    'node_modules', 'hash-wasm'));
    kdbxweb.CryptoEngine.setArgon2Impl(async (key, salt, memory, iterations, length, parallelism, type) => {
        const hash = type === kdbxweb.CryptoEngine.Argon2TypeArgon2id ? argon2id : argon2d;
        const result = await hash({ password: new Uint8Array(key), salt: new Uint8Array(salt), parallelism,
                                    iterations, memorySize: memory, hashLength: length, outputType: 'binary' });
        return result.buffer.slice(result.byteOffset, result.byteOffset + result.byteLength);
    });
    const [kdf, memoryMiB, iterations, parallelism, cipher] = description.split(':');
    const Int64 = kdbxweb.Int64;
    const ValueType = kdbxweb.VarDictionary.ValueType;
    db.setVersion(4);
    db.setKdf({ argon2d: kdbxweb.Consts.KdfId.Argon2d, argon2id: kdbxweb.Consts.KdfId.Argon2id,
                aes: kdbxweb.Consts.KdfId.Aes }[kdf]);
    if (kdf === 'aes') {
        db.header.kdfParameters.set('R', ValueType.UInt64, Int64.from(Number(iterations)));
    } else {
        db.header.kdfParameters.set('M', ValueType.UInt64, Int64.from(Number(memoryMiB) * 1024 * 1024));
        db.header.kdfParameters.set('I', ValueType.UInt64, Int64.from(Number(iterations)));
        db.header.kdfParameters.set('P', ValueType.UInt32, Number(parallelism));
    }
    db.header.dataCipherUuid = new kdbxweb.KdbxUuid(cipher === 'chacha20' ? kdbxweb.Consts.CipherId.ChaCha20
                                                                          : kdbxweb.Consts.CipherId.Aes);
    db.header.crsAlgorithm = kdbxweb.Consts.CrsAlgorithm.ChaCha20;
}

async function main() {
    const db = kdbxweb.Kdbx.create(new kdbxweb.Credentials(Protected(password)), 'Bench');
    db.header.setVersion(3);
    db.header.keyEncryptionRounds = Number(roundsArgument);
    db.header.compression = kdbxweb.Consts.CompressionAlgorithm.GZip;
    db.header.crsAlgorithm = kdbxweb.Consts.CrsAlgorithm.Salsa20;
    if (format4) {
        useFormat4(db, format4);
    }
    const root = db.getDefaultGroup();
    let group = null;
    for (let number = 0; number < entries; ++number) {
        if (number % perGroup === 0) {
            group = db.createGroup(root, `Group ${number / perGroup}`);
        }
        const entry = db.createEntry(group);
        entry.fields.set('Title', `Account ${number}`);
        entry.fields.set('UserName', `user${number}@example.org`);
        entry.fields.set('Password', Protected(`pw-${number}-${(number * 7919) % 100003}`));
        entry.fields.set('URL', `https://service${number % 977}.example.org/login`);
        entry.fields.set('Notes', `Entry number ${number}, written for the benchmarks.`);
        entry.fields.set('Customer number', `C-${100000 + number}`);
        entry.fields.set('PIN', Protected(String(number % 10000).padStart(4, '0')));
    }
    fs.writeFileSync(out, Buffer.from(await db.save()));
}

main().catch((error) => {
    console.error(error);
    process.exit(1);
});
