#include "webserver/MultipartParser.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

using vaultora::webserver::MultipartParser;
using vaultora::webserver::MultipartPartHeader;

// Writes down what the parser hands on, one entry per part.
class RecordingReceiver final : public vaultora::webserver::MultipartReceiver {
public:
    void partBegins(const MultipartPartHeader& header) override {
        QByteArray fields;
        for (const auto& [name, value] : header.fields) {
            fields += name + '=' + value + ';';
        }
        parts.append(fields + '|');
    }
    void partData(const QByteArray& data) override { parts.last() += data; }
    void partEnds() override { parts.last() += "|end"; }

    QList<QByteArray> parts;
};

// The example of RFC 2046 section 5.1.1, with a part whose content nearly repeats the
// delimiter and one that ends in a line break.
const QByteArray kBody = "This is the preamble.  It is to be ignored.\r\n"
                         "--simple boundary\r\n"
                         "\r\n"
                         "This is implicitly typed plain US-ASCII text.\r\n"
                         "It does NOT end with a linebreak.\r\n"
                         "--simple boundary \t\r\n"
                         "Content-type: text/plain; charset=us-ascii\r\n"
                         "\r\n"
                         "--simple boundar\r\n--simple\r\n\r\n"
                         "--simple boundary--\r\n"
                         "This is the epilogue.  It is also to be ignored.\r\n";

const QList<QByteArray> kExpectedParts = {
    "|This is implicitly typed plain US-ASCII text.\r\nIt does NOT end with a linebreak.|end",
    "Content-type=text/plain; charset=us-ascii;|--simple boundar\r\n--simple\r\n|end"};

TEST(MultipartParser, ReadsTheSameBodyWhereverTheChunksAreCut) {
    for (qsizetype cut = 0; cut <= kBody.size(); ++cut) {
        RecordingReceiver receiver;
        MultipartParser parser("simple boundary", receiver);
        parser.feed(kBody.left(cut));
        parser.feed(kBody.mid(cut));
        EXPECT_EQ(receiver.parts, kExpectedParts) << "cut at " << cut;
        EXPECT_TRUE(parser.isComplete());
    }
    RecordingReceiver receiver;
    MultipartParser parser("simple boundary", receiver);
    for (const char byte : kBody) {
        parser.feed(QByteArray(1, byte));
    }
    EXPECT_EQ(receiver.parts, kExpectedParts);
    EXPECT_TRUE(parser.isComplete());
}

TEST(MultipartParser, ReportsBodiesThatEndEarlyOrBreakTheSyntax) {
    RecordingReceiver cut;
    MultipartParser cutParser("b", cut);
    cutParser.feed("--b\r\n\r\nno end\r\n--b");
    EXPECT_FALSE(cutParser.isComplete());
    EXPECT_FALSE(cutParser.hasFailed());
    EXPECT_EQ(cut.parts, QList<QByteArray>{"|no end|end"});

    for (const QByteArray& body :
         {QByteArray("--b junk\r\n\r\nx\r\n--b--"), QByteArray("--b\r\nno colon\r\n\r\nx\r\n--b--"),
          "--b\r\nX: " + QByteArray(70000, 'x') + "\r\n\r\n--b--"}) {
        RecordingReceiver receiver;
        MultipartParser parser("b", receiver);
        parser.feed(body);
        EXPECT_TRUE(parser.hasFailed()) << body.left(30).toStdString();
        EXPECT_FALSE(parser.isComplete());
        EXPECT_TRUE(receiver.parts.isEmpty());
    }
}

TEST(MultipartParser, TakesTheBoundaryFromTheContentType) {
    EXPECT_EQ(MultipartParser::boundaryOf("multipart/form-data; boundary=----WebKit12"),
              QByteArray("----WebKit12"));
    EXPECT_EQ(MultipartParser::boundaryOf("Multipart/Form-Data;BOUNDARY=\"a b\"; charset=x"),
              QByteArray("a b"));
    for (const QByteArray& type :
         {QByteArray("text/plain; boundary=x"), QByteArray("multipart/form-data"),
          QByteArray("multipart/form-data; boundary="),
          "multipart/form-data; boundary=" + QByteArray(71, 'x')}) {
        EXPECT_FALSE(MultipartParser::boundaryOf(type)) << type.toStdString();
    }
}

} // namespace
