#include "ui/toolkit/FormModel.h"
#include "ui/toolkit/FormPanel.h"

#include <QAbstractItemModelTester>
#include <QMap>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace vaultora::toolkit;

namespace {

class RecordedValues final : public KeyValueTarget {
public:
    void setValue(const QVariant& value, const QString& key) override { values.insert(key, value); }
    QMap<QString, QVariant> values;
};

std::unique_ptr<FormModel> loginLikeForm() {
    auto form = std::make_unique<FormModel>(QStringLiteral("Login"));
    FormSection* entries = form->addSection();
    entries->addRow(FormRow::textEntry("Password", QString(), "password", "your password",
                                       FormRow::Echo::Secure));
    entries->addRow(FormRow::textEntry("Display Name", "Home", "databaseName", {}));
    entries->addRow(FormRow::decimalEntry("Auto timeout", 5, "autotimeout", 0));
    entries->addRow(FormRow::switchRow("Auto Logout", true, "autologout"));
    entries->addRow(FormRow::choice("Type", {"HTTP Download", "Web Server", "Dropbox"}, 0, "type"));
    FormSection* buttons = form->addSection();
    buttons->addRow(FormRow::button("Login"));
    buttons->addRow(FormRow::label("Version", "1.0 (1)"));
    return form;
}

TEST(FormModel, CopiesEveryKeyedValueIntoTheTarget) {
    auto form = loginLikeForm();
    form->rowForKey("databaseName")->enterText("Work");
    form->rowForKey("autotimeout")->enterNumber(7.9);
    form->rowForKey("autologout")->toggle(false);
    form->rowForKey("type")->choose(2);

    RecordedValues target;
    form->copyValuesInto(target);

    EXPECT_EQ(target.values.keys(),
              (QStringList{"autologout", "autotimeout", "databaseName", "password", "type"}));
    EXPECT_EQ(target.values["databaseName"].toString(), "Work");
    EXPECT_DOUBLE_EQ(target.values["autotimeout"].toDouble(), 7.9);
    EXPECT_FALSE(target.values["autologout"].toBool());
    EXPECT_EQ(target.values["type"].toInt(), 2);
}

TEST(FormModel, TellsAnUntouchedTextEntryFromAnEmptiedOne) {
    auto form = loginLikeForm();
    FormRow* password = form->rowForKey("password");
    RecordedValues untouched;
    form->copyValuesInto(untouched);
    EXPECT_FALSE(untouched.values["password"].isValid());

    password->enterText("secret");
    password->enterText(QString());
    RecordedValues emptied;
    form->copyValuesInto(emptied);
    ASSERT_TRUE(emptied.values["password"].isValid());
    EXPECT_TRUE(emptied.values["password"].toString().isEmpty());
    EXPECT_FALSE(emptied.values["password"].toString().isNull());
}

TEST(FormRow, ReportsUserChangesButNotControllerChanges) {
    auto form = loginLikeForm();
    FormRow* type = form->rowForKey("type");
    FormRow* autoLogout = form->rowForKey("autologout");
    QSignalSpy choices(type, &FormRow::choiceChanged);
    QSignalSpy toggles(autoLogout, &FormRow::toggled);
    QSignalSpy changes(type, &FormRow::changed);

    type->choose(1);
    type->choose(1);
    type->choose(7);
    type->setChoices({"A", "B"}, 0);
    autoLogout->toggle(false);
    autoLogout->setValue(true);

    ASSERT_EQ(choices.count(), 1);
    EXPECT_EQ(choices.first().first().toInt(), 1);
    EXPECT_EQ(toggles.count(), 1);
    EXPECT_EQ(changes.count(), 2);
    EXPECT_EQ(type->text(), "A");
    EXPECT_TRUE(autoLogout->isOn());
}

TEST(FormRow, SelectionReachesTheControllerOnlyWhileEnabledAndLabelsCanChange) {
    auto row = FormRow::navigation("File name", "click here");
    QSignalSpy selections(row.get(), &FormRow::selected);
    row->select();
    row->setEnabled(false);
    row->select();
    EXPECT_EQ(selections.count(), 1);

    row->setValue(QStringLiteral("home.kdb"));
    EXPECT_EQ(row->text(), "home.kdb");
    EXPECT_EQ(FormRow::decimalEntry("Auto timeout", 7.94, "t", 1)->text(), "7.9");
    EXPECT_EQ(FormRow::webLink("Homepage", QUrl("https://example.org/"))->text(),
              "https://example.org/");
}

TEST(FormRow, IgnoresInputMeantForAnotherKindOfRow) {
    auto label = FormRow::label("Username", "alice");
    label->enterText("mallory");
    label->toggle(true);
    label->enterNumber(3);
    EXPECT_EQ(label->text(), "alice");

    auto number = FormRow::decimalEntry("Auto timeout", 5, "t", 0);
    number->enterNumber(std::numeric_limits<double>::quiet_NaN());
    EXPECT_DOUBLE_EQ(number->number(), 5);
}

TEST(FormModel, ModelsStayConsistentWhileRowsAndSectionsChange) {
    auto form = std::make_unique<FormModel>(QStringLiteral("Database setting"));
    QAbstractItemModelTester formTester(form.get(),
                                        QAbstractItemModelTester::FailureReportingMode::Fatal);
    FormSection* section = form->addSection("Sync Type");
    QAbstractItemModelTester sectionTester(section,
                                           QAbstractItemModelTester::FailureReportingMode::Fatal);
    FormRow* first = section->addRow(FormRow::label("A"));
    section->addRow(FormRow::label("B"));
    section->removeRow(first);
    section->setTitle("DropBox settings");

    EXPECT_EQ(section->rowCount(), 1);
    EXPECT_EQ(form->data(form->index(0), FormModel::TitleRole).toString(), "DropBox settings");
    EXPECT_EQ(section->data(section->index(0), FormSection::KindRole).toInt(),
              static_cast<int>(FormRow::Kind::Label));
}

TEST(FormPanel, ReplacesItsFormWholeAndFollowsItsTitle) {
    FormPanel panel(loginLikeForm());
    EXPECT_EQ(panel.title(), "Login");
    QPointer<FormModel> first = panel.form();

    panel.setForm(std::make_unique<FormModel>(QStringLiteral("Entry")));
    EXPECT_EQ(panel.title(), "Entry");
    panel.form()->setTitle("Bank account");
    EXPECT_EQ(panel.title(), "Bank account");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());
}

} // namespace
