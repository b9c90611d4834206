#include "FixtureCatalog.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <stdexcept>
#include <string_view>

#include "kdb/FormatDetector.h"
#include "kdb/MappedFileSource.h"
#include "kdb/SecureBytes.h"

namespace vaultora::test {

namespace {

QJsonObject readJsonObject(const std::filesystem::path& path) {
    QFile file(QString::fromStdString(path.string()));
    if (!file.open(QIODevice::ReadOnly)) {
        throw std::runtime_error("cannot read " + path.string());
    }
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        throw std::runtime_error("not a JSON object: " + path.string());
    }
    return document.object();
}

QString text(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QJsonObject groupAsJson(const vaultora::kdb::DatabaseGroup& group) {
    QJsonArray groups;
    for (const vaultora::kdb::DatabaseGroup* subGroup : group.getSubGroups()) {
        groups.append(groupAsJson(*subGroup));
    }
    QJsonArray entries;
    for (const vaultora::kdb::DatabaseEntry* entry : group.getEntries()) {
        QJsonObject custom;
        for (uint32_t index = 0; index < entry->getNumberOfCustomAttributes(); ++index) {
            custom.insert(text(entry->getCustomAttributeName(index)),
                          text(entry->getCustomAttributeValue(index)));
        }
        entries.append(QJsonObject{{"title", text(entry->getEntryName())},
                                   {"username", text(entry->getUserName())},
                                   {"password", text(entry->getPassword())},
                                   {"url", text(entry->getURL())},
                                   {"notes", text(entry->getComments())},
                                   {"custom", custom}});
    }
    return QJsonObject{
        {"name", text(group.getGroupName())}, {"groups", groups}, {"entries", entries}};
}

void collectRecycleBins(const vaultora::kdb::DatabaseTree& tree,
                        const vaultora::kdb::DatabaseGroup& group, const std::string& prefix,
                        std::vector<std::string>& paths) {
    for (const vaultora::kdb::DatabaseGroup* subGroup : group.getSubGroups()) {
        const std::string path = prefix + std::string(subGroup->getGroupName());
        if (tree.isRecycleBin(*subGroup)) {
            paths.push_back(path);
        }
        collectRecycleBins(tree, *subGroup, path + "/", paths);
    }
}

} // namespace

std::vector<Fixture> allFixtures() {
    const std::filesystem::path root = VAULTORA_FIXTURES_DIR;
    std::vector<Fixture> fixtures;
    for (const auto& writer : std::filesystem::directory_iterator(root)) {
        if (!writer.is_directory()) {
            continue;
        }
        for (const auto& file : std::filesystem::directory_iterator(writer.path())) {
            const std::string extension = file.path().extension().string();
            if (extension != ".kdb" && extension != ".kdbx") {
                continue;
            }
            std::filesystem::path base = file.path();
            base.replace_extension();
            // Databases without facts (hand-made ones for other tests) are not writer fixtures.
            if (!std::filesystem::exists(base.string() + ".facts.json")) {
                continue;
            }
            Fixture fixture;
            fixture.name =
                writer.path().filename().string() + "/" + file.path().filename().string();
            fixture.path = file.path().string();
            fixture.expected = readJsonObject(base.string() + ".json");
            fixture.facts = readJsonObject(base.string() + ".facts.json");
            fixture.password = fixture.facts.value("password").toString().toStdString();
            fixture.usesPassword = !fixture.facts.value("password").isNull();
            const QString keyFile = fixture.facts.value("keyFile").toString();
            if (!keyFile.isEmpty()) {
                fixture.keyFile = (writer.path() / keyFile.toStdString()).string();
            }
            fixtures.push_back(std::move(fixture));
        }
    }
    std::sort(fixtures.begin(), fixtures.end(),
              [](const Fixture& left, const Fixture& right) { return left.name < right.name; });
    return fixtures;
}

std::string fixtureTestName(const Fixture& fixture) {
    std::string name = fixture.name;
    std::replace_if(
        name.begin(), name.end(),
        [](char character) { return !std::isalnum(static_cast<unsigned char>(character)); }, '_');
    return name;
}

QJsonObject treeAsJson(const vaultora::kdb::DatabaseTree& tree) {
    return QJsonObject{{"root", groupAsJson(*tree.getRoot())}};
}

std::shared_ptr<vaultora::kdb::DatabaseTree> openWithEngine(const std::string& path,
                                                            const std::string& password) {
    auto source = std::make_unique<vaultora::kdb::MappedFileSource>(path);
    std::unique_ptr<vaultora::kdb::DatabaseReader> reader =
        vaultora::kdb::FormatDetector::readerFor(*source);
    return reader->load(std::move(source), vaultora::kdb::secureBytesFromText(password));
}

vaultora::kdb::Credentials fixtureCredentials(const Fixture& fixture,
                                              const std::optional<std::string>& password) {
    vaultora::kdb::Credentials credentials;
    if (password) {
        credentials.passwordUtf8 = vaultora::kdb::secureBytesFromText(*password);
    } else if (fixture.usesPassword) {
        credentials.passwordUtf8 = vaultora::kdb::secureBytesFromText(fixture.password);
    }
    if (!fixture.keyFile.empty()) {
        QFile file(QString::fromStdString(fixture.keyFile));
        if (!file.open(QIODevice::ReadOnly)) {
            throw std::runtime_error("cannot read " + fixture.keyFile);
        }
        const QByteArray contents = file.readAll();
        credentials.keyFileContents = vaultora::kdb::SecureBytes(contents.begin(), contents.end());
    }
    return credentials;
}

std::shared_ptr<vaultora::kdb::DatabaseTree>
openWithEngine(const Fixture& fixture, const vaultora::kdb::Credentials& credentials) {
    auto source = std::make_unique<vaultora::kdb::MappedFileSource>(fixture.path);
    std::unique_ptr<vaultora::kdb::DatabaseReader> reader =
        vaultora::kdb::FormatDetector::readerFor(*source);
    return reader->load(std::move(source), credentials);
}

std::vector<std::string> keyOptions(const Fixture& fixture) {
    std::vector<std::string> options;
    if (!fixture.keyFile.empty()) {
        options = {"--key-file", fixture.keyFile};
    }
    if (!fixture.usesPassword) {
        options.push_back("--no-password");
    }
    return options;
}

std::vector<std::string> recycleBinPaths(const vaultora::kdb::DatabaseTree& tree) {
    std::vector<std::string> paths;
    collectRecycleBins(tree, *tree.getRoot(), "", paths);
    return paths;
}

} // namespace vaultora::test
