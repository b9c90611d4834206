#include "webserver/UploadConnection.h"
#include "base/NotificationCenter.h"
#include "tests/webserver/support/LogCapture.h"
#include "tests/webserver/support/RawClient.h"
#include "tests/webserver/support/Wait.h"
#include "webserver/HttpServer.h"
#include "webserver/UploadFileName.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

using vaultora::test::web::RawClient;
using vaultora::test::web::runClient;

namespace {

const QByteArray kBoundary = "----FormBoundary7MA4YWxkTrZu0gW";

QByteArray filePart(const QByteArray& fileName, const QByteArray& content) {
    return "--" + kBoundary + "\r\nContent-Disposition: form-data; name=\"file\"; filename=\"" +
           fileName + "\"\r\nContent-Type: application/octet-stream\r\n\r\n" + content + "\r\n";
}

// The body a browser sends for the page's form: the file part, then the submit button.
QByteArray formBody(const QByteArray& fileName, const QByteArray& content) {
    return filePart(fileName, content) + "--" + kBoundary +
           "\r\nContent-Disposition: form-data; name=\"button\"\r\n\r\nSubmit\r\n--" + kBoundary +
           "--\r\n";
}

QByteArray post(const QByteArray& body) {
    return "POST / HTTP/1.1\r\nHost: localhost\r\nContent-Type: multipart/form-data; boundary=" +
           kBoundary + "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

QByteArray binaryContent(qsizetype size) {
    QByteArray content(size, '\0');
    for (qsizetype index = 0; index < size; ++index) {
        content[index] = static_cast<char>((index * 31 + 7) % 256);
    }
    return content;
}

class UploadConnection : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_root.isValid());
        m_documents = m_root.path() + QStringLiteral("/Documents");
        ASSERT_TRUE(QDir().mkpath(m_documents));
        m_server.setDocumentRoot(m_documents);
        m_server.setConnectionClass<vaultora::webserver::UploadConnection>();
        ASSERT_TRUE(m_server.start());
        vaultora::base::NotificationCenter::defaultCenter().addObserver(
            QStringLiteral("NewFileUploaded"), &m_observer,
            [this](const vaultora::base::Notification& note) {
                m_uploaded.append(note.userInfo.value(QStringLiteral("filename")).toString());
            });
    }

    // Sends one request and returns its response, read on a client thread.
    vaultora::test::web::ParsedResponse exchange(const QByteArray& request) {
        vaultora::test::web::ParsedResponse result;
        runClient([&] {
            RawClient client(m_server.port());
            client.send(request);
            const auto response = client.readResponse();
            ASSERT_TRUE(response);
            result = *response;
        });
        return result;
    }

    QByteArray readDocument(const QString& name) const {
        QFile file(m_documents + QLatin1Char('/') + name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    void writeDocument(const QString& name, const QByteArray& data) const {
        QFile file(m_documents + QLatin1Char('/') + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(data);
    }

    QStringList documentNames() const {
        return QDir(m_documents)
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
    }

    // The files of this process that are open under the documents directory.
    QStringList openDocumentFiles() const {
        QStringList open;
        const QDir descriptors(QStringLiteral("/proc/self/fd"));
        for (const QString& entry : descriptors.entryList(QDir::AllEntries | QDir::System)) {
            const QString target = QFile::symLinkTarget(descriptors.filePath(entry));
            if (target.startsWith(m_documents + QLatin1Char('/'))) {
                open.append(target);
            }
        }
        return open;
    }

    QTemporaryDir m_root;
    QString m_documents;
    vaultora::webserver::HttpServer m_server;
    QObject m_observer;
    QStringList m_uploaded;
};

TEST_F(UploadConnection, ServesThePageListingTheDocumentsWithTheForm) {
    writeDocument(QStringLiteral("MyDb.kdbx"), QByteArray(2048, 'x'));
    writeDocument(QStringLiteral("Vaultora.plist"), "<plist/>");
    ASSERT_TRUE(QDir(m_documents).mkdir(QStringLiteral("Old")));
    const QFileInfo database(m_documents + QStringLiteral("/MyDb.kdbx"));

    const vaultora::test::web::ParsedResponse response = exchange("GET / HTTP/1.1\r\n\r\n");
    EXPECT_EQ(response.status, 200);
    EXPECT_FALSE(response.header("Content-Type"));
    const QString page = QString::fromUtf8(response.body);
    const QString head =
        "<html><head><title>Files on this device </title><style>html {background-color:#eeeeee} "
        "body { background-color:#FFFFFF; font-family:Tahoma,Arial,Helvetica,sans-serif; "
        "font-size:18x; margin-left:15%; margin-right:15%; border:3px groove #006600; "
        "padding:15px; } </style></head><body><h1>Files from </h1><bq>These databases are "
        "already on the Vaultora Folder:</bq><p>";
    const QString tail =
        "</p><form action=\"\" method=\"post\" enctype=\"multipart/form-data\" name=\"form1\" "
        "id=\"form1\"><label>upload file<input type=\"file\" name=\"file\" id=\"file\" "
        "/></label><label><input type=\"submit\" name=\"button\" id=\"button\" value=\"Submit\" "
        "/></label></form></body></html>";
    const QString databaseLine = "<a href=\"./MyDb.kdbx\">MyDb.kdbx</a>\t\t(     2.0 Kb, " +
                                 database.lastModified().toString() + ")<br />\n";
    // Folders are not regular files: they are not listed.
    EXPECT_EQ(page, head + databaseLine + tail) << page.toStdString();
}

TEST_F(UploadConnection, StoresABrowserUploadWithExactlyItsBytesAndAnnouncesIt) {
    const QByteArray content = binaryContent(100000);
    const vaultora::test::web::ParsedResponse response =
        exchange(post(formBody("MyDb.kdbx", content)));
    EXPECT_EQ(response.status, 200);
    EXPECT_TRUE(response.body.contains("<a href=\"./MyDb.kdbx\">MyDb.kdbx</a>"));
    EXPECT_EQ(readDocument(QStringLiteral("MyDb.kdbx")), content);
    EXPECT_EQ(m_uploaded, QStringList{QStringLiteral("MyDb.kdbx")});
    EXPECT_EQ(documentNames(), QStringList{QStringLiteral("MyDb.kdbx")});
}

TEST_F(UploadConnection, KeepsTheContentIntactWhateverItEndsWith) {
    struct Case {
        QByteArray name;
        QByteArray body;
        QByteArray expected;
    };
    const QList<Case> cases = {
        {"crlf.kdbx", formBody("crlf.kdbx", "line one\r\nline two\r\n"),
         "line one\r\nline two\r\n"},
        {"only.kdbx", filePart("only.kdbx", "just the file") + "--" + kBoundary + "--\r\n",
         "just the file"},
        {"empty.kdbx", formBody("empty.kdbx", ""), ""},
        {"dashes.kdbx", formBody("dashes.kdbx", "--" + kBoundary.left(10)),
         "--" + kBoundary.left(10)},
        {"Windows.kdbx", formBody("C:\\Users\\ann\\Windows.kdbx", "from a full path"),
         "from a full path"},
    };
    for (const Case& upload : cases) {
        EXPECT_EQ(exchange(post(upload.body)).status, 200);
        EXPECT_EQ(readDocument(QString::fromUtf8(upload.name)), upload.expected)
            << upload.name.toStdString();
    }
    EXPECT_EQ(m_uploaded.size(), cases.size());
}

TEST_F(UploadConnection, CollectsAPartHeaderThatSpansTwoBodyChunks) {
    // A long extra parameter pushes the end of the part header past the first 32768 bytes.
    const QByteArray padding(40000, 'p');
    const QByteArray content = binaryContent(50000);
    const QByteArray body =
        "--" + kBoundary +
        "\r\nContent-Disposition: form-data; name=\"file\"; filename=\"Long.kdbx\"\r\n"
        "X-Padding: " +
        padding + "\r\n\r\n" + content + "\r\n--" + kBoundary + "--\r\n";
    EXPECT_EQ(exchange(post(body)).status, 200);
    EXPECT_EQ(readDocument(QStringLiteral("Long.kdbx")), content);
}

TEST_F(UploadConnection, RefusesNamesThatLeaveTheDocumentsOrReplaceTheAppsFiles) {
    writeDocument(QStringLiteral("Vaultora.plist"), "registry");
    writeDocument(QStringLiteral("VaultoraDatabaseFiles.plist"), "legacy");
    const QList<QByteArray> names = {
        "../Escaped.kdbx", "sub/../../Escaped.kdbx",     "/tmp/Abs.kdbx", "..", "C:\\dir\\..",
        "Vaultora.plist",  "VaultoraDatabaseFiles.plist"};
    for (const QByteArray& name : names) {
        const vaultora::test::web::ParsedResponse response =
            exchange(post(formBody(name, "payload")));
        EXPECT_EQ(response.status, 200) << name.toStdString();
        EXPECT_TRUE(response.body.contains("<form")) << name.toStdString();
    }
    EXPECT_TRUE(m_uploaded.isEmpty());
    EXPECT_EQ(readDocument(QStringLiteral("Vaultora.plist")), QByteArray("registry"));
    EXPECT_EQ(readDocument(QStringLiteral("VaultoraDatabaseFiles.plist")), QByteArray("legacy"));
    EXPECT_EQ(QDir(m_root.path()).entryList(QDir::Files), QStringList());
    EXPECT_FALSE(QFile::exists(QStringLiteral("/tmp/Abs.kdbx")));
    EXPECT_EQ(documentNames(), (QStringList{QStringLiteral("Vaultora.plist"),
                                            QStringLiteral("VaultoraDatabaseFiles.plist")}));
}

TEST_F(UploadConnection, AnswersFormsWithoutAFileAndMalformedBodiesWithoutStoring) {
    // No file chosen: the browser sends an empty file name.
    EXPECT_EQ(exchange(post(formBody("", ""))).status, 200);
    // An ordinary field first: it names no file.
    EXPECT_EQ(exchange(post("--" + kBoundary +
                            "\r\nContent-Disposition: form-data; name=\"note\"\r\n\r\nhello\r\n--" +
                            kBoundary + "--\r\n"))
                  .status,
              200);
    // No closing delimiter: the body cannot be told apart from the file.
    EXPECT_EQ(exchange(post(filePart("Cut.kdbx", "no end"))).status, 200);
    // Fewer than two header lines before the blank line.
    EXPECT_EQ(exchange(post("--" + kBoundary + "\r\n\r\ndata")).status, 404);
    EXPECT_EQ(exchange(post("\r\n\r\n")).status, 404);
    EXPECT_TRUE(m_uploaded.isEmpty());
    EXPECT_TRUE(documentNames().isEmpty());
}

TEST_F(UploadConnection, ReplacesAnExistingFileOnlyWhenTheUploadHasCompleted) {
    writeDocument(QStringLiteral("MyDb.kdbx"), "old contents");
    const QByteArray body = formBody("MyDb.kdbx", binaryContent(200000));
    auto client = std::make_unique<RawClient>(m_server.port());
    ASSERT_TRUE(
        vaultora::test::web::waitUntil([this] { return m_server.numberOfHTTPConnections() == 1; }));
    runClient([&] { client->send(post(body).left(100000)); });
    client.reset();
    // The peer is gone in the middle of the body: the old file and nothing else remains.
    ASSERT_TRUE(
        vaultora::test::web::waitUntil([this] { return m_server.numberOfHTTPConnections() == 0; }));
    EXPECT_EQ(readDocument(QStringLiteral("MyDb.kdbx")), QByteArray("old contents"));
    EXPECT_EQ(documentNames(), QStringList{QStringLiteral("MyDb.kdbx")});
    EXPECT_TRUE(m_uploaded.isEmpty());

    EXPECT_EQ(exchange(post(body)).status, 200);
    EXPECT_EQ(readDocument(QStringLiteral("MyDb.kdbx")), binaryContent(200000));
    EXPECT_EQ(m_uploaded, QStringList{QStringLiteral("MyDb.kdbx")});
}

TEST_F(UploadConnection, DownloadsListedFilesAndNeverListsOutsideTheDocuments) {
    writeDocument(QStringLiteral("MyDb.kdbx"), "database bytes");
    QFile outside(m_root.path() + QStringLiteral("/outside.txt"));
    ASSERT_TRUE(outside.open(QIODevice::WriteOnly));
    outside.write("not for the network");
    outside.close();
    ASSERT_TRUE(QFile::link(outside.fileName(), m_documents + QStringLiteral("/link.txt")));

    EXPECT_EQ(exchange("GET /MyDb.kdbx HTTP/1.1\r\n\r\n").body, QByteArray("database bytes"));
    for (const QByteArray path : {"/../", "/%2e%2e/", "/..%2f", "//", "/Documents/../../"}) {
        const vaultora::test::web::ParsedResponse listing =
            exchange("GET " + path + " HTTP/1.1\r\n\r\n");
        EXPECT_EQ(listing.status, 200) << path.toStdString();
        EXPECT_FALSE(listing.body.contains("outside.txt")) << path.toStdString();
        EXPECT_FALSE(listing.body.contains("Documents/")) << path.toStdString();
    }
    const vaultora::test::web::ParsedResponse link = exchange("GET /link.txt HTTP/1.1\r\n\r\n");
    EXPECT_FALSE(link.body.contains("not for the network"));
}

TEST_F(UploadConnection, LinksEveryFileByARelativePercentEncodedPath) {
    writeDocument(QStringLiteral("javascript:alert(document.domain)"), "script");
    writeDocument(QStringLiteral("My Db#1.kdbx"), "database");
    const QByteArray page = exchange("GET / HTTP/1.1\r\n\r\n").body;
    EXPECT_TRUE(page.contains("<a href=\"./javascript%3Aalert%28document.domain%29\">"))
        << page.toStdString();
    EXPECT_TRUE(page.contains("<a href=\"./My%20Db%231.kdbx\">My Db#1.kdbx</a>"));
    EXPECT_EQ(page.count("href=\""), page.count("href=\"./"));
}

TEST_F(UploadConnection, ServesFilesAsDownloadsThatBrowsersDoNotRender) {
    writeDocument(QStringLiteral("evil.kdbx"), "<html><script>alert(1)</script></html>");
    const vaultora::test::web::ParsedResponse response =
        exchange("GET /evil.kdbx HTTP/1.1\r\n\r\n");
    EXPECT_EQ(response.status, 200);
    EXPECT_EQ(response.header("Content-Type"), QByteArray("application/octet-stream"));
    EXPECT_EQ(response.header("X-Content-Type-Options"), QByteArray("nosniff"));
    EXPECT_EQ(response.header("Content-Disposition"), QByteArray("attachment"));
}

TEST_F(UploadConnection, StoresOnlyTheFirstFilePartOfAForm) {
    const QByteArray secondFile = "--" + kBoundary +
                                  "\r\nContent-Disposition: form-data; name=\"other\"; "
                                  "filename=\"Other.kdbx\"\r\n\r\nBBB\r\n";
    const QByteArray field =
        "--" + kBoundary + "\r\nContent-Disposition: form-data; name=\"note\"\r\n\r\nCCC\r\n";
    const QByteArray body =
        filePart("First.kdbx", "AAA") + secondFile + field + "--" + kBoundary + "--\r\n";
    EXPECT_EQ(exchange(post(body)).status, 200);
    EXPECT_EQ(readDocument(QStringLiteral("First.kdbx")), QByteArray("AAA"));
    EXPECT_EQ(documentNames(), QStringList{QStringLiteral("First.kdbx")});
    EXPECT_EQ(m_uploaded, QStringList{QStringLiteral("First.kdbx")});
}

TEST_F(UploadConnection, StoresTheFileOfFormsShapedDifferently) {
    const QByteArray close = "--" + kBoundary + "--\r\n";
    struct Case {
        QByteArray name;
        QByteArray body;
    };
    const QList<Case> cases = {
        {"FieldFirst.kdbx",
         "--" + kBoundary + "\r\nContent-Disposition: form-data; name=\"note\"\r\n\r\nhello\r\n" +
             filePart("FieldFirst.kdbx", "content") + close},
        {"TypeFirst.kdbx", "--" + kBoundary +
                               "\r\nContent-Type: application/octet-stream\r\n"
                               "Content-Disposition: form-data; name=\"file\"; "
                               "filename=\"TypeFirst.kdbx\"\r\n\r\ncontent\r\n" +
                               close},
        {"NoSpace.kdbx",
         "--" + kBoundary +
             "\r\ncontent-disposition: form-data;name=\"file\";filename=\"NoSpace.kdbx\"\r\n\r\n"
             "content\r\n" +
             close},
        {"Preamble.kdbx",
         "This is the preamble.\r\n" + filePart("Preamble.kdbx", "content") + close},
    };
    for (const Case& upload : cases) {
        EXPECT_EQ(exchange(post(upload.body)).status, 200) << upload.name.toStdString();
        EXPECT_EQ(readDocument(QString::fromUtf8(upload.name)), QByteArray("content"))
            << upload.name.toStdString();
    }
    EXPECT_EQ(m_uploaded.size(), cases.size());
}

TEST_F(UploadConnection, TakesTheBoundaryFromTheBodyWhenTheRequestNamesNone) {
    const QByteArray body = formBody("Bare.kdbx", "content");
    EXPECT_EQ(exchange("POST / HTTP/1.1\r\nContent-Length: " + QByteArray::number(body.size()) +
                       "\r\n\r\n" + body)
                  .status,
              200);
    EXPECT_EQ(readDocument(QStringLiteral("Bare.kdbx")), QByteArray("content"));
}

TEST_F(UploadConnection, SaysOnTheAnswerPageWhatBecameOfTheUpload) {
    const QByteArray stored = exchange(post(formBody("MyDb.kdbx", "content"))).body;
    EXPECT_TRUE(stored.contains("MyDb.kdbx was uploaded.")) << stored.toStdString();

    const QByteArray refused = exchange(post(formBody("Vaultora.plist", "content"))).body;
    EXPECT_TRUE(refused.contains("Vaultora.plist was not stored: that file name is not allowed."))
        << refused.toStdString();

    const QByteArray unfinished = exchange(post(filePart("Cut.kdbx", "no end"))).body;
    EXPECT_TRUE(unfinished.contains("Cut.kdbx was not stored: the upload did not arrive whole."))
        << unfinished.toStdString();

    // A device that cannot take the whole file: the size limit makes its writes fail as a full
    // disk would.
    const struct sigaction ignore = {};
    struct sigaction previousAction = {};
    struct sigaction ignoreAction = ignore;
    ignoreAction.sa_handler = SIG_IGN;
    ASSERT_EQ(::sigaction(SIGXFSZ, &ignoreAction, &previousAction), 0);
    rlimit previousLimit{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previousLimit), 0);
    rlimit smallLimit = previousLimit;
    smallLimit.rlim_cur = 50000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &smallLimit), 0);
    const QByteArray full = exchange(post(formBody("Large.kdbx", binaryContent(100000)))).body;
    ::setrlimit(RLIMIT_FSIZE, &previousLimit);
    ::sigaction(SIGXFSZ, &previousAction, nullptr);
    EXPECT_TRUE(full.contains("Large.kdbx was not stored: the device could not save it."))
        << full.toStdString();

    for (const QByteArray& page : {refused, unfinished, full}) {
        EXPECT_FALSE(page.contains("was uploaded."));
    }
    EXPECT_EQ(m_uploaded, QStringList{QStringLiteral("MyDb.kdbx")});
    EXPECT_EQ(documentNames(), QStringList{QStringLiteral("MyDb.kdbx")});
}

