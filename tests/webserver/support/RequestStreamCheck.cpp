#include "support/RequestStreamCheck.h"

#include "webserver/ByteRanges.h"
#include "webserver/FormUpload.h"
#include "webserver/HttpAuthentication.h"
#include "webserver/HttpConnection.h"
#include "webserver/HttpMessage.h"
#include "webserver/MultipartParser.h"
#include "webserver/UploadFileName.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

namespace vaultora::webserver::testing {

namespace {

// Piece sizes from a linear congruential generator, so that one input is always cut alike:
// mostly a few bytes, which split delimiters and line ends, now and then several kilobytes.
class PieceSizes final {
public:
    explicit PieceSizes(uint32_t seed) : m_state(seed) {}

    qsizetype next() {
        m_state = m_state * 1664525U + 1013904223U;
        const uint32_t pick = m_state >> 24;
        return pick < 224 ? 1 + pick % 16 : 1 + static_cast<qsizetype>(pick) * 64;
    }

private:
    uint32_t m_state;
};

template <typename Feed> void feedInPieces(const QByteArray& bytes, PieceSizes& sizes, Feed feed) {
    for (qsizetype offset = 0; offset < bytes.size();) {
        const qsizetype length = std::min(sizes.next(), bytes.size() - offset);
        feed(bytes.mid(offset, length));
        offset += length;
    }
}

struct ReceivedPart {
    QList<QPair<QByteArray, QByteArray>> fields;
    QByteArray content;
    bool ended = false;

    friend bool operator==(const ReceivedPart&, const ReceivedPart&) = default;
};

// Keeps what a multipart parser hands on, and notes calls out of order.
class RecordingReceiver final : public MultipartReceiver {
public:
    QList<ReceivedPart> parts;
    QStringList problems;

    void partBegins(const MultipartPartHeader& header) override {
        if (!parts.isEmpty() && !parts.last().ended) {
            problems.append(QStringLiteral("a part began before the one before it ended"));
        }
        parts.append({header.fields, {}, false});
    }

    void partData(const QByteArray& data) override {
        if (parts.isEmpty() || parts.last().ended) {
            problems.append(QStringLiteral("content arrived outside a part"));
            return;
        }
        parts.last().content += data;
    }

