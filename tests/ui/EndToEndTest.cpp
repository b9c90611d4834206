#include "ScreenTestSupport.h"

#include "app/ApplicationController.h"
#include "launch/ScreenLaunchParts.h"
#include "ui/IdleWatchingWindow.h"
#include "ui/toolkit/NavigationContainer.h"
#include "ui/toolkit/StackController.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QQmlEngine>
#include <QQuickItem>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace vaultora::test::screens;

namespace {

void collectVisibleItemsWithText(QQuickItem* item, const QString& text, QList<QQuickItem*>& found) {
    if (!item->isVisible()) {
        return;
    }
    if (item->property("text").toString() == text && item->width() > 0 && item->height() > 0) {
        found.append(item);
    }
    const auto children = item->childItems();
    for (QQuickItem* child : children) {
        collectVisibleItemsWithText(child, text, found);
    }
}

QQuickItem* findVisibleItemWithText(QQuickItem* root, const QString& text) {
    QList<QQuickItem*> found;
    collectVisibleItemsWithText(root, text, found);
    return found.isEmpty() ? nullptr : found.constLast();
}

// Clicks the visible item showing the text (the last one drawn where a section header has the
// same text as a row), through the window like a user: in its middle, or at the given distance
// from the window's left edge where panels cover the rest of it.
void clickText(QQuickWindow& window, const QString& text, int windowX = -1) {
    QQuickItem* item = nullptr;
    for (int attempt = 0; item == nullptr && attempt < 50; ++attempt) {
        item = findVisibleItemWithText(window.contentItem(), text);
        if (item == nullptr) {
            QSignalSpy frame(&window, &QQuickWindow::frameSwapped);
            window.requestUpdate();
            frame.wait(200);
        }
    }
    ASSERT_NE(item, nullptr) << "nothing shows " << text.toStdString();
    QPointF point = item->mapToScene(QPointF(item->width() / 2, item->height() / 2));
    if (windowX >= 0) {
        point.setX(windowX);
    }
    QTest::mouseClick(&window, Qt::LeftButton, Qt::NoModifier, point.toPoint());
}

TEST(EndToEnd, OpensTheSampleDatabaseWithItsSavedPasswordAndCopiesAPassword) {
    QTemporaryDir documents;
    ScopedMemoryKeychain keychain;
    auto owned = std::make_unique<vaultora::launch::ScreenLaunchParts>();
    vaultora::launch::ScreenLaunchParts* parts = owned.get();
    vaultora::app::ApplicationController delegate(std::move(owned), documents.path());
    QList<QQmlError> qmlWarnings;
    ASSERT_TRUE(delegate.didFinishLaunchingWithOptions());
    vaultora::ui::IdleWatchingWindow* window = parts->window();
    ASSERT_NE(window, nullptr);
    QObject::connect(window->engine(), &QQmlEngine::warnings,
                     [&qmlWarnings](const QList<QQmlError>& warnings) { qmlWarnings += warnings; });
    ASSERT_EQ(window->status(), QQuickView::Ready);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    EXPECT_EQ(window->idleTimeInterval(), 300.0);

    vaultora::toolkit::StackController* stack = parts->services().stack;
    QSignalSpy stackChanges(stack, &vaultora::toolkit::StackController::countChanged);
    clickText(*window, QStringLiteral("Test database"));
    // The open may already have finished while the click was being delivered.
    ASSERT_TRUE(!stackChanges.isEmpty() || stackChanges.wait(20000)) << "the database did not open";
    ASSERT_EQ(stack->count(), 1);
    auto* container = qobject_cast<vaultora::toolkit::NavigationContainer*>(stack->topPanel());
    ASSERT_NE(container, nullptr);

    QSignalSpy drillDowns(container, &vaultora::toolkit::NavigationContainer::topChanged);
    clickText(*window, QStringLiteral("Internet"));
    ASSERT_TRUE(drillDowns.count() == 1 || drillDowns.wait(5000));
    EXPECT_EQ(container->topPanel()->title(), QStringLiteral("Internet"));

    clickText(*window, QStringLiteral("Example forum"));
    ASSERT_TRUE(drillDowns.count() == 2 || drillDowns.wait(5000));
    EXPECT_EQ(container->topPanel()->title(), QStringLiteral("Example forum"));

    QGuiApplication::clipboard()->clear();
    clickText(*window, QStringLiteral("Password"));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("correct horse"));
    EXPECT_NE(findVisibleItemWithText(window->contentItem(),
                                      QStringLiteral("Password copied to clipboard")),
              nullptr);
    EXPECT_EQ(findVisibleItemWithText(window->contentItem(), QStringLiteral("correct horse")),
              nullptr)
        << "the password stays masked";

    // The logout row closes the database again; the panel covers all of the menu but the
    // strip with the row icons.
    clickText(*window, QStringLiteral("Logout"), 30);
    EXPECT_EQ(stack->count(), 0);
    for (const QQmlError& warning : qmlWarnings) {
        ADD_FAILURE() << warning.toString().toStdString();
    }
}

} // namespace