TEST_F(UploadConnection, GivesAnUploadItsNameOnlyWhenItIsStored) {
    auto client = std::make_unique<RawClient>(m_server.port());
    runClient(
        [&] { client->send(post(formBody("MyDb.kdbx", binaryContent(200000))).left(100000)); });
    ASSERT_TRUE(vaultora::test::web::waitUntil([this] { return !openDocumentFiles().isEmpty(); }));
    EXPECT_TRUE(documentNames().isEmpty()) << documentNames().join(QLatin1Char(' ')).toStdString();
    client.reset();
    ASSERT_TRUE(
        vaultora::test::web::waitUntil([this] { return m_server.numberOfHTTPConnections() == 0; }));
    EXPECT_TRUE(documentNames().isEmpty());
}

TEST_F(UploadConnection, RemovesUploadsLeftOverFromAnEarlierRunWhenItStarts) {
    m_server.stop();
    writeDocument(QStringLiteral(".vaultora-upload-Ab12Cd"), QByteArray(1000, 'x'));
    writeDocument(QStringLiteral("MyDb.kdbx"), "database");
    ASSERT_TRUE(m_server.start());
    EXPECT_EQ(documentNames(), QStringList{QStringLiteral("MyDb.kdbx")});
}

TEST_F(UploadConnection, DropsTheBodyOfARequestAnsweredWithAnUnsupportedVersion) {
    const QByteArray body = formBody("MyDb.kdbx", "content");
    const QByteArray request =
        "POST / HTTP/1.0\r\nContent-Type: multipart/form-data; boundary=" + kBoundary +
        "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
    auto client = std::make_unique<RawClient>(m_server.port());
    runClient([&] {
        client->send(request);
        const auto response = client->readResponse();
        ASSERT_TRUE(response);
        EXPECT_EQ(response->status, 505);
    });
    // The connection is still open; nothing of the refused upload may be kept for it.
    EXPECT_EQ(m_server.numberOfHTTPConnections(), 1);
    EXPECT_TRUE(openDocumentFiles().isEmpty());
    EXPECT_TRUE(documentNames().isEmpty());
    EXPECT_TRUE(m_uploaded.isEmpty());
}