    void partEnds() override {
        if (parts.isEmpty() || parts.last().ended) {
            problems.append(QStringLiteral("a part ended that had not begun"));
            return;
        }
        parts.last().ended = true;
    }
};

bool holdsLineBreakOrNull(const QByteArray& text) {
    return text.contains('\r') || text.contains('\n') || text.contains('\0');
}

void checkHeader(const HttpMessage& request, QStringList& problems) {
    for (const QByteArray& line : request.headerLines()) {
        if (holdsLineBreakOrNull(line)) {
            problems.append(QStringLiteral("a header line holds CR, LF or NUL: %1")
                                .arg(QString::fromLatin1(line.toPercentEncoding())));
        }
    }
    const QByteArray target = request.target().toLower();
    if ((target.startsWith("http://") || target.startsWith("https://")) &&
        !request.path().startsWith(QLatin1Char('/'))) {
        problems.append(
            QStringLiteral("an absolute-form target gave the path \"%1\"").arg(request.path()));
    }
}

void checkByteRanges(const QByteArray& value, QStringList& problems) {
    for (const uint64_t length :
         {uint64_t{1}, uint64_t{4096}, std::numeric_limits<uint64_t>::max()}) {
        std::optional<std::vector<ByteRange>> ranges = parseByteRanges(value, length);
        if (!ranges) {
            continue;
        }
        if (ranges->empty()) {
            problems.append(QStringLiteral("a Range header was accepted without a range"));
        }
        for (const ByteRange& range : *ranges) {
            if (range.first > range.last || range.last >= length) {
                problems.append(QStringLiteral("the range %1-%2 lies outside %3 bytes")
                                    .arg(range.first)
                                    .arg(range.last)
                                    .arg(length));
            }
        }
        std::sort(
            ranges->begin(), ranges->end(),
            [](const ByteRange& left, const ByteRange& right) { return left.first < right.first; });
        for (std::size_t index = 1; index < ranges->size(); ++index) {
            if ((*ranges)[index].first <= (*ranges)[index - 1].last) {
                problems.append(QStringLiteral("accepted ranges overlap"));
            }
        }
    }
}

void checkAuthorization(const QByteArray& value, const QByteArray& method, QStringList& problems) {
    const auto lookup = [](const QString& user) -> std::optional<QString> {
        return user == QLatin1String("user") ? std::optional<QString>(QStringLiteral("secret"))
                                             : std::nullopt;
    };
    if (verifyBasicAuthorization(value, lookup) &&
        QByteArray::fromBase64(value.mid(value.indexOf(' ') + 1).trimmed()) != "user:secret") {
        problems.append(QStringLiteral("Basic credentials without the password were accepted"));
    }
    // Without the nonce's digest nothing can pass; this reads the parameters.
    static_cast<void>(verifyDigestAuthorization(value, method, QStringLiteral("realm"),
                                                "00112233445566778899aabbccddeeff", lookup));
}

// The same body, whole and cut in pieces, must give the same parts; no part's content may hold
// the delimiter that ends it.
QList<ReceivedPart> checkMultipart(const QByteArray& boundary, const QByteArray& body,
                                   PieceSizes& sizes, QStringList& problems) {
    RecordingReceiver whole;
    MultipartParser wholeParser(boundary, whole);
    wholeParser.feed(body);
    RecordingReceiver pieces;
    MultipartParser pieceParser(boundary, pieces);
    feedInPieces(body, sizes, [&](const QByteArray& piece) { pieceParser.feed(piece); });

    problems += whole.problems + pieces.problems;
    if (whole.parts != pieces.parts || wholeParser.isComplete() != pieceParser.isComplete() ||
        wholeParser.hasFailed() != pieceParser.hasFailed()) {
        problems.append(QStringLiteral("the body gave other parts when cut in pieces"));
    }
    const QByteArray delimiter = "\r\n--" + boundary;
    for (const ReceivedPart& part : whole.parts) {
        if (part.content.contains(delimiter)) {
            problems.append(QStringLiteral("a part's content holds its delimiter"));
        }
    }
    if (wholeParser.isComplete() &&
        !std::all_of(whole.parts.begin(), whole.parts.end(),
                     [](const ReceivedPart& part) { return part.ended; })) {
        problems.append(QStringLiteral("a complete body left a part open"));
    }
    return whole.parts;
}

QStringList directoryEntries(const QString& directory) {
    return QDir(directory).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                     QDir::NoDotAndDotDot);
}

// Names are joined by hand: QDir::filePath takes a name that starts with a colon for a
// resource path.
void emptyDirectory(const QString& directory) {
    for (const QString& name : directoryEntries(directory)) {
        QFile::remove(directory + QLatin1Char('/') + name);
    }
}

// The content of the part the upload form stores: the first one whose disposition names a file.
std::optional<QByteArray> filePartContent(const QList<ReceivedPart>& parts) {
    for (const ReceivedPart& part : parts) {
        MultipartPartHeader header{part.fields};
        const std::optional<QByteArray> disposition = header.field("Content-Disposition");
        if (disposition && !uploadFileNameFromLine(*disposition).isEmpty()) {
            return part.content;
        }
    }
    return std::nullopt;
}

void checkUpload(const HttpMessage& request, const QByteArray& body, bool bodyWhole,
                 PieceSizes& sizes, const QString& documentRoot, QStringList& problems) {
    const QByteArray contentType = request.uniqueHeaderField("Content-Type").value_or(QByteArray());
    std::optional<QByteArray> expectedContent;
    if (const std::optional<QByteArray> boundary = MultipartParser::boundaryOf(contentType)) {
        expectedContent = filePartContent(checkMultipart(*boundary, body, sizes, problems));
    }

    std::optional<FormUpload::Outcome> outcome;
    {
        FormUpload upload(documentRoot, contentType);
        feedInPieces(body, sizes, [&](const QByteArray& piece) { upload.receive(piece); });
        // As the upload connection does: a body cut short is dropped with its connection, and
        // one without a form part is nothing the page sent.
        if (bodyWhole && upload.receivedFormPart()) {
            outcome = upload.finish();
        }
    }
    const QStringList entries = directoryEntries(documentRoot);
    if (outcome && outcome->storedFileName) {
        const QString& name = *outcome->storedFileName;
        if (entries != QStringList{name}) {
            problems.append(QStringLiteral("\"%1\" was reported stored, the directory holds \"%2\"")
                                .arg(name, entries.join(QStringLiteral("\", \""))));
        } else if (!isAcceptableUploadFileName(name)) {
            problems.append(QStringLiteral("the name \"%1\" was stored").arg(name));
        } else if (expectedContent) {
            QFile stored(documentRoot + QLatin1Char('/') + name);
            if (!stored.open(QIODevice::ReadOnly) || stored.readAll() != *expectedContent) {
                problems.append(QStringLiteral("the stored file is not the file part's content"));
            }
        }
    } else if (!entries.isEmpty()) {
        problems.append(QStringLiteral("nothing was stored, the directory holds \"%1\"")
                            .arg(entries.join(QStringLiteral("\", \""))));
    }
    emptyDirectory(documentRoot);
}

} // namespace

