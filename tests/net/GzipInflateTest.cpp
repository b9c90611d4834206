#include "net/GzipInflate.h"
#include "tests/net/support/HttpTestHelpers.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using vaultora::net::GzipInflater;

QByteArray gzipOf(const QByteArray& text) {
    return QByteArray::fromStdString(vaultora::test::http::gzipped(text.toStdString()));
}

QByteArray sample() {
    QByteArray text;
    for (int line = 0; line < 30000; ++line)
        text += "line " + QByteArray::number(line) + " of something to compress\n";
    return text;
}

TEST(GzipInflater, InflatesTheSameWhateverTheChunksItIsFed) {
    const QByteArray text = sample();
    const QByteArray compressed = gzipOf(text);
    for (const qsizetype chunk : {qsizetype{1}, qsizetype{7}, qsizetype{4096}, compressed.size()}) {
        SCOPED_TRACE(chunk);
        QByteArray inflated;
        GzipInflater inflater(
            [&inflated](const char* data, qsizetype length) {
                inflated.append(data, length);
                return true;
            },
            0);
        for (qsizetype at = 0; at < compressed.size(); at += chunk)
            inflater.feed(compressed.constData() + at, std::min(chunk, compressed.size() - at));
        EXPECT_EQ(inflater.finish(), GzipInflater::Status::Finished);
        EXPECT_EQ(inflated, text);
    }
}

TEST(GzipInflater, StopsAtTheMaximumAndNamesDamageAndCutStreams) {
    const QByteArray text = sample();
    const QByteArray compressed = gzipOf(text);

    qsizetype handedOn = 0;
    GzipInflater limited(
        [&handedOn](const char*, qsizetype length) {
            handedOn += length;
            return true;
        },
        text.size() - 1);
    EXPECT_EQ(limited.feed(compressed.constData(), compressed.size()),
              GzipInflater::Status::TooLarge);
    EXPECT_LT(handedOn, text.size());

    EXPECT_EQ(vaultora::net::inflateGzip(compressed, text.size()), text);
    EXPECT_FALSE(vaultora::net::inflateGzip(compressed, text.size() - 1));
    EXPECT_FALSE(vaultora::net::inflateGzip(compressed.left(compressed.size() / 2)));
    EXPECT_FALSE(vaultora::net::inflateGzip(QByteArray("not compressed at all")));
}

} // namespace