TEST_F(UploadConnection, RefusesNamesTheListingWouldHide) {
    for (const QByteArray& name :
         {QByteArray(".vaultora-upload-Ab12Cd"), QByteArray(".DS_Store"), QByteArray(".kdbx"),
          QByteArray("vaultora.plist"), QByteArray("VAULTORADATABASEFILES.PLIST"),
          QByteArray("Vaultora.plist.unreadable-20240101T000000Z")}) {
        EXPECT_EQ(exchange(post(formBody(name, "payload"))).status, 200) << name.toStdString();
    }
    EXPECT_TRUE(m_uploaded.isEmpty());
    EXPECT_TRUE(documentNames().isEmpty()) << documentNames().join(QLatin1Char(' ')).toStdString();
}

TEST_F(UploadConnection, NeitherListsNorServesTheRegistryNorAnythingButRegularFiles) {
    writeDocument(QStringLiteral("MyDb.kdbx"), "database");
    writeDocument(QStringLiteral("Vaultora.plist"), "registry secrets");
    writeDocument(QStringLiteral("VaultoraDatabaseFiles.plist"), "legacy secrets");
    writeDocument(QStringLiteral("Vaultora.plist.unreadable-20240101T000000Z"), "old secrets");
    writeDocument(QStringLiteral("VAULTORA.PLIST"), "registry secrets");
    ASSERT_TRUE(
        QFile::link(QStringLiteral("/etc/passwd"), m_documents + QStringLiteral("/passwd")));
    ASSERT_TRUE(QFile::link(m_documents + QStringLiteral("/MyDb.kdbx"),
                            m_documents + QStringLiteral("/Alias.kdbx")));
    ASSERT_TRUE(QDir(m_documents).mkdir(QStringLiteral("Folder")));

    const QByteArray page = exchange("GET / HTTP/1.1\r\n\r\n").body;
    EXPECT_EQ(page.count("<a href="), 1) << page.toStdString();
    EXPECT_TRUE(page.contains("./MyDb.kdbx"));
    for (const QByteArray path :
         {"/Vaultora.plist", "/vaultora.plist", "/VaultoraDatabaseFiles.plist",
          "/Vaultora.plist.unreadable-20240101T000000Z", "/VAULTORA.PLIST", "/passwd",
          "/Alias.kdbx"}) {
        const vaultora::test::web::ParsedResponse response =
            exchange("GET " + path + " HTTP/1.1\r\n\r\n");
        EXPECT_FALSE(response.body.contains("secrets")) << path.toStdString();
        EXPECT_FALSE(response.body.contains("root:")) << path.toStdString();
        EXPECT_FALSE(response.body == "database") << path.toStdString();
        EXPECT_FALSE(response.header("Content-Disposition")) << path.toStdString();
    }
}

