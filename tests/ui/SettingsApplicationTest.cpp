#include "SettingsScreenFixture.h"

#include "ui/ApplicationSettingsScreen.h"
#include "ui/ApplicationVersion.h"
#include "ui/DatabaseListScreen.h"
#include "ui/toolkit/StackController.h"

#include <QAbstractItemModelTester>
#include <QProcess>
#include <QRegularExpression>

#include <limits>

using namespace vaultora::test::settings;

namespace {

class SettingsApplication : public SettingsScreenTest {
protected:
    vaultora::ui::ApplicationSettingsScreen* openSettings() {
        return qobject_cast<vaultora::ui::ApplicationSettingsScreen*>(
            openSettingsRow(vaultora::ui::MainMenu::SettingsScreen::ApplicationSettings));
    }
};

TEST_F(SettingsApplication, ShowsTheSettingsInFiveSections) {
    vaultora::app::AppSettings& settings = delegate->appSettings();
    settings.setBAutoLogout(false);
    settings.setIAutoLogoutTimer(12);
    settings.setBShowFullScreen(true);
    settings.setBShowPasswordDefault(false);
    vaultora::ui::ApplicationSettingsScreen* screen = openSettings();
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(stack->firstVisiblePosition(), 0) << "the screen fits beside the menu";
    QAbstractItemModelTester tester(screen->form(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);

    EXPECT_EQ(screen->title(), QStringLiteral("App Settings"));
    ASSERT_EQ(screen->form()->sections().size(), 5);
    EXPECT_EQ(rowLabels(*screen->form()),
              QStringList({"Auto Logout", "Auto timeout", "Show Fullscreen", "Show Password",
                           "Clear clipboard (s)", "Version", "Save settings"}));
    EXPECT_EQ(rowLabelled(*screen, QStringLiteral("Clear clipboard (s)")).number(), 30.0);
    EXPECT_FALSE(rowLabelled(*screen, QStringLiteral("Auto Logout")).isOn());
    vaultora::toolkit::FormRow& timeout = rowLabelled(*screen, QStringLiteral("Auto timeout"));
    EXPECT_EQ(timeout.kind(), vaultora::toolkit::FormRow::Kind::DecimalEntry);
    EXPECT_EQ(timeout.key(), QStringLiteral("autotimeout"));
    EXPECT_EQ(timeout.fractionDigits(), 0);
    EXPECT_EQ(timeout.number(), 12.0);
    EXPECT_TRUE(rowLabelled(*screen, QStringLiteral("Show Fullscreen")).isOn());
    EXPECT_FALSE(rowLabelled(*screen, QStringLiteral("Show Password")).isOn());
    EXPECT_EQ(rowLabelled(*screen, QStringLiteral("Version")).text(),
              vaultora::ui::ApplicationVersion::versionText());
}

TEST_F(SettingsApplication, SaveAndTheDatabaseListsOkCloseTheirOwnScreenNotTheOneOnTop) {
    vaultora::ui::ApplicationSettingsScreen* settings = openSettings();
    ASSERT_NE(settings, nullptr);
    vaultora::toolkit::Panel* settingsPanel = stack->topPanel();
    vaultora::ui::DatabaseListScreen* list = openDatabaseList();
    ASSERT_NE(list, nullptr);
    vaultora::toolkit::Panel* listPanel = stack->topPanel();
    ASSERT_EQ(stack->viewControllers(),
              QList<vaultora::toolkit::Panel*>({settingsPanel, listPanel}));

    press(*settings, QStringLiteral("Save settings"));
    EXPECT_EQ(stack->viewControllers(), QList<vaultora::toolkit::Panel*>({listPanel}));
    runDeferredDeletes();

    settings = openSettings();
    ASSERT_NE(settings, nullptr);
    settingsPanel = stack->topPanel();
    list->tableViewDidSelectRowAtIndexPath(vaultora::ui::DatabaseListScreen::OkSection, 0);
    EXPECT_EQ(stack->viewControllers(), QList<vaultora::toolkit::Panel*>({settingsPanel}));
}

TEST_F(SettingsApplication, SaveTruncatesTheIdleTimeAnnouncesAndRearmsTheIdleWatch) {
    vaultora::ui::ApplicationSettingsScreen* screen = openSettings();
    ASSERT_NE(screen, nullptr);
    rowLabelled(*screen, QStringLiteral("Auto timeout")).enterNumber(7.9);
    rowLabelled(*screen, QStringLiteral("Auto Logout")).toggle(false);
    rowLabelled(*screen, QStringLiteral("Show Fullscreen")).toggle(true);
    rowLabelled(*screen, QStringLiteral("Show Password")).toggle(true);
    rowLabelled(*screen, QStringLiteral("Clear clipboard (s)")).enterNumber(45.5);
    EXPECT_EQ(delegate->appSettings().iAutoLogoutTimer(), 5) << "nothing changes before Save";

    press(*screen, QStringLiteral("Save settings"));
    const vaultora::app::AppSettings& settings = delegate->appSettings();
    EXPECT_EQ(settings.iAutoLogoutTimer(), 7);
    EXPECT_FALSE(settings.bAutoLogout());
    EXPECT_TRUE(settings.bShowFullScreen());
    EXPECT_TRUE(settings.bShowPasswordDefault());
    EXPECT_EQ(settings.iClipboardClearSeconds(), 45);
    EXPECT_TRUE(registryFile().contains("<key>ClipboardClearSeconds</key>"));
    EXPECT_TRUE(registryFile().contains("<integer>45</integer>"));
    EXPECT_EQ(settingsChangedCount, 1);
    EXPECT_EQ(idleWatch.timerValues, std::vector<double>({420.0}));
    EXPECT_TRUE(registryFile().contains("<integer>7</integer>"));
    EXPECT_EQ(stack->count(), 0) << "Save closes the screen";
}

TEST_F(SettingsApplication, LeavingWithoutSaveChangesNothing) {
    vaultora::ui::ApplicationSettingsScreen* screen = openSettings();
    ASSERT_NE(screen, nullptr);
    rowLabelled(*screen, QStringLiteral("Auto timeout")).enterNumber(1);
    rowLabelled(*screen, QStringLiteral("Show Password")).toggle(true);
    stack->popTopPanel(vaultora::toolkit::Animated::No);
    runDeferredDeletes();
    EXPECT_EQ(delegate->appSettings().iAutoLogoutTimer(), 5);
    EXPECT_FALSE(delegate->appSettings().bShowPasswordDefault());
    EXPECT_EQ(settingsChangedCount, 0);
    EXPECT_TRUE(idleWatch.timerValues.empty());
}

TEST(SettingsIdleMinutes, DropTheFractionTowardZeroWithinTheSettingsRange) {
    EXPECT_EQ(vaultora::ui::ApplicationSettingsScreen::wholeNumber(7.9), 7);
    EXPECT_EQ(vaultora::ui::ApplicationSettingsScreen::wholeNumber(0.99), 0);
    EXPECT_EQ(vaultora::ui::ApplicationSettingsScreen::wholeNumber(-2.5), -2);
    EXPECT_EQ(vaultora::ui::ApplicationSettingsScreen::wholeNumber(1e12),
              std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(vaultora::ui::ApplicationSettingsScreen::wholeNumber(-1e12),
              std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(vaultora::ui::ApplicationSettingsScreen::wholeNumber(
                  std::numeric_limits<double>::quiet_NaN()),
              0);
    EXPECT_EQ(vaultora::ui::ApplicationSettingsScreen::wholeNumber(
                  std::numeric_limits<double>::infinity()),
              std::numeric_limits<std::int32_t>::max());
}

TEST(ApplicationVersionText, IsTheProjectVersionAndACommitOfThisRepository) {
    const QRegularExpression pattern(QStringLiteral("^(\\d+\\.\\d+\\.\\d+) \\(([0-9a-f]{7,})\\)$"));
    const QRegularExpressionMatch match =
        pattern.match(vaultora::ui::ApplicationVersion::versionText());
    ASSERT_TRUE(match.hasMatch()) << vaultora::ui::ApplicationVersion::versionText().toStdString();
    EXPECT_EQ(match.captured(1), vaultora::ui::ApplicationVersion::shortVersion());
    EXPECT_EQ(match.captured(2), vaultora::ui::ApplicationVersion::buildVersion());

    QProcess git;
    git.start(QStringLiteral("git"),
              {QStringLiteral("-C"), QStringLiteral(VAULTORA_SOURCE_DIR),
               QStringLiteral("cat-file"), QStringLiteral("-t"), match.captured(2)});
    ASSERT_TRUE(git.waitForFinished(60000));
    EXPECT_EQ(git.readAllStandardOutput().trimmed(), QByteArray("commit"));
}

} // namespace
