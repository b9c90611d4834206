#include "SettingsScreenFixture.h"

#include "base/NotificationCenter.h"
#include "base/Notifications.h"
#include "ui/DatabaseDetailsScreen.h"
#include "ui/DatabaseListScreen.h"
#include "ui/toolkit/NavigationContainer.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace vaultora::test::settings;

namespace {

class SettingsDatabases : public SettingsScreenTest {
protected:
    [[nodiscard]] static QStringList databaseRows(const vaultora::ui::DatabaseListScreen& list) {
        QStringList rows;
        for (int row = 0; row < list.list()->rowCountInSection(0); ++row) {
            rows.append(list.list()->row(0, row).title);
        }
        return rows;
    }
};

TEST_F(SettingsDatabases, ListsTheRegistryWithAnOkRowAndFollowsAnnouncedChanges) {
    addRecord(QStringLiteral("Home"), QStringLiteral("home.kdbx"), 1);
    vaultora::ui::DatabaseListScreen* list = openDatabaseList();
    ASSERT_NE(list, nullptr);
    QAbstractItemModelTester tester(list->list(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(list->title(), QStringLiteral("Database settings"));
    EXPECT_EQ(leftButton(*list).title(), QStringLiteral("Edit"));
    EXPECT_EQ(leftButton(*list).style(), vaultora::toolkit::BarButton::Style::Bordered);
    EXPECT_EQ(rightButton(*list).title(), QStringLiteral("Add"));
    ASSERT_EQ(list->list()->sectionCount(), 2);
    EXPECT_EQ(databaseRows(*list), QStringList({"Home"}));
    EXPECT_EQ(list->list()->row(0, 0).imageName, QStringLiteral("44-shoebox-download"))
        << "the menu's icon for a downloaded database";
    ASSERT_EQ(list->cellContents().size(), 1);
    EXPECT_EQ(list->cellContents().at(0).dataBaseFileName, QStringLiteral("home.kdbx"));
    ASSERT_EQ(list->list()->rowCountInSection(1), 1);
    EXPECT_EQ(list->list()->row(1, 0).title, QStringLiteral("Ok"));
    EXPECT_TRUE(list->list()->row(1, 0).centred);
    EXPECT_FALSE(list->list()->row(1, 0).deletable) << "the Ok row is never offered for deletion";
    EXPECT_TRUE(list->list()->row(0, 0).deletable);

    addRecord(QStringLiteral("Work"), QStringLiteral("work.kdb"), 1);
    EXPECT_EQ(databaseRows(*list), QStringList({"Home"})) << "unannounced changes wait";
    vaultora::base::NotificationCenter::defaultCenter().post(
        QString::fromLatin1(vaultora::base::Notifications::databasesChanged));
    EXPECT_EQ(databaseRows(*list), QStringList({"Home", "Work"}));

    list->EditTable();
    EXPECT_TRUE(list->list()->isEditing());
    EXPECT_EQ(leftButton(*list).title(), QStringLiteral("Done"));
    EXPECT_EQ(leftButton(*list).style(), vaultora::toolkit::BarButton::Style::Done);
    list->EditTable();
    EXPECT_FALSE(list->list()->isEditing());
    EXPECT_EQ(leftButton(*list).title(), QStringLiteral("Edit"));
}

TEST_F(SettingsDatabases, AddedRecordStaysAfterLeavingAndReachesTheFileWhenAnnounced) {
    vaultora::ui::DatabaseListScreen* list = openDatabaseList();
    ASSERT_NE(list, nullptr);
    rightButton(*list).press();

    vaultora::ui::DatabaseDetailsScreen* details = topDetails();
    ASSERT_NE(details, nullptr) << "Add opens the details of the new record";
    EXPECT_EQ(details->iServerArrayIndex(), 0);
    EXPECT_EQ(typeChoice(*details).selectedIndex(), 0);
    topContainer()->goBack();
    runDeferredDeletes();

    ASSERT_EQ(delegate->serverArray().size(), 1u);
    const vaultora::base::DatabaseRecord& record = *delegate->serverArray().front();
    EXPECT_EQ(record.serverDisplayName(), QStringLiteral("New database"));
    EXPECT_EQ(record.syncType(), 1);
    EXPECT_TRUE(record.databaseName().isEmpty());
    EXPECT_TRUE(record.serverUrl().isEmpty());
    EXPECT_EQ(record.savePassword(), 0);
    EXPECT_EQ(databaseRows(*list), QStringList({"New database"}));
    EXPECT_FALSE(registryFile().contains("New database")) << "nothing was announced yet";
    EXPECT_EQ(menu->cellContents().size(), 0);

    list->tableViewDidSelectRowAtIndexPath(vaultora::ui::DatabaseListScreen::OkSection, 0);
    EXPECT_EQ(databasesChangedCount, 1);
    EXPECT_TRUE(registryFile().contains("New database"));
    ASSERT_EQ(menu->cellContents().size(), 1);
    EXPECT_EQ(menu->cellContents().at(0).cellText, QStringLiteral("New database"));
    EXPECT_EQ(stack->count(), 0) << "Ok closes the screen";
}

TEST_F(SettingsDatabases, SelectingARowOpensTheDetailsOfThatRecord) {
    addRecord(QStringLiteral("Home"), QStringLiteral("home.kdbx"), 1);
    auto second = addRecord(QStringLiteral("Work"), QStringLiteral("work.kdb"), 3);
    vaultora::ui::DatabaseListScreen* list = openDatabaseList();
    ASSERT_NE(list, nullptr);
    list->list()->tap(2); // header, Home, Work
    vaultora::ui::DatabaseDetailsScreen* details = topDetails();
    ASSERT_NE(details, nullptr);
    EXPECT_EQ(details->keePassServerDetail(), second) << "the registry's own record is edited";
    EXPECT_EQ(details->iServerArrayIndex(), 1);
}

TEST_F(SettingsDatabases, DeletingRemovesTheRecordAndItsFileOnly) {
    const QString account = uniqueUrl(QStringLiteral("a.kdb"));
    addRecord(QStringLiteral("A"), QStringLiteral("a.kdb"), 1, account);
    addRecord(QStringLiteral("Download"), QStringLiteral("download"), 1);
    addRecord(QStringLiteral("B"), QStringLiteral("b.kdbx"), 3);
    writeDocument(QStringLiteral("a.kdb"));
    writeDocument(QStringLiteral("download.kdb"));
    writeDocument(QStringLiteral("b.kdbx"));
    writeDocument(QStringLiteral("other.kdb"));
    storePassword(account, QStringLiteral("kept"));
    vaultora::base::NotificationCenter::defaultCenter().post(
        QString::fromLatin1(vaultora::base::Notifications::databasesChanged));
    const int announced = databasesChangedCount;
    const QByteArray savedRegistry = registryFile();

    vaultora::ui::DatabaseListScreen* list = openDatabaseList();
    ASSERT_NE(list, nullptr);
    list->EditTable();
    list->list()->requestDeletion(1); // the row of "A"
    EXPECT_FALSE(list->list()->isEditing()) << "deleting leaves editing mode";
    EXPECT_EQ(leftButton(*list).title(), QStringLiteral("Edit"));
    EXPECT_EQ(databaseRows(*list), QStringList({"Download", "B"}));
    ASSERT_EQ(delegate->serverArray().size(), 2u);
    EXPECT_EQ(documentNames(), "Vaultora.plist | b.kdbx | download.kdb | other.kdb");
    ASSERT_FALSE(shownPanels.empty());
    EXPECT_EQ(shownPanels.back().title, QStringLiteral("The database file is deleted."));
    EXPECT_EQ(shownPanels.back().style, vaultora::toolkit::TransientPanel::Style::Information);
    EXPECT_TRUE(shownPanels.back().subtitle.isEmpty());
    EXPECT_EQ(storedPassword(account), QStringLiteral("kept"));
    EXPECT_EQ(databasesChangedCount, announced) << "a deletion is not announced";
    EXPECT_EQ(registryFile(), savedRegistry);

    // A name without an extension is stored with one (as downloads store it).
    list->deleteRow(0);
    list->deleteRow(0);
    EXPECT_TRUE(delegate->serverArray().empty());
    EXPECT_EQ(documentNames(), "Vaultora.plist | other.kdb");
    EXPECT_EQ(databaseRows(*list), QStringList());
    list->deleteRow(0);
    EXPECT_TRUE(delegate->serverArray().empty()) << "a row past the end deletes nothing";
}

TEST_F(SettingsDatabases, NamesThatCouldLeaveTheDocumentsRemoveNoFile) {
    // Files beside and above the documents directory, and a folder inside it.
    const QDir rootDirectory(root.path());
    for (const QString& name : {QStringLiteral("victim.kdb"), QStringLiteral("victim")}) {
        QFile file(rootDirectory.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    QDir(documents).mkdir(QStringLiteral("folder.kdb"));
    writeDocument(QStringLiteral("folder.kdb/inner.kdb"));
    // What the names would reach if only their last component were taken, and what an empty
    // name with the default extension would name.
    writeDocument(QStringLiteral("victim.kdb"));
    writeDocument(QStringLiteral("inner.kdb"));
    writeDocument(QStringLiteral(".kdb"));
    QFile::link(rootDirectory.filePath(QStringLiteral("victim.kdb")),
                QDir(documents).filePath(QStringLiteral("link.kdb")));

    const QStringList names{QString(),
                            QStringLiteral(""),
                            QStringLiteral(".."),
                            QStringLiteral("../victim.kdb"),
                            QStringLiteral("../victim"),
                            QStringLiteral("/") + rootDirectory.filePath(QStringLiteral("victim")),
                            QStringLiteral("folder.kdb/inner.kdb"),
                            QStringLiteral("folder.kdb")};
    for (const QString& name : names) {
        addRecord(QStringLiteral("Record"), name, 1);
    }
    addRecord(QStringLiteral("Link"), QStringLiteral("link.kdb"), 1);
    const std::string before = documentNames();

    vaultora::ui::DatabaseListScreen* list = openDatabaseList();
    ASSERT_NE(list, nullptr);
    for (const QString& name : names) {
        list->deleteRow(0);
        EXPECT_EQ(documentNames(), before) << "name " << name.toStdString();
    }
    EXPECT_TRUE(QFileInfo::exists(documents)) << "the documents directory itself stays";
    EXPECT_TRUE(
        QFileInfo::exists(QDir(documents).filePath(QStringLiteral("folder.kdb/inner.kdb"))));
    EXPECT_TRUE(rootDirectory.exists(QStringLiteral("victim.kdb")));
    EXPECT_TRUE(rootDirectory.exists(QStringLiteral("victim")));

    // A link is removed, never what it points to.
    list->deleteRow(0);
    EXPECT_EQ(documentNames().find("link.kdb"), std::string::npos);
    EXPECT_TRUE(rootDirectory.exists(QStringLiteral("victim.kdb")));
    EXPECT_TRUE(delegate->serverArray().empty()) << "the records go whatever their names";
}

} // namespace