TEST_F(UploadConnection, RefusesControlCharactersInNamesAndLogsNoneOfThem) {
    vaultora::test::web::LogCapture log;
    const QByteArray forged = "x.kdbx\nStored upload: Vaultora.plist\x1b[2K";
    const QByteArray body =
        "--" + kBoundary + "\r\nContent-Disposition: form-data; name=\"file\"; filename=\"" +
        forged + "\"\r\nX-Note: \x1b]0;title\x07\r\n\r\ncontent\r\n--" + kBoundary + "--\r\n";
    const QByteArray request =
        "POST / HTTP/1.1\r\nX-Agent: \x1b[31mred\r\nContent-Type: "
        "multipart/form-data; boundary=" +
        kBoundary + "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
    EXPECT_EQ(exchange(request).status, 200);
    EXPECT_TRUE(m_uploaded.isEmpty());
    EXPECT_TRUE(documentNames().isEmpty());
    for (const QString& line : log.lines()) {
        for (const QChar character : line) {
            EXPECT_TRUE(character.isPrint()) << line.toStdString();
        }
    }
}

TEST_F(UploadConnection, ServesAFileNamedInAbsoluteForm) {
    writeDocument(QStringLiteral("MyDb.kdbx"), "database bytes");
    const vaultora::test::web::ParsedResponse response =
        exchange("GET http://localhost:8080/MyDb.kdbx HTTP/1.1\r\nHost: localhost:8080\r\n\r\n");
    EXPECT_EQ(response.status, 200);
    EXPECT_EQ(response.body, QByteArray("database bytes"));
}

