#include "ui/toolkit/ListPanel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace vaultora::toolkit;

namespace {

ListRow listRow(const QString& imageName, const QString& title, const QString& subtitle = {},
                ListAccessory accessory = ListAccessory::None, bool centred = false,
                bool deletable = false) {
    return ListRow{imageName, title, subtitle, accessory, centred, deletable};
}

QList<ListSection> menuSections(int databases) {
    QList<ListRow> databaseRows;
    for (int index = 0; index < databases; ++index) {
        databaseRows.append(listRow("44-shoebox", QStringLiteral("Database %1").arg(index), {},
                                    ListAccessory::None, false, true));
    }
    return {
        {"Databases", databaseRows},
        {"Settings", {listRow("33-cabinet.png", "Databases"), listRow("19-gear.png", "Settings")}},
        {{}, {listRow({}, "Ok", {}, ListAccessory::None, true)}}};
}

struct ListFixture : ::testing::Test {
    ListFixture() : tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal) {}
    ListPanelModel model;
    QAbstractItemModelTester tester;
};

TEST_F(ListFixture, ShowsTheHeaderOfAnEmptySectionAndMapsTapsToSectionAndRow) {
    model.setSections(menuSections(0));
    ASSERT_EQ(model.rowCount(), 5);
    EXPECT_TRUE(model.data(model.index(0), ListPanelModel::IsHeaderRole).toBool());
    EXPECT_EQ(model.data(model.index(0), ListPanelModel::TitleRole).toString(), "Databases");
    EXPECT_TRUE(model.data(model.index(1), ListPanelModel::IsHeaderRole).toBool());
    EXPECT_TRUE(model.data(model.index(4), ListPanelModel::CentredRole).toBool());

    QSignalSpy taps(&model, &ListPanelModel::rowTapped);
    model.tap(0);
    model.tap(3);
    model.tap(4);
    model.tap(99);
    ASSERT_EQ(taps.count(), 2);
    EXPECT_EQ(taps.at(0), (QVariantList{1, 1}));
    EXPECT_EQ(taps.at(1), (QVariantList{2, 0}));
}

TEST_F(ListFixture, GivesEachRowItsImageTitleSubtitleAndAccessory) {
    model.setRows({listRow({}, {}),
                   listRow("3.png", "Internet", {}, ListAccessory::DisclosureIndicator),
                   listRow("0.png", "Bank account", "bank.example")});
    ASSERT_EQ(model.rowCount(), 3);
    const QModelIndex group = model.index(1);
    EXPECT_EQ(model.data(group, ListPanelModel::ImageNameRole).toString(), "3.png");
    EXPECT_EQ(model.data(group, ListPanelModel::AccessoryRole).toString(), "disclosure");
    const QModelIndex entry = model.index(2);
    EXPECT_EQ(model.data(entry, ListPanelModel::SubtitleRole).toString(), "bank.example");
    EXPECT_EQ(model.data(entry, ListPanelModel::AccessoryRole).toString(), "");
    EXPECT_EQ(model.row(0, 2).title, "Bank account");
}

TEST_F(ListFixture, OffersDeletionOnlyOfDeletableRowsWhileEditing) {
    model.setSections(menuSections(2));
    QSignalSpy deletions(&model, &ListPanelModel::rowDeletionRequested);
    model.requestDeletion(2);
    model.setEditing(true);
    model.requestDeletion(2);
    model.requestDeletion(7);
    ASSERT_EQ(deletions.count(), 1);
    EXPECT_EQ(deletions.first(), (QVariantList{0, 1}));
}

TEST_F(ListFixture, KeepsTheSelectionOnlyWhileTheRowExists) {
    model.setSections(menuSections(3));
    model.setSelection(0, 2);
    EXPECT_TRUE(model.data(model.index(3), ListPanelModel::SelectedRole).toBool());
    model.setSelection(1, 0);
    EXPECT_FALSE(model.data(model.index(3), ListPanelModel::SelectedRole).toBool());
    EXPECT_TRUE(model.data(model.index(5), ListPanelModel::SelectedRole).toBool());

    model.setSelection(0, 2);
    model.setSections(menuSections(1));
    for (int item = 0; item < model.rowCount(); ++item) {
        EXPECT_FALSE(model.data(model.index(item), ListPanelModel::SelectedRole).toBool());
    }
}

