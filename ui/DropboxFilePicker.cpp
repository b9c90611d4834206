#include "ui/DropboxFilePicker.h"

#include "sync/dropbox/DropboxClient.h"
#include "sync/dropbox/DropboxSession.h"
#include "sync/dropbox/DropboxSync.h"
#include "ui/DropboxDirectoryRow.h"
#include "ui/DropboxLoginScreen.h"
#include "ui/DropboxPickerHost.h"
#include "ui/toolkit/NavigationContainer.h"
#include "ui/toolkit/TransientPanelHost.h"

#include <QFileInfo>

namespace vaultora::ui {

using toolkit::FormModel;
using toolkit::FormRow;

DropboxFilePicker::DropboxFilePicker(QString directory, DropboxPickerHost& rootView,
                                     std::shared_ptr<base::DatabaseRecord> record,
                                     DropboxScreenServices services, QObject* parent)
    : toolkit::FormPanel(nullptr, parent), m_currentDropboxDirectory(std::move(directory)),
      m_rootView(&rootView), m_rootPanel(rootView.pickerRootPanel()), m_record(std::move(record)),
      m_services(std::move(services)),
      m_restClient(new sync::DropboxClient(*m_services.session, this)) {
    if (m_services.session->isLinked()) {
        m_restClient->setDelegate(this);
        m_active = true;
        m_restClient->loadMetadata(m_currentDropboxDirectory);
    } else {
        loginDropbox();
    }
    if (m_active)
        createDialog();
}

DropboxFilePicker::~DropboxFilePicker() {
    m_restClient->setDelegate(nullptr);
    DropboxLoginScreen* login = m_loginController.data();
    if (login != nullptr && login->delegate() == this)
        login->setDelegate(nullptr);
}

QString DropboxFilePicker::subdirectoryPath(const QString& directory, const QString& name) {
    if (directory == QLatin1String("/"))
        return QStringLiteral("/%1").arg(name);
    return QStringLiteral("%1/%2").arg(directory, name);
}

void DropboxFilePicker::loginDropbox() {
    if (m_services.session->isLinked() || m_loginController)
        return;
    m_loginController = DropboxLoginScreen::presentFromController(m_services, this);
}

void DropboxFilePicker::createDialog() {
    auto form =
        std::make_unique<FormModel>(QStringLiteral("DropBox setting"), FormModel::Style::Grouped);
    toolkit::FormSection* section = form->addSection();
    for (const QVariant& entry : m_arrayItems) {
        const QVariantMap item = entry.toMap();
        const QString name = item.value(FileNameKey).toString();
        if (item.value(IsDirectoryKey).toBool()) {
            section->addRow(DropboxDirectoryRow::create(name, QString(), QStringLiteral("folder"),
                                                        this,
                                                        [this, name] { openDirectory(name); }));
        } else {
            const QString fullFileName = item.value(FullFileNameKey).toString();
            FormRow* row = section->addRow(FormRow::label(name));
            row->setImageName(QStringLiteral("file"));
            connect(row, &FormRow::selected, this,
                    [this, name, fullFileName] { chooseFile(name, fullFileName); });
        }
    }
    setTitle(form->title());
    setForm(std::move(form));
}

void DropboxFilePicker::openDirectory(const QString& name) {
    toolkit::NavigationContainer* container = navigationContainer();
    if (!container || !m_rootPanel)
        return;
    container->pushPanel(
        std::make_unique<DropboxFilePicker>(subdirectoryPath(m_currentDropboxDirectory, name),
                                            *m_rootView, m_record, m_services),
        toolkit::Animated::Yes);
}

void DropboxFilePicker::chooseFile(const QString& name, const QString& fullFileName) {
    m_record->setDatabaseName(name);
    m_record->setServerUrl(fullFileName);
    m_record->setServerDisplayName(QFileInfo(name).completeBaseName());
    if (!m_rootPanel)
        return;
    m_rootView->setDatabaseRecord(m_record);
    m_rootView->createDialog();
    returnToRootView();
}

void DropboxFilePicker::returnToRootView() {
    toolkit::NavigationContainer* container = navigationContainer();
    if (!container || !m_rootPanel)
        return;
    // Every folder level is a picker of its own; all of them go.
    while (container->topPanel() != m_rootPanel.data() && container->canGoBack())
        container->popTopPanel(toolkit::Animated::Yes);
}

void DropboxFilePicker::loadedMetadata(sync::DropboxClient&,
                                       const sync::DropboxMetadata& metadata) {
    m_arrayItems.clear();
    for (const sync::DropboxMetadata& entry : metadata.contents())
        m_arrayItems.append(QVariantMap{{FileNameKey, entry.filename()},
                                        {IsDirectoryKey, entry.isDirectory()},
                                        {FullFileNameKey, entry.path()}});
    createDialog();
}

void DropboxFilePicker::loadMetadataFailedWithError(sync::DropboxClient&,
                                                    const net::NetworkError& error) {
    if (!m_active)
        return;
    m_services.transientPanels->showError(
        QStringLiteral("Error on DropBox access"),
        QStringLiteral("Error, %1,%2")
            .arg(error.localizedDescription(), sync::DropboxSync::describeUserInfo(error.userInfo)),
        2.5);
}

void DropboxFilePicker::loginControllerDidLogin(DropboxLoginScreen&) {
    m_loginController.clear();
    m_restClient->setDelegate(this);
    m_active = true;
    m_restClient->loadMetadata(m_currentDropboxDirectory);
}

void DropboxFilePicker::loginControllerDidCancel(DropboxLoginScreen&) {
    m_loginController.clear();
    m_active = false;
    m_services.transientPanels->showInformation(QStringLiteral("DropBox login canceled by user."),
                                                QString(), 2.5);
    returnToRootView();
}

} // namespace vaultora::ui