TEST(UploadFileName, TakesTheQuotedNameAndItsLastWindowsComponent) {
    EXPECT_EQ(vaultora::webserver::uploadFileNameFromLine(
                  "Content-Disposition: form-data; name=\"file\"; filename=\"MyDb.kdbx\""),
              QStringLiteral("MyDb.kdbx"));
    EXPECT_EQ(vaultora::webserver::uploadFileNameFromLine(
                  "Content-Disposition: form-data; name=\"file\"; filename=\"C:\\a\\b c.kdb\""),
              QStringLiteral("b c.kdb"));
    EXPECT_EQ(vaultora::webserver::uploadFileNameFromLine(
                  "Content-Disposition: form-data; name=\"file\"; filename=\"Caf\xc3\xa9.kdbx\""),
              QStringLiteral("Caf\u00e9.kdbx"));
    EXPECT_EQ(vaultora::webserver::uploadFileNameFromLine(
                  "Content-Disposition: form-data; name=\"file\""),
              QString());
    // Parameters in any letter case, without spaces, with a semicolon inside the quotes.
    EXPECT_EQ(vaultora::webserver::uploadFileNameFromLine(
                  "form-data;name=\"file\";FileName=\"a;b.kdbx\""),
              QStringLiteral("a;b.kdbx"));
    EXPECT_EQ(vaultora::webserver::uploadFileNameFromLine(
                  "form-data; name=\"notes; filename=fake\"; filename=\"real.kdbx\""),
              QStringLiteral("real.kdbx"));
    EXPECT_EQ(vaultora::webserver::uploadFileNameFromLine(
                  "Content-Disposition: form-data; filename=bare"),
              QString());
    EXPECT_TRUE(vaultora::webserver::isAcceptableUploadFileName(QStringLiteral("My Db.v2.kdbx")));
    for (const QString& name :
         {QString(), QStringLiteral("."), QStringLiteral("a/b"), QStringLiteral("a\\b"),
          QStringLiteral("x..y"), QStringLiteral("Vaultora.plist"), QStringLiteral("a\nb.kdbx"),
          QStringLiteral("a\x1b[2Jb.kdbx"), QStringLiteral("evil\u202exbdk.kdbx")}) {
        EXPECT_FALSE(vaultora::webserver::isAcceptableUploadFileName(name)) << name.toStdString();
    }
}

} // namespace