QStringList checkRequestStream(const QByteArray& input, const QString& documentRoot) {
    QStringList problems;
    if (input.size() < 4) {
        return problems;
    }
    uint32_t seed = 0;
    for (qsizetype index = 0; index < 4; ++index) {
        seed = seed << 8 | static_cast<uint8_t>(input[index]);
    }
    PieceSizes sizes(seed);
    const QByteArray stream = input.mid(4);

    qsizetype position = 0;
    while (position < stream.size()) {
        HttpMessage request;
        int headerLines = 0;
        while (!request.isHeaderComplete()) {
            const QByteArray available = stream.mid(position, HttpConnection::kMaxLineLength);
            const qsizetype end = available.indexOf("\r\n");
            // A line longer than the limit closes the connection; an unfinished one waits.
            if (end < 0) {
                return problems;
            }
            position += end + 2;
            if (!request.appendLine(available.left(end))) {
                return problems;
            }
            if (!request.isHeaderComplete() && ++headerLines > HttpConnection::kMaxHeaderLines) {
                return problems;
            }
        }
        checkHeader(request, problems);
        if (const std::optional<QByteArray> range = request.uniqueHeaderField("Range")) {
            checkByteRanges(*range, problems);
        }
        if (const std::optional<QByteArray> authorization =
                request.uniqueHeaderField("Authorization")) {
            checkAuthorization(*authorization, request.method(), problems);
        }

        const std::optional<uint64_t> bodyLength = request.bodyLength();
        if (!bodyLength) {
            return problems;
        }
        const auto available = static_cast<uint64_t>(stream.size() - position);
        const QByteArray body =
            stream.mid(position, static_cast<qsizetype>(std::min(*bodyLength, available)));
        position += body.size();
        const bool bodyWhole = static_cast<uint64_t>(body.size()) == *bodyLength;
        // A body of a request refused for its version is read and dropped.
        if (request.method() == "POST" && request.version() == "HTTP/1.1" && *bodyLength > 0) {
            checkUpload(request, body, bodyWhole, sizes, documentRoot, problems);
        }
        if (!bodyWhole || request.asksToClose()) {
            return problems;
        }
    }
    return problems;
}

} // namespace vaultora::webserver::testing
