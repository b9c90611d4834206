#include "ui/EntryScreen.h"

#include "app/ApplicationController.h"
#include "ui/SecretClipboard.h"
#include "ui/toolkit/StackController.h"
#include "ui/toolkit/TransientPanelHost.h"
#include "ui/toolkit/UrlOpener.h"

#include <QDebug>
#include <QUrl>

namespace vaultora::ui {

namespace {

constexpr double copyConfirmationSeconds = 1.5;
constexpr double urlConfirmationSeconds = 1.0;

[[nodiscard]] QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

EntryScreen::EntryScreen(const ScreenServices& services, QObject* parent)
    : toolkit::FormPanel({}, parent), m_services(services) {
    toolkit::BarButton* fullScreen =
        setRightBarButton({}, QStringLiteral("fullscreen.png"), toolkit::BarButton::Style::Plain);
    connect(fullScreen, &toolkit::BarButton::pressed, this, &EntryScreen::showFullScreen);
    if (m_services.stack != nullptr) {
        m_services.stack->showFullScreenStateOn(fullScreen);
    }
}

EntryScreen::~EntryScreen() = default;

void EntryScreen::setIsStackedView(bool stacked) {
    m_isStackedView = stacked;
    // Opened in place of the list that had the keyboard, the entry takes it; opened beside the
    // list, it leaves the list or its search field where the user is.
    setFocusOnShow(!stacked);
    if (stacked) {
        connect(setLeftBarButton(QStringLiteral("Close"), {}, toolkit::BarButton::Style::Bordered),
                &toolkit::BarButton::pressed, this, &EntryScreen::closeView);
    } else if (leftBarButton() != nullptr) {
        clearLeftBarButton();
    }
}

void EntryScreen::showKeePassEntry(kdb::DatabaseEntry* entry,
                                   std::shared_ptr<kdb::DatabaseTree> tree) {
    m_showPassword =
        m_services.delegate != nullptr && m_services.delegate->appSettings().bShowPasswordDefault();
    m_tree = std::move(tree);
    m_entry = entry;
    showEntry();
}

void EntryScreen::showEntry() {
    if (m_entry == nullptr) {
        return;
    }
    const kdb::DatabaseEntry& entry = *m_entry;
    auto form = std::make_unique<toolkit::FormModel>(fromUtf8(entry.getEntryName()),
                                                     toolkit::FormModel::Style::Grouped);

    toolkit::FormSection* fields = form->addSection();
    connect(fields->addRow(
                toolkit::FormRow::label(QStringLiteral("Username"), fromUtf8(entry.getUserName()))),
            &toolkit::FormRow::selected, this, &EntryScreen::copyUserName);
    const QString shownPassword =
        m_showPassword ? fromUtf8(entry.getPassword()) : QString::fromLatin1(passwordMask);
    toolkit::FormRow* passwordRow =
        fields->addRow(toolkit::FormRow::label(QStringLiteral("Password"), shownPassword));
    // A revealed password is read character by character: l, 1 and I must differ.
    passwordRow->setMonospace(m_showPassword);
    connect(passwordRow, &toolkit::FormRow::selected, this, &EntryScreen::copyPassword);
    connect(fields->addRow(
                toolkit::FormRow::switchRow(QStringLiteral("Show password"), m_showPassword)),
            &toolkit::FormRow::toggled, this, &EntryScreen::toggleShowPassword);

    const QString url = fromUtf8(entry.getURL());
    connect(form->addSection(QStringLiteral("URL"))
                ->addRow(toolkit::FormRow::webLink(url, QUrl::fromUserInput(url))),
            &toolkit::FormRow::selected, this, &EntryScreen::openUrl);

    connect(form->addSection(QStringLiteral("Comments"))
                ->addRow(toolkit::FormRow::multilineText(QString(), fromUtf8(entry.getComments()))),
            &toolkit::FormRow::selected, this, [this] {
                copyToClipboard(m_entry->getComments(),
                                QStringLiteral("Comment copied to clipboard"),
                                copyConfirmationSeconds);
            });

    setForm(std::move(form));
}

void EntryScreen::toggleShowPassword() {
    m_showPassword = !m_showPassword;
    showEntry();
}

void EntryScreen::copyToClipboard(std::string_view text, const QString& confirmation,
                                  double seconds) {
    m_services.clipboard->copyText(fromUtf8(text));
    confirmCopy(confirmation, seconds);
}

void EntryScreen::copyUserName() {
    if (m_entry != nullptr) {
        copyToClipboard(m_entry->getUserName(), QStringLiteral("Username copied to clipboard"),
                        copyConfirmationSeconds);
    }
}

void EntryScreen::copyPassword() {
    if (m_entry != nullptr) {
        copyPasswordConfirmedFor(copyConfirmationSeconds);
    }
}

void EntryScreen::copyPasswordConfirmedFor(double confirmationSeconds) {
    const std::int32_t clearAfter =
        m_services.delegate != nullptr ? m_services.delegate->appSettings().iClipboardClearSeconds()
                                       : app::AppSettings().iClipboardClearSeconds();
    m_services.clipboard->copySecret(fromUtf8(m_entry->getPassword()),
                                     std::chrono::seconds(clearAfter));
    confirmCopy(QStringLiteral("Password copied to clipboard"), confirmationSeconds);
}

void EntryScreen::confirmCopy(const QString& confirmation, double seconds) {
    if (m_services.transientPanels != nullptr) {
        m_services.transientPanels->showInformation(confirmation, QString(), seconds);
    }
}

void EntryScreen::openUrl() {
    // The row copies the password, not the address: the page that opens is where it is
    // typed.
    copyPasswordConfirmedFor(urlConfirmationSeconds);
    const QUrl url = QUrl::fromUserInput(fromUtf8(m_entry->getURL()));
    if (m_services.urlOpener == nullptr || !url.isValid() || url.isEmpty()) {
        return;
    }
    if (!m_services.urlOpener->openUrl(url)) {
        qWarning().noquote() << "Could not open the address of the entry in the browser";
    }
}

void EntryScreen::showFullScreen() {
    toolkit::StackController* stack = stackController();
    if (stack == nullptr) {
        return;
    }
    // The button follows the navigation's mode, whichever panel switched it: a press always
    // changes the mode.
    if (stack->isFullScreen()) {
        m_toogleFullScreen = false;
        stack->doNormalScreen();
    } else {
        m_toogleFullScreen = true;
        stack->doFullScreen();
    }
}

void EntryScreen::closeView() {
    if (toolkit::StackController* stack = stackController()) {
        stack->popTopPanel(toolkit::Animated::Yes);
    }
}

double EntryScreen::stackableMinWidth() const {
    return 100.0;
}

void EntryScreen::viewDidAppear() {
    if (m_services.delegate != nullptr && m_services.delegate->appSettings().bShowFullScreen()) {
        if (toolkit::StackController* stack = stackController()) {
            m_toogleFullScreen = true;
            stack->doFullScreen();
        }
    }
}

} // namespace vaultora::ui
