#include "SettingsScreenFixture.h"

#include "base/AppConfiguration.h"
#include "ui/AboutScreen.h"
#include "ui/ApplicationVersion.h"
#include "ui/HelpScreen.h"

using namespace vaultora::test::settings;

namespace {

using AboutHelp = SettingsScreenTest;

TEST_F(AboutHelp, AboutShowsTheHomePageLinkAndTheVersion) {
    auto* about = qobject_cast<vaultora::ui::AboutScreen*>(
        openSettingsRow(vaultora::ui::MainMenu::SettingsScreen::About));
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->title(), QStringLiteral("About Vaultora"));
    ASSERT_EQ(about->form()->sections().size(), 3);
    EXPECT_TRUE(about->form()->sections().at(0)->rows().isEmpty());
    EXPECT_EQ(rowLabels(*about->form()), QStringList({"Homepage", "Version", "Ok"}));
    EXPECT_EQ(rowLabelled(*about, QStringLiteral("Homepage")).kind(),
              vaultora::toolkit::FormRow::Kind::WebLink);
    EXPECT_EQ(rowLabelled(*about, QStringLiteral("Version")).text(),
              vaultora::ui::ApplicationVersion::versionText());

    press(*about, QStringLiteral("Homepage"));
    ASSERT_EQ(urlOpener.opened.size(), 1u);
    EXPECT_EQ(urlOpener.opened[0],
              QUrl(QString::fromLatin1(vaultora::base::AppConfiguration::homePageAddress)));

    press(*about, QStringLiteral("Ok"));
    EXPECT_EQ(stack->count(), 0);
}

TEST_F(AboutHelp, OkClosesAboutEvenWhenAnotherPanelWasOpenedAfterIt) {
    auto* about = qobject_cast<vaultora::ui::AboutScreen*>(
        openSettingsRow(vaultora::ui::MainMenu::SettingsScreen::About));
    ASSERT_NE(about, nullptr);
    auto later = std::make_unique<vaultora::toolkit::Panel>();
    vaultora::toolkit::Panel* opened = later.get();
    stack->pushPanel(std::move(later), nullptr, vaultora::toolkit::Animated::No);
    ASSERT_EQ(stack->count(), 2);

    press(*about, QStringLiteral("Ok"));
    ASSERT_EQ(stack->count(), 1);
    EXPECT_EQ(stack->topPanel(), opened) << "the panel opened after About stays";
}

TEST_F(AboutHelp, HelpLinksToTheSameWebSite) {
    addRecord(QStringLiteral("Open"), QStringLiteral("open.kdb"), 1);
    stack->pushPanel(std::make_unique<vaultora::toolkit::Panel>(), nullptr,
                     vaultora::toolkit::Animated::No);
    auto* help = qobject_cast<vaultora::ui::HelpScreen*>(
        openSettingsRow(vaultora::ui::MainMenu::SettingsScreen::Help));
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(stack->count(), 2) << "the screen is added to the right of open panels";
    EXPECT_EQ(help->title(), QStringLiteral("Vaultora Help"));
    ASSERT_EQ(help->form()->sections().size(), 3);
    EXPECT_EQ(rowLabels(*help->form()), QStringList({"For help see web page", "Ok"}));

    press(*help, QStringLiteral("For help see web page"));
    ASSERT_EQ(urlOpener.opened.size(), 1u);
    EXPECT_EQ(urlOpener.opened[0],
              QUrl(QString::fromLatin1(vaultora::base::AppConfiguration::homePageAddress)));

    press(*help, QStringLiteral("Ok"));
    EXPECT_EQ(stack->count(), 1) << "Ok closes only the help screen";
}

} // namespace
