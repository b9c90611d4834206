#include "TestSupport.h"

#include "ui/toolkit/ModalPresenter.h"

#include <QAbstractItemModelTester>
#include <QPointer>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace vaultora::toolkit;

TEST(ModalPresenter, PresentsAndDismissesPanelsWithEverythingAboveThem) {
    ModalPresenter presenter;
    QAbstractItemModelTester tester(&presenter,
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy presenting(&presenter, &ModalPresenter::presentingChanged);

    auto login = std::make_unique<Panel>();
    QPointer<Panel> loginPanel = login.get();
    presenter.presentPanel(std::move(login), ModalPresenter::Style::FormSheet, Animated::Yes);
    auto picker = std::make_unique<Panel>();
    QPointer<Panel> pickerPanel = picker.get();
    presenter.presentPanel(std::move(picker), ModalPresenter::Style::FullScreen, Animated::Yes);
    EXPECT_TRUE(presenter.isPresenting());
    EXPECT_EQ(presenter.presentedPanel(), pickerPanel.data());
    EXPECT_TRUE(presenter.data(presenter.index(0), ModalPresenter::FormSheetRole).toBool());
    EXPECT_FALSE(presenter.data(presenter.index(1), ModalPresenter::FormSheetRole).toBool());

    Panel stranger;
    EXPECT_FALSE(presenter.dismissPanel(&stranger, Animated::Yes));
    EXPECT_TRUE(presenter.dismissPanel(loginPanel, Animated::Yes));
    vaultora::toolkit::testing::runDeferredDeletes();
    EXPECT_FALSE(presenter.isPresenting());
    EXPECT_TRUE(loginPanel.isNull());
    EXPECT_TRUE(pickerPanel.isNull());
    EXPECT_EQ(presenting.count(), 2);
}

TEST(ModalPresenter, UsesAFormSheetOnATabletAndTheFullScreenOnAPhone) {
    EXPECT_EQ(ModalPresenter::styleForIdiom(DeviceIdiom::Tablet), ModalPresenter::Style::FormSheet);
    EXPECT_EQ(ModalPresenter::styleForIdiom(DeviceIdiom::Phone), ModalPresenter::Style::FullScreen);
    EXPECT_EQ(idiomForWindowSize(QSizeF(1024, 768)), DeviceIdiom::Tablet);
    EXPECT_EQ(idiomForWindowSize(QSizeF(768, 1024)), DeviceIdiom::Tablet);
    EXPECT_EQ(idiomForWindowSize(QSizeF(414, 896)), DeviceIdiom::Phone);
}
