#include "SettingsScreenFixture.h"

#include "ui/ApplicationDetailsSubScreens.h"
#include "ui/DatabaseDetailsScreen.h"
#include "ui/DatabaseListScreen.h"
#include "ui/DetailsWebServerHost.h"
#include "ui/WebServerScreen.h"
#include "ui/toolkit/NavigationContainer.h"

#include <QAbstractItemModelTester>
#include <QDir>

using namespace vaultora::test::settings;

namespace {

class SettingsDatabaseDetails : public SettingsScreenTest {
protected:
    // Opens the details of registry record `index` from the database list, as a user does.
    vaultora::ui::DatabaseDetailsScreen* openDetails(int index) {
        vaultora::ui::DatabaseListScreen* list = openDatabaseList();
        if (list == nullptr) {
            return nullptr;
        }
        list->tableViewDidSelectRowAtIndexPath(vaultora::ui::DatabaseListScreen::DatabasesSection,
                                               index);
        return topDetails();
    }

    [[nodiscard]] QString lastPanelTitle() const {
        return shownPanels.empty() ? QString() : shownPanels.back().title;
    }
};

TEST_F(SettingsDatabaseDetails, HttpDownloadFormShowsTheRecordAndItsSavedPassword) {
    const QString url = uniqueUrl(QStringLiteral("home.kdbx"));
    addRecord(QStringLiteral("Home"), QStringLiteral("home.kdbx"), 1, url);
    storePassword(url, QStringLiteral("s\u00e9same"));
    vaultora::ui::DatabaseDetailsScreen* details = openDetails(0);
    ASSERT_NE(details, nullptr);
    QAbstractItemModelTester tester(details->form(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);

    EXPECT_EQ(details->title(), QStringLiteral("Database setting"));
    EXPECT_TRUE(details->form()->isGrouped());
    EXPECT_EQ(sectionTitles(*details->form()),
              QStringList({"Sync Type", "HTTP Download settings", "Optional Password",
                           "Optional Key File", ""}));
    EXPECT_EQ(rowLabels(*details->form()),
              QStringList({"Type", "Display Name", "Database URL", "Password", "Key file",
                           "Key file alone (no password)", "HTTP Dowload", "Save"}));
    vaultora::toolkit::FormRow& type = typeChoice(*details);
    EXPECT_EQ(type.choices(), QStringList({"HTTP Download", "Web Server", "Dropbox"}));
    EXPECT_EQ(type.selectedIndex(), 0);
    vaultora::toolkit::FormRow& name = rowLabelled(*details, QStringLiteral("Display Name"));
    EXPECT_EQ(name.text(), QStringLiteral("Home"));
    EXPECT_EQ(name.placeholder(), QStringLiteral("type display name here"));
    EXPECT_EQ(name.key(), QStringLiteral("databaseName"));
    vaultora::toolkit::FormRow& address = rowLabelled(*details, QStringLiteral("Database URL"));
    EXPECT_EQ(address.text(), url);
    EXPECT_EQ(address.placeholder(), QStringLiteral("type URL here"));
    EXPECT_EQ(address.key(), QStringLiteral("databaseUrl"));
    vaultora::toolkit::FormRow& password = rowLabelled(*details, QStringLiteral("Password"));
    EXPECT_TRUE(password.isSecure());
    EXPECT_EQ(password.key(), QStringLiteral("databasePassword"));
    EXPECT_EQ(password.placeholder(), QStringLiteral("optional password - not recomended"));
    EXPECT_EQ(password.text(), QStringLiteral("s\u00e9same")) << "read from the password store";
}

TEST_F(SettingsDatabaseDetails, ChoosingWebServerRebuildsTheFormAndSetsTheTypeBeforeAnySave) {
    auto record = addRecord(QStringLiteral("Home"), QString(), 1, QString());
    vaultora::ui::DatabaseDetailsScreen* details = openDetails(0);
    ASSERT_NE(details, nullptr);
    typeChoice(*details).choose(vaultora::ui::DatabaseDetailsScreen::WebServerPosition);
    EXPECT_EQ(record->syncType(), 3);
    EXPECT_EQ(sectionTitles(*details->form()),
              QStringList({"Sync Type", "HTTP Server settings", "Optional Password",
                           "Optional Key File", ""}));
    EXPECT_EQ(rowLabels(*details->form()),
              QStringList({"Type", "HTTP Server", "Display Name", "Password", "Key file",
                           "Key file alone (no password)", "Save"}));
    EXPECT_EQ(typeChoice(*details).selectedIndex(), 1);
    EXPECT_EQ(databasesChangedCount, 0) << "the change is not announced";

    typeChoice(*details).choose(vaultora::ui::DatabaseDetailsScreen::DropboxPosition);
    EXPECT_EQ(record->syncType(), 4);
    EXPECT_EQ(sectionTitles(*details->form()),
              QStringList(
                  {"Sync Type", "DropBox settings", "Optional Password", "Optional Key File", ""}));
    EXPECT_EQ(rowLabels(*details->form()),
              QStringList({"Type", "File name", "Display Name", "Password", "Key file",
                           "Key file alone (no password)", "Unlink", "Save"}));
    EXPECT_EQ(rowLabelled(*details, QStringLiteral("Password")).placeholder(),
              QStringLiteral("optional password"));

    typeChoice(*details).choose(vaultora::ui::DatabaseDetailsScreen::HttpDownloadPosition);
    EXPECT_EQ(record->syncType(), 1);
    runDeferredDeletes();
    EXPECT_EQ(rowLabels(*details->form()).size(), 8);
}

TEST_F(SettingsDatabaseDetails, DropboxRecordWithoutFileShowsClickHereAndRefusesToSave) {
    auto record = addRecord(QStringLiteral("Cloud"), QString(), 4, QString());
    vaultora::ui::DatabaseDetailsScreen* details = openDetails(0);
    ASSERT_NE(details, nullptr);
    EXPECT_EQ(rowLabelled(*details, QStringLiteral("File name")).text(),
              QStringLiteral("click here"));
    rowLabelled(*details, QStringLiteral("Display Name")).enterText(QStringLiteral("Renamed"));

    press(*details, QStringLiteral("Save"));
    EXPECT_EQ(lastPanelTitle(), QStringLiteral("You must select a DropBox file."));
    EXPECT_EQ(shownPanels.back().style, vaultora::toolkit::TransientPanel::Style::Error);
    EXPECT_TRUE(shownPanels.back().subtitle.isEmpty());
    EXPECT_EQ(record->serverDisplayName(), QStringLiteral("Cloud")) << "the record stays as it was";
    EXPECT_TRUE(subScreens->dropboxDownloads.empty());
    EXPECT_EQ(databasesChangedCount, 0);
    EXPECT_EQ(topDetails(), details) << "the screen stays open";
}

TEST_F(SettingsDatabaseDetails, DropboxFileRowOpensThePickerOnlyWithANetwork) {
    auto record = addRecord(QStringLiteral("Cloud"), QStringLiteral("home.kdb"), 4,
                            QStringLiteral("/Databases/home.kdb"));
    vaultora::ui::DatabaseDetailsScreen* details = openDetails(0);
    ASSERT_NE(details, nullptr);
    EXPECT_EQ(rowLabelled(*details, QStringLiteral("File name")).text(),
              QStringLiteral("home.kdb"));

    sources.reachable = false;
    press(*details, QStringLiteral("File name"));
    EXPECT_EQ(lastPanelTitle(), QStringLiteral("There is no network available!"));
    EXPECT_EQ(shownPanels.back().subtitle, QStringLiteral("No access to DropBox possible."));
    EXPECT_TRUE(subScreens->opened.empty());

    sources.reachable = true;
    press(*details, QStringLiteral("File name"));
    ASSERT_EQ(subScreens->opened.size(), 1u);
    EXPECT_EQ(subScreens->opened[0].screen, QStringLiteral("picker"));
    EXPECT_EQ(subScreens->opened[0].directory, QStringLiteral("/"));
    EXPECT_EQ(subScreens->opened[0].record, record);
    EXPECT_EQ(subScreens->opened[0].rootView, details);
    EXPECT_EQ(topContainer()->viewControllers().size(), 3) << "list, details, picker";

    // The picker hands back a chosen file: the details form shows it after a rebuild.
    record->setDatabaseName(QStringLiteral("work.kdbx"));
    details->createDialog();
    EXPECT_EQ(rowLabelled(*details, QStringLiteral("File name")).text(),
              QStringLiteral("work.kdbx"));

    press(*details, QStringLiteral("Unlink"));
    EXPECT_EQ(subScreens->unlinks, 1);
    EXPECT_EQ(lastPanelTitle(), QStringLiteral("Account Unlinked!"));
    EXPECT_EQ(shownPanels.back().subtitle,
              QStringLiteral("Your dropbox account has been unlinked"));
    EXPECT_EQ(shownPanels.back().style, vaultora::toolkit::TransientPanel::Style::Information);
}

TEST_F(SettingsDatabaseDetails, DropboxSaveStoresTheNameDownloadsAnnouncesAndLeaves) {
    const QString path = uniqueUrl(QStringLiteral("home.kdb"));
    auto record = addRecord(QStringLiteral("home"), QStringLiteral("home.kdb"), 1, path);
    vaultora::ui::DatabaseDetailsScreen* details = openDetails(0);
    ASSERT_NE(details, nullptr);
    typeChoice(*details).choose(vaultora::ui::DatabaseDetailsScreen::DropboxPosition);
    rowLabelled(*details, QStringLiteral("Display Name")).enterText(QStringLiteral("Home"));
    rowLabelled(*details, QStringLiteral("Password")).enterText(QStringLiteral("open"));
    press(*details, QStringLiteral("Save"));

    EXPECT_EQ(record->serverDisplayName(), QStringLiteral("Home"));
    EXPECT_EQ(record->syncType(), 4);
    EXPECT_EQ(storedPassword(path), QStringLiteral("open"));
    EXPECT_EQ(record->savePassword(), 1);
    EXPECT_EQ(record->saveDatabasePassword(), 1);
    ASSERT_EQ(subScreens->dropboxDownloads.size(), 1u);
    EXPECT_EQ(subScreens->dropboxDownloads[0], record);
    EXPECT_EQ(databasesChangedCount, 1);
    EXPECT_TRUE(registryFile().contains("Home"));
    EXPECT_NE(topDetails(), details) << "Save returns to the list";
}

TEST_F(SettingsDatabaseDetails, SavingWithoutPasswordForgetsTheStoredOneAndClearsTheFlags) {
    const QString url = uniqueUrl(QStringLiteral("db.kdbx"));
    auto record = addRecord(QStringLiteral("Db"), QStringLiteral("db.kdbx"), 1, url);
    record->setSavePassword(1);
    record->setSaveDatabasePassword(1);
    storePassword(url, QStringLiteral("old"));
    vaultora::ui::DatabaseDetailsScreen* details = openDetails(0);
    ASSERT_NE(details, nullptr);
    rowLabelled(*details, QStringLiteral("Password")).enterText(QString());
    press(*details, QStringLiteral("Save"));

    EXPECT_FALSE(hasStoredPassword(url));
    EXPECT_EQ(record->savePassword(), 0);
    EXPECT_EQ(record->saveDatabasePassword(), 0);
    EXPECT_EQ(record->syncType(), 1);
    EXPECT_EQ(databasesChangedCount, 1);
}

TEST_F(SettingsDatabaseDetails, HttpSaveKeepsThePasswordUnderTheEnteredAddress) {
    auto record = addRecord(QStringLiteral("New database"), QString(), 1, QString());
    vaultora::ui::DatabaseDetailsScreen* details = openDetails(0);
    ASSERT_NE(details, nullptr);
    const QString url = uniqueUrl(QStringLiteral("db.kdbx"));
    rowLabelled(*details, QStringLiteral("Display Name")).enterText(QStringLiteral("Db"));
    rowLabelled(*details, QStringLiteral("Database URL")).enterText(url);
    rowLabelled(*details, QStringLiteral("Password")).enterText(QStringLiteral("first"));
    press(*details, QStringLiteral("Save"));
    EXPECT_EQ(record->serverDisplayName(), QStringLiteral("Db"));
    EXPECT_EQ(record->serverUrl(), url);
    EXPECT_TRUE(sources.downloads.empty()) << "Save does not download";
    EXPECT_EQ(record->databaseName(), QStringLiteral("db.kdbx"))
        << "the record takes the file name its first download will use";
    EXPECT_EQ(storedPassword(url), QStringLiteral("first"));
    EXPECT_EQ(record->savePassword(), 1);

    // An existing item is replaced.
    auto again = detailsFor(record, 0);
    EXPECT_EQ(rowLabelled(*again, QStringLiteral("Password")).text(), QStringLiteral("first"));
    rowLabelled(*again, QStringLiteral("Password")).enterText(QStringLiteral("second"));
    press(*again, QStringLiteral("Save"));
    EXPECT_EQ(storedPassword(url), QStringLiteral("second"));
}

TEST_F(SettingsDatabaseDetails, HttpSaveNamesOnlyARecordThatHasNoFileYet) {
    // A download address without a name of its own gets ".kdb" where the file is stored, the
    // same way for the record's name and for the download.
    auto fresh = addRecord(QStringLiteral("New database"), QString(), 1, QString());
    vaultora::ui::DatabaseDetailsScreen* details = openDetails(0);
    ASSERT_NE(details, nullptr);
    rowLabelled(*details, QStringLiteral("Database URL"))
        .enterText(QStringLiteral("https://example.org/get/download/"));
    press(*details, QStringLiteral("Save"));
    EXPECT_EQ(fresh->databaseName(), QStringLiteral("download"));
    EXPECT_EQ(delegate->getDocumentBaseDirectoryForFileName(fresh->databaseName()),
              QDir(documents).filePath(QStringLiteral("download.kdb")));

    // A record that has a file keeps it; one without an address stays without a name.
    auto named = addRecord(QStringLiteral("Named"), QStringLiteral("mine.kdbx"), 1, QString());
    auto again = detailsFor(named, 1);
    rowLabelled(*again, QStringLiteral("Database URL"))
        .enterText(QStringLiteral("https://example.org/other.kdbx"));
    press(*again, QStringLiteral("Save"));
    EXPECT_EQ(named->databaseName(), QStringLiteral("mine.kdbx"));
    auto empty = addRecord(QStringLiteral("Empty"), QString(), 1, QString());
    auto blank = detailsFor(empty, 2);
    press(*blank, QStringLiteral("Save"));
    EXPECT_TRUE(empty->databaseName().isEmpty());
}

TEST_F(SettingsDatabaseDetails, PasswordWithoutAnAccountIsNotClaimedAsSaved) {
    auto record = addRecord(QStringLiteral("New database"), QString(), 1, QString());
    auto details = detailsFor(record, 0);
    rowLabelled(*details, QStringLiteral("Password")).enterText(QStringLiteral("nowhere"));
    press(*details, QStringLiteral("Save"));
    EXPECT_EQ(record->savePassword(), 0) << "the store takes no item without an account";
    EXPECT_EQ(record->saveDatabasePassword(), 0);
}

TEST_F(SettingsDatabaseDetails, HttpDowloadNeedsAnAddressThenDownloadsAndStaysOpen) {
    auto record = addRecord(QStringLiteral("New database"), QString(), 1, QString());
    vaultora::ui::DatabaseDetailsScreen* details = openDetails(0);
    ASSERT_NE(details, nullptr);
    press(*details, QStringLiteral("HTTP Dowload"));
    EXPECT_EQ(lastPanelTitle(), QStringLiteral("You must set the database URL"));
    EXPECT_EQ(shownPanels.back().style, vaultora::toolkit::TransientPanel::Style::Error);
    EXPECT_TRUE(sources.downloads.empty());
    EXPECT_EQ(databasesChangedCount, 0);

    const QString url = QStringLiteral("http://127.0.0.1:9/files/db.kdbx");
    rowLabelled(*details, QStringLiteral("Display Name")).enterText(QStringLiteral("Served"));
    rowLabelled(*details, QStringLiteral("Database URL")).enterText(url);
    rowLabelled(*details, QStringLiteral("Password")).enterText(QStringLiteral("untouched"));
    press(*details, QStringLiteral("HTTP Dowload"));
    ASSERT_EQ(sources.downloads.size(), 1u);
    EXPECT_EQ(sources.downloads[0].url, url);
    EXPECT_EQ(sources.downloads[0].fileName, QStringLiteral("db.kdbx"));
    EXPECT_EQ(record->databaseName(), QStringLiteral("db.kdbx"));
    EXPECT_EQ(record->serverDisplayName(), QStringLiteral("Served"));
    EXPECT_EQ(record->serverUrl(), url);
    EXPECT_EQ(record->savePassword(), 0) << "the password is left for Save";
    EXPECT_EQ(databasesChangedCount, 1);
    EXPECT_TRUE(registryFile().contains("db.kdbx"));
    EXPECT_EQ(topDetails(), details) << "the screen stays open";
}

TEST_F(SettingsDatabaseDetails, KeyFileIsChosenFromTheDocumentsAndSavedWithTheRecord) {
    writeDocument(QStringLiteral("MyDb.kdbx"));
    writeDocument(QStringLiteral("other.kdb"));
    writeDocument(QStringLiteral("my.keyx"), "<KeyFile/>");
    writeDocument(QStringLiteral("a.key"), "key");
    writeDocument(QStringLiteral(".hidden"), "x");
    const QString account = uniqueUrl(QStringLiteral("MyDb.kdbx"));
    auto record = addRecord(QStringLiteral("MyDb"), QStringLiteral("MyDb.kdbx"), 3, account);
    vaultora::ui::DatabaseDetailsScreen* details = openDetails(0);
    ASSERT_NE(details, nullptr);

    vaultora::toolkit::FormRow& keyFile = rowLabelled(*details, QStringLiteral("Key file"));
    // Databases, the registry and hidden files are not offered.
    EXPECT_EQ(keyFile.choices(), QStringList({"None", "a.key", "my.keyx"}));
    EXPECT_EQ(keyFile.selectedIndex(), 0);
    keyFile.choose(2);
    rowLabelled(*details, QStringLiteral("Key file alone (no password)")).toggle(true);
    press(*details, QStringLiteral("Save"));
    EXPECT_EQ(record->keyFileName(), QStringLiteral("my.keyx"));
    EXPECT_FALSE(record->usesPassword());
    EXPECT_EQ(databasesChangedCount, 1);

    // Shown again with the choice; "None" forgets it, and the database asks for a password.
    details = openDetails(0);
    ASSERT_NE(details, nullptr);
    vaultora::toolkit::FormRow& again = rowLabelled(*details, QStringLiteral("Key file"));
    EXPECT_EQ(again.selectedIndex(), 2);
    EXPECT_TRUE(rowLabelled(*details, QStringLiteral("Key file alone (no password)")).isOn());
    again.choose(0);
    press(*details, QStringLiteral("Save"));
    EXPECT_TRUE(record->keyFileName().isEmpty());
    EXPECT_TRUE(record->usesPassword());
}

TEST_F(SettingsDatabaseDetails, WebServerNeedsAnUploadedFileAndOpensTheUploadScreen) {
    const QString account = uniqueUrl(QStringLiteral("MyDb.kdbx"));
    auto record = addRecord(QStringLiteral("New database"), QString(), 3, QString());
    vaultora::ui::DatabaseDetailsScreen* details = openDetails(0);
    ASSERT_NE(details, nullptr);
    press(*details, QStringLiteral("Save"));
    EXPECT_EQ(lastPanelTitle(), QStringLiteral("You must first upload a database file"));
    EXPECT_EQ(databasesChangedCount, 0);
    EXPECT_EQ(rowLabelled(*details, QStringLiteral("HTTP Server")).text(),
              QStringLiteral("no file uploaded"));

    press(*details, QStringLiteral("HTTP Server"));
    ASSERT_EQ(subScreens->opened.size(), 1u);
    EXPECT_EQ(subScreens->opened[0].screen, QStringLiteral("upload"));
    EXPECT_EQ(subScreens->opened[0].record, record);
    EXPECT_EQ(subScreens->opened[0].rootView, details);

    // What the upload screen does with a stored upload and its Ok, through the details
    // screen's adapter; then Save.
    vaultora::ui::DetailsWebServerHost& adapter = vaultora::ui::DetailsWebServerHost::of(*details);
    EXPECT_EQ(&vaultora::ui::DetailsWebServerHost::of(*details), &adapter)
        << "one adapter per screen";
    record->setServerDisplayName(QStringLiteral("MyDb"));
    record->setServerUrl(account);
    record->setDatabaseName(QStringLiteral("MyDb.kdbx"));
    adapter.setDatabaseRecord(record);
    adapter.createDialog();
    EXPECT_EQ(topContainer()->viewControllers().size(), 3) << "the upload screen is still shown";
    adapter.showAgain();
    ASSERT_EQ(topDetails(), details);
    EXPECT_EQ(rowLabelled(*details, QStringLiteral("Display Name")).text(), QStringLiteral("MyDb"));
    EXPECT_EQ(rowLabelled(*details, QStringLiteral("HTTP Server")).text(),
              QStringLiteral("MyDb.kdbx"))
        << "the row names the file the upload brought";
    rowLabelled(*details, QStringLiteral("Password")).enterText(QStringLiteral("upload"));
    press(*details, QStringLiteral("Save"));
    EXPECT_EQ(record->syncType(), 3);
    EXPECT_EQ(record->serverDisplayName(), QStringLiteral("MyDb"));
    EXPECT_EQ(storedPassword(account), QStringLiteral("upload"));
    EXPECT_EQ(databasesChangedCount, 1);
}

} // namespace

namespace {

TEST_F(SettingsDatabaseDetails, ApplicationOpensTheWebServerScreenOverTheDocumentsForTheRecord) {
    auto record = addRecord(QStringLiteral("New database"), QString(), 3, QString());
    auto details = detailsFor(record, 0);
    vaultora::ui::ApplicationDetailsSubScreens application(services);
    std::unique_ptr<vaultora::toolkit::Panel> screen =
        application.createUploadScreen(record, *details);
    auto* upload = qobject_cast<vaultora::ui::WebServerScreen*>(screen.get());
    ASSERT_NE(upload, nullptr);
    EXPECT_EQ(upload->keePassServerDetail(), record);
    EXPECT_EQ(upload->rootView(), &vaultora::ui::DetailsWebServerHost::of(*details));
    EXPECT_EQ(upload->title(), QStringLiteral("HTTP Server"));
}

} // namespace
