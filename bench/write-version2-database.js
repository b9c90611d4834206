#!/usr/bin/env node
// Writes a large version-2 database (file version 3.1, gzip, Salsa20 inner stream) with
// kdbxweb, an independent writer: ENTRIES entries in groups of 1,000, each with a protected
// password and two custom fields.
// Usage: node bench/write-version2-database.js OUT-FILE ENTRIES PASSWORD ROUNDS
'use strict';
const fs = require('fs');
const path = require('path');
const kdbxweb = require(path.join(__dirname, '..', 'tests', 'fixtures', 'kdbxweb', 'node_modules',
                                  'kdbxweb'));

const [out, entryArgument, password, roundsArgument] = process.argv.slice(2);
if (!out || !entryArgument || password === undefined || !roundsArgument) {
    console.error('usage: write-version2-database.js OUT-FILE ENTRIES PASSWORD ROUNDS');
    process.exit(2);
}
const entries = Number(entryArgument);
const perGroup = 1000;
const Protected = (value) => kdbxweb.ProtectedValue.fromString(value);

async function main() {
    const db = kdbxweb.Kdbx.create(new kdbxweb.Credentials(Protected(password)), 'Bench');
    db.header.setVersion(3);
    db.header.keyEncryptionRounds = Number(roundsArgument);
    db.header.compression = kdbxweb.Consts.CompressionAlgorithm.GZip;
    db.header.crsAlgorithm = kdbxweb.Consts.CrsAlgorithm.Salsa20;
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
