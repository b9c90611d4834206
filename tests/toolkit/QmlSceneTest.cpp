#include "TestSupport.h"

#include "ui/toolkit/AlertPresenter.h"
#include "ui/toolkit/FormPanel.h"
#include "ui/toolkit/ListPanel.h"
#include "ui/toolkit/ManualTimerFactory.h"
#include "ui/toolkit/ModalPresenter.h"
#include "ui/toolkit/NavigationContainer.h"
#include "ui/toolkit/ProgressOverlay.h"
#include "ui/toolkit/StackController.h"
#include "ui/toolkit/ToolkitQml.h"
#include "ui/toolkit/TransientPanelHost.h"

#include <QImage>
#include <QQmlEngine>
#include <QQmlError>
#include <QQuickImageProvider>
#include <QQuickItem>
#include <QQuickView>
#include <QSignalSpy>
#include <QTcpServer>
#include <gtest/gtest.h>

using namespace vaultora::toolkit;

namespace {

// Stands in for the application's artwork: every name is a small grey square.
class PlainImages final : public QQuickImageProvider {
public:
    PlainImages() : QQuickImageProvider(QQuickImageProvider::Image) {}
    QImage requestImage(const QString&, QSize* size, const QSize&) override {
        QImage image(16, 16, QImage::Format_ARGB32);
        image.fill(Qt::gray);
        *size = image.size();
        return image;
    }
};

std::unique_ptr<FormPanel> everyRowKind() {
    auto form = std::make_unique<FormModel>(QStringLiteral("Every row"));
    FormSection* section = form->addSection("Fields");
    section->setFooter("All kinds of rows");
    section->addRow(FormRow::label("Username", "alice"));
    section->addRow(FormRow::textEntry("Password", QString(), "password", "your password",
                                       FormRow::Echo::Secure));
    section->addRow(FormRow::decimalEntry("Auto timeout", 5, "autotimeout", 0));
    section->addRow(FormRow::switchRow("Show password", false, "show"));
    section->addRow(FormRow::choice("Type", {"HTTP Download", "Web Server", "Dropbox"}, 0, "type"));
    FormSection* more = form->addSection();
    more->addRow(FormRow::webLink("Homepage", QUrl("https://example.org/")));
    more->addRow(FormRow::multilineText("Comments", "first line\nsecond line"));
    more->addRow(FormRow::navigation("File name", "click here", "folder.png"));
    more->addRow(FormRow::button("Save"));
    return std::make_unique<FormPanel>(std::move(form));
}

int countItemsWithText(QQuickItem* item, const QString& text) {
    int found = item->property("text").toString() == text ? 1 : 0;
    for (QQuickItem* child : item->childItems()) {
        found += countItemsWithText(child, text);
    }
    return found;
}

TEST(QmlScene, DrawsEveryComponentWithoutQmlErrors) {
    auto timers = std::make_shared<ManualTimerFactory>();
    auto menu = std::make_unique<ListPanel>();
    menu->list()->setSections({{"Databases", {}}, {"Settings", {ListRow{"19-gear.png", "Help"}}}});
    StackController stack(std::move(menu));
    ModalPresenter modal;
    TransientPanelHost notices(timers);
    ProgressOverlay overlay;
    AlertPresenter alerts;

    auto browser = std::make_unique<ListPanel>();
    browser->setTitle("Database");
    browser->setLeftBarButton("Close", {}, BarButton::Style::Bordered);
    browser->setRightBarButton({}, "fullscreen.png", BarButton::Style::Plain);
    browser->list()->setSearchFieldVisible(true);
    browser->list()->setRows({ListRow{},
                              ListRow{"1.png", "Internet", {}, ListAccessory::DisclosureIndicator},
                              ListRow{"0.png", "Bank account", "bank.example"}});
    auto container = std::make_unique<NavigationContainer>(std::move(browser));
    NavigationContainer* browserContainer = container.get();
    stack.pushPanel(std::move(container), nullptr, Animated::No);
    stack.pushPanel(std::make_unique<NavigationContainer>(everyRowKind()), nullptr, Animated::No);
    stack.collapseStack(1, Animated::No);

    QQuickView view;
    QList<QQmlError> errors;
    QObject::connect(view.engine(), &QQmlEngine::warnings,
                     [&errors](const QList<QQmlError>& warnings) { errors += warnings; });
    registerToolkitQml(*view.engine());
    view.engine()->addImageProvider(QStringLiteral("vaultora"), new PlainImages);
    view.setResizeMode(QQuickView::SizeRootObjectToView);
    view.resize(1024, 768);
    view.setInitialProperties({{"stack", QVariant::fromValue<QObject*>(&stack)},
                               {"modalPresenter", QVariant::fromValue<QObject*>(&modal)},
                               {"transientPanels", QVariant::fromValue<QObject*>(&notices)},
                               {"progressOverlay", QVariant::fromValue<QObject*>(&overlay)},
                               {"alertPresenter", QVariant::fromValue<QObject*>(&alerts)}});
    view.setSource(QUrl(QStringLiteral("qrc:/qt/qml/Vaultora/Toolkit/ToolkitScene.qml")));
    ASSERT_EQ(view.status(), QQuickView::Ready) << view.errors().value(0).toString().toStdString();
    view.show();

    auto* login = new FormModel(QStringLiteral("Login"));
    login->addSection()->addRow(FormRow::button("Login"));
    modal.presentPanel(std::make_unique<NavigationContainer>(
                           std::make_unique<FormPanel>(std::unique_ptr<FormModel>(login))),
                       ModalPresenter::Style::FormSheet, Animated::Yes);
    TransientPanel* download =
        notices.show(TransientPanel::Style::Information, "Downloading Database", {}, 0,
                     TransientPanel::ProgressBar::Shown);
    download->setProgress(0.5, Animated::Yes);
    notices.showError("Password is not correct!", "Error", 2.0);
    overlay.show("DropBox syncing");
    alerts.show("Dropbox", "Link this device?", {"Cancel", "Link"});
    QCoreApplication::processEvents();

    QQuickItem* root = view.rootObject();
    EXPECT_EQ(stack.viewportSize(), QSizeF(1024, 768));
    EXPECT_GE(countItemsWithText(root, "Bank account"), 1);
    EXPECT_GE(countItemsWithText(root, "Homepage"), 1);
    EXPECT_GE(countItemsWithText(root, "Downloading Database"), 1);
    EXPECT_GE(countItemsWithText(root, "DropBox syncing"), 1);
    EXPECT_GE(countItemsWithText(root, "Link this device?"), 1);
    EXPECT_GE(countItemsWithText(root, "Help"), 1);
    EXPECT_GE(countItemsWithText(root, "Login"), 1);

    const int formsShown = countItemsWithText(root, "Homepage");
    browserContainer->pushPanel(everyRowKind(), Animated::Yes);
    QCoreApplication::processEvents();
    EXPECT_GT(countItemsWithText(root, "Homepage"), formsShown);
    EXPECT_GE(countItemsWithText(root, "‹ Database"), 1);

    // Taking everything down again must not leave bindings to released objects.
    alerts.alerts().first()->press(0);
    overlay.hide();
    notices.hideAll();
    modal.dismissPanel(modal.presentedPanel(), Animated::Yes);
    browserContainer->goBack();
    stack.doFullScreen();
    stack.doNormalScreen();
    stack.popTopPanel(Animated::Yes);
    stack.popTopPanel(Animated::Yes);
    vaultora::toolkit::testing::runDeferredDeletes();
    QCoreApplication::processEvents();

    EXPECT_EQ(countItemsWithText(root, "Bank account"), 0);
    for (const QQmlError& error : errors) {
        ADD_FAILURE() << error.toString().toStdString();
    }
}

TEST(QmlScene, ShowsNamesFromFilesAsPlainTextThatFetchesNothing) {
    // Names come from databases, uploads and the registry; markup in them must stay text, or
    // an image tag would make the view fetch from wherever it points.
    QTcpServer watcher;
    ASSERT_TRUE(watcher.listen(QHostAddress::LocalHost));
    const QString markup =
        QStringLiteral("<img src=\"http://127.0.0.1:%1/x.png\">named").arg(watcher.serverPort());
    auto timers = std::make_shared<ManualTimerFactory>();
    auto menu = std::make_unique<ListPanel>();
    menu->list()->setSections({{markup, {ListRow{"44-shoebox", markup}}}});
    StackController stack(std::move(menu));
    ModalPresenter modal;
    TransientPanelHost notices(timers);
    ProgressOverlay overlay;
    AlertPresenter alerts;
    auto browser = std::make_unique<ListPanel>();
    browser->setTitle(markup);
    browser->list()->setRows({ListRow{"1.png", markup, markup}});
    auto drilled = std::make_unique<NavigationContainer>(std::move(browser));
    // The back button carries the name of the group below.
    drilled->pushPanel(std::make_unique<ListPanel>(), Animated::No);
    stack.pushPanel(std::move(drilled), nullptr, Animated::No);
    auto form = std::make_unique<FormModel>(markup);
    FormSection* section = form->addSection(markup);
    section->setFooter(markup);
    section->addRow(FormRow::label(markup, markup));
    section->addRow(FormRow::navigation(markup, markup));
    section->addRow(FormRow::multilineText(markup, markup));
    section->addRow(FormRow::button(markup));
    section->addRow(FormRow::choice(markup, {markup, "None"}, 1));
    stack.pushPanel(
        std::make_unique<NavigationContainer>(std::make_unique<FormPanel>(std::move(form))),
        nullptr, Animated::No);

    QQuickView view;
    registerToolkitQml(*view.engine());
    view.engine()->addImageProvider(QStringLiteral("vaultora"), new PlainImages);
    view.setResizeMode(QQuickView::SizeRootObjectToView);
    view.resize(1280, 900);
    view.setInitialProperties({{"stack", QVariant::fromValue<QObject*>(&stack)},
                               {"modalPresenter", QVariant::fromValue<QObject*>(&modal)},
                               {"transientPanels", QVariant::fromValue<QObject*>(&notices)},
                               {"progressOverlay", QVariant::fromValue<QObject*>(&overlay)},
                               {"alertPresenter", QVariant::fromValue<QObject*>(&alerts)}});
    view.setSource(QUrl(QStringLiteral("qrc:/qt/qml/Vaultora/Toolkit/ToolkitScene.qml")));
    ASSERT_EQ(view.status(), QQuickView::Ready);
    view.show();
    notices.showInformation(markup, markup, 0);
    alerts.show(markup, markup, {"Cancel", "Delete"});

    // The choice's list of items, opened.
    int opened = 0;
    QList<QQuickItem*> items{view.rootObject()};
    for (qsizetype next = 0; next < items.size(); ++next) {
        items += items.at(next)->childItems();
    }
    for (QQuickItem* item : items) {
        if (item->inherits("QQuickComboBox") && item->isVisible()) {
            auto* popup = item->property("popup").value<QObject*>();
            ASSERT_NE(popup, nullptr);
            QMetaObject::invokeMethod(popup, "open");
            opened += popup->property("opened").toBool() || popup->property("visible").toBool();
        }
    }
    EXPECT_EQ(opened, 1);
    QSignalSpy connections(&watcher, &QTcpServer::newConnection);
    EXPECT_FALSE(connections.wait(1500)) << "a name made the view fetch an image";
    EXPECT_GE(countItemsWithText(view.rootObject(), markup), 10) << "the names show as written";
}

} // namespace