TEST_F(ListFixture, ForwardsSearchFieldEventsAndLetsTheControllerSetItsState) {
    QSignalSpy edits(&model, &ListPanelModel::searchTextEdited);
    QSignalSpy began(&model, &ListPanelModel::searchEditingBegan);
    QSignalSpy cancels(&model, &ListPanelModel::cancelButtonPressed);
    QSignalSpy dismissals(&model, &ListPanelModel::keyboardDismissed);

    model.beginSearchEditing();
    model.editSearchText("BAN");
    model.editSearchText("BAN");
    model.editSearchText("BANK");
    model.pressCancelButton();
    model.setSearchText(QString());
    model.dismissKeyboard();

    EXPECT_EQ(began.count(), 1);
    ASSERT_EQ(edits.count(), 2);
    EXPECT_EQ(edits.last().first().toString(), "BANK");
    EXPECT_EQ(cancels.count(), 1);
    EXPECT_EQ(edits.count(), 2);
    EXPECT_EQ(dismissals.count(), 1);
    EXPECT_TRUE(model.searchText().isEmpty());
}

TEST_F(ListFixture, ArrowKeysPassOverHeadersAndSpacersAndStopAtTheEnds) {
    ListRow spacer;
    spacer.focusable = false;
    model.setSections({{{}, {spacer, listRow({}, "one"), listRow({}, "two")}},
                       {"Section", {listRow({}, "three")}}});
    // Items: spacer, one, two, header, three.
    EXPECT_EQ(model.nextKeyboardItem(-1, 1), 1);
    EXPECT_EQ(model.nextKeyboardItem(-1, -1), 1) << "up from nowhere lands on the first row";
    EXPECT_EQ(model.nextKeyboardItem(0, 0), 1);
    EXPECT_EQ(model.nextKeyboardItem(2, 0), 2);
    EXPECT_EQ(model.nextKeyboardItem(2, 1), 4);
    EXPECT_EQ(model.nextKeyboardItem(4, -1), 2);
    EXPECT_EQ(model.nextKeyboardItem(4, 1), 4);
    EXPECT_EQ(model.nextKeyboardItem(1, -1), 1);
    EXPECT_EQ(model.nextKeyboardItem(99, 1), 4) << "a stale item from an older list";

    QSignalSpy activated(&model, &ListPanelModel::rowActivated);
    QSignalSpy tapped(&model, &ListPanelModel::rowTapped);
    for (const int item : {-1, 0, 3, 5}) {
        model.activate(item);
    }
    EXPECT_TRUE(activated.isEmpty()) << "outside, the spacer and a header choose nothing";
    model.activate(4);
    ASSERT_EQ(activated.count(), 1);
    EXPECT_EQ(activated.at(0), (QVariantList{1, 0}));
    EXPECT_TRUE(tapped.isEmpty());

    model.setSections({{"Only a header", {}}});
    EXPECT_EQ(model.nextKeyboardItem(-1, 1), -1);
    EXPECT_EQ(model.nextKeyboardItem(0, -1), -1);
}

TEST_F(ListFixture, TypingGoesToTheSearchFieldOnlyWhenThereIsOne) {
    QSignalSpy edits(&model, &ListPanelModel::searchTextEdited);
    QSignalSpy focus(&model, &ListPanelModel::searchFocusRequested);
    EXPECT_FALSE(model.typeIntoSearch("a"));
    model.setSearchFieldVisible(true);
    EXPECT_FALSE(model.typeIntoSearch(""));
    EXPECT_FALSE(model.typeIntoSearch("\r"));
    EXPECT_FALSE(model.typeIntoSearch(QStringLiteral("\x1b")));
    EXPECT_TRUE(edits.isEmpty());
    EXPECT_TRUE(model.typeIntoSearch("b"));
    EXPECT_TRUE(model.typeIntoSearch(QStringLiteral("ä")));
    EXPECT_EQ(model.searchText(), QStringLiteral("bä"));
    EXPECT_EQ(edits.count(), 2);
    EXPECT_EQ(edits.at(1).at(0).toString(), QStringLiteral("bä"));
    EXPECT_EQ(focus.count(), 2);
}

