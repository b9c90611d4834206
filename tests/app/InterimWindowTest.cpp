#include "FakeKeychainBackend.h"

#include "app/DatabaseNameListModel.h"
#include "app/InterimLaunchParts.h"
#include "app/NotificationCenter.h"
#include "app/Notifications.h"
#include "app/ZTAppDelegate.h"

#include <QAbstractItemModelTester>
#include <QQuickItem>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

std::shared_ptr<KeePassServerDetail> named(const QString& display, const QString& file) {
    auto record = std::make_shared<KeePassServerDetail>();
    record->setServerDisplayName(display);
    record->setDatabaseName(file);
    return record;
}

TEST(DatabaseNameListModel, FollowsTheRegistryOnlyWhenAnnounced) {
    ServerArray servers{named(QStringLiteral("One"), QStringLiteral("1.kdb"))};
    DatabaseNameListModel model(servers);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.data(model.index(0), DatabaseNameListModel::DisplayNameRole).toString(),
              QStringLiteral("One"));
    EXPECT_EQ(model.data(model.index(0), DatabaseNameListModel::DatabaseNameRole).toString(),
              QStringLiteral("1.kdb"));

    servers.push_back(named(QStringLiteral("Two"), QStringLiteral("2.kdbx")));
    EXPECT_EQ(model.rowCount(), 1);
    NotificationCenter::defaultCenter().post(QString::fromLatin1(Notifications::databasesChanged));
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.data(model.index(1), Qt::DisplayRole).toString(), QStringLiteral("Two"));

    servers.clear();
    NotificationCenter::defaultCenter().post(QString::fromLatin1(Notifications::databasesChanged));
    EXPECT_EQ(model.rowCount(), 0);
}

TEST(InterimLaunchParts, ShowsAWindowListingTheRegisteredDatabases) {
    QTemporaryDir documents;
    ScopedFakeKeychain keychain;
    auto owned = std::make_unique<InterimLaunchParts>();
    InterimLaunchParts* parts = owned.get();
    ZTAppDelegate delegate(std::move(owned), documents.path());
    ASSERT_TRUE(delegate.didFinishLaunchingWithOptions());

    // The interim window has no idle watch and no navigation yet.
    EXPECT_EQ(delegate.idlingWindow(), nullptr);
    EXPECT_EQ(delegate.stackController(), nullptr);

    QObject* window = parts->window();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->property("visible").toBool());
    auto* list = window->findChild<QQuickItem*>(QStringLiteral("databaseList"));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->property("count").toInt(), 1);
    EXPECT_EQ(parts->databaseNames()->data(parts->databaseNames()->index(0), Qt::DisplayRole),
              QStringLiteral("Test database"));

    delegate.serverArray().push_back(named(QStringLiteral("Added"), QStringLiteral("a.kdb")));
    NotificationCenter::defaultCenter().post(QString::fromLatin1(Notifications::databasesChanged));
    EXPECT_EQ(list->property("count").toInt(), 2);
}

} // namespace