TEST(ListPanel, TakesAKeyboardChoiceAsATap) {
    ListPanel panel;
    panel.list()->setRows({listRow({}, "one"), listRow({}, "two")});
    QSignalSpy tapped(panel.list(), &ListPanelModel::rowTapped);
    panel.list()->activate(1);
    ASSERT_EQ(tapped.count(), 1);
    EXPECT_EQ(tapped.at(0), (QVariantList{0, 1}));
}

TEST(ListPanel, HoldsItsListModel) {
    ListPanel panel;
    EXPECT_EQ(panel.list()->parent(), &panel);
    EXPECT_TRUE(panel.viewSource().toString().endsWith("ListPanelView.qml"));
}

} // namespace

TEST_F(ListFixture, ArrowKeysAndReturnReachRowsMadeFromASource) {
    model.setRowSource(1000000, [](int row) {
        ListRow made = listRow({}, QStringLiteral("Result %1").arg(row));
        made.focusable = row != 0;
        return made;
    });
    EXPECT_EQ(model.nextKeyboardItem(-1, 1), 1) << "down from the search field passes row 0";
    EXPECT_EQ(model.nextKeyboardItem(1, -1), 1);
    EXPECT_EQ(model.nextKeyboardItem(999998, 1), 999999);
    EXPECT_EQ(model.nextKeyboardItem(999999, 1), 999999);

    QSignalSpy activated(&model, &ListPanelModel::rowActivated);
    model.activate(0);
    model.activate(1000000);
    EXPECT_TRUE(activated.isEmpty());
    model.activate(1);
    ASSERT_EQ(activated.count(), 1);
    EXPECT_EQ(activated.at(0), (QVariantList{0, 1}));
}

TEST_F(ListFixture, MakesRowsFromASourceOnlyWhenAskedAndBackToPlainRows) {
    int made = 0;
    model.setRowSource(1000000, [&made](int row) {
        ++made;
        return listRow("0.png", QStringLiteral("Entry %1").arg(row), {}, ListAccessory::None, false,
                       row % 2 == 1);
    });
    // A million rows cost only the few that are looked at (here by the model tester).
    EXPECT_LT(made, 50);
    ASSERT_EQ(model.rowCount(), 1000000);
    EXPECT_EQ(model.rowCountInSection(0), 1000000);
    EXPECT_EQ(model.data(model.index(999999), ListPanelModel::TitleRole).toString(),
              "Entry 999999");
    EXPECT_FALSE(model.data(model.index(5), ListPanelModel::IsHeaderRole).toBool());
    EXPECT_EQ(model.row(0, 42).title, "Entry 42");
    EXPECT_EQ(model.row(0, 1000000).title, "");
    EXPECT_LT(made, 100);

    QSignalSpy taps(&model, &ListPanelModel::rowTapped);
    model.tap(123456);
    model.tap(1000000);
    ASSERT_EQ(taps.count(), 1);
    EXPECT_EQ(taps.at(0), (QVariantList{0, 123456}));
    model.setEditing(true);
    QSignalSpy deletions(&model, &ListPanelModel::rowDeletionRequested);
    model.requestDeletion(2);
    model.requestDeletion(3);
    ASSERT_EQ(deletions.count(), 1);
    EXPECT_EQ(deletions.at(0), (QVariantList{0, 3}));

    model.setSelection(0, 999999);
    EXPECT_TRUE(model.data(model.index(999999), ListPanelModel::SelectedRole).toBool());
    // Fewer rows drop a selection past their end.
    model.setRowSource(10, [](int row) { return listRow({}, QString::number(row)); });
    EXPECT_EQ(model.rowCount(), 10);
    EXPECT_FALSE(model.data(model.index(9), ListPanelModel::SelectedRole).toBool());

    model.setRows({listRow({}, "plain")});
    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.row(0, 0).title, "plain");
    model.setRowSource(-5, nullptr);
    EXPECT_EQ(model.rowCount(), 0);
}
