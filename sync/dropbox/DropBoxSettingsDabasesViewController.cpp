#include "sync/dropbox/DropBoxSettingsDabasesViewController.h"

#include "sync/DBLoginController.h"
#include "sync/DBRestClient.h"
#include "sync/DBSession.h"
#include "sync/QDirectoryElement.h"
#include "sync/dropbox/DropBoxPickerRoot.h"
#include "sync/dropbox/ZTDropBoxSync.h"
#include "ui/toolkit/NavigationContainer.h"
#include "ui/toolkit/TransientPanelHost.h"

#include <QFileInfo>

namespace vaultora::sync {

using toolkit::FormModel;
using toolkit::FormRow;

DropBoxSettingsDabasesViewController::DropBoxSettingsDabasesViewController(
    QString directory, DropBoxPickerRoot& rootView, std::shared_ptr<KeePassServerDetail> record,
    DBScreenServices services, QObject* parent)
    : toolkit::FormPanel(nullptr, parent), m_currentDropBoxDirectory(std::move(directory)),
      m_rootView(&rootView), m_rootPanel(rootView.pickerRootPanel()), m_record(std::move(record)),
      m_services(std::move(services)), m_restClient(new DBRestClient(*m_services.session, this)) {
    if (m_services.session->isLinked()) {
        m_restClient->setDelegate(this);
        m_active = true;
        m_restClient->loadMetadata(m_currentDropBoxDirectory);
    } else {
        loginDropBox();
    }
    if (m_active)
        createDialog();
}

DropBoxSettingsDabasesViewController::~DropBoxSettingsDabasesViewController() {
    m_restClient->setDelegate(nullptr);
    DBLoginController* login = m_loginController.data();
    if (login != nullptr && login->delegate() == this)
        login->setDelegate(nullptr);
}

QString DropBoxSettingsDabasesViewController::subdirectoryPath(const QString& directory,
                                                               const QString& name) {
    if (directory == QLatin1String("/"))
        return QStringLiteral("/%1").arg(name);
    return QStringLiteral("%1/%2").arg(directory, name);
}

void DropBoxSettingsDabasesViewController::loginDropBox() {
    if (m_services.session->isLinked() || m_loginController)
        return;
    m_loginController = DBLoginController::presentFromController(m_services, this);
}

void DropBoxSettingsDabasesViewController::createDialog() {
    auto form =
        std::make_unique<FormModel>(QStringLiteral("DropBox setting"), FormModel::Style::Grouped);
    toolkit::FormSection* section = form->addSection();
    for (const QVariant& entry : m_arrayItems) {
        const QVariantMap item = entry.toMap();
        const QString name = item.value(FileNameKey).toString();
        if (item.value(IsDirectoryKey).toBool()) {
            section->addRow(QDirectoryElement::create(name, QString(), QStringLiteral("folder"),
                                                      this, [this, name] { openDirectory(name); }));
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

void DropBoxSettingsDabasesViewController::openDirectory(const QString& name) {
    toolkit::NavigationContainer* container = navigationContainer();
    if (!container || !m_rootPanel)
        return;
    container->pushViewController(
        std::make_unique<DropBoxSettingsDabasesViewController>(
            subdirectoryPath(m_currentDropBoxDirectory, name), *m_rootView, m_record, m_services),
        toolkit::Animated::Yes);
}

void DropBoxSettingsDabasesViewController::chooseFile(const QString& name,
                                                      const QString& fullFileName) {
    m_record->setDatabaseName(name);
    m_record->setServerUrl(fullFileName);
    m_record->setServerDisplayName(QFileInfo(name).completeBaseName());
    if (!m_rootPanel)
        return;
    m_rootView->setKeePassServerDetail(m_record);
    m_rootView->createDialog();
    returnToRootView();
}

void DropBoxSettingsDabasesViewController::returnToRootView() {
    toolkit::NavigationContainer* container = navigationContainer();
    if (!container || !m_rootPanel)
        return;
    // Every folder level is a picker of its own; all of them go.
    while (container->topViewController() != m_rootPanel.data() && container->canGoBack())
        container->popViewControllerAnimated(toolkit::Animated::Yes);
}

void DropBoxSettingsDabasesViewController::loadedMetadata(DBRestClient&,
                                                          const DBMetadata& metadata) {
    m_arrayItems.clear();
    for (const DBMetadata& entry : metadata.contents())
        m_arrayItems.append(QVariantMap{{FileNameKey, entry.filename()},
                                        {IsDirectoryKey, entry.isDirectory()},
                                        {FullFileNameKey, entry.path()}});
    createDialog();
}

void DropBoxSettingsDabasesViewController::loadMetadataFailedWithError(DBRestClient&,
                                                                       const NetworkError& error) {
    if (!m_active)
        return;
    m_services.transientPanels->showError(
        QStringLiteral("Error on DropBox access"),
        QStringLiteral("Error, %1,%2")
            .arg(error.localizedDescription(), ZTDropBoxSync::describeUserInfo(error.userInfo)),
        2.5);
}

void DropBoxSettingsDabasesViewController::loginControllerDidLogin(DBLoginController&) {
    m_loginController.clear();
    m_restClient->setDelegate(this);
    m_active = true;
    m_restClient->loadMetadata(m_currentDropBoxDirectory);
}

void DropBoxSettingsDabasesViewController::loginControllerDidCancel(DBLoginController&) {
    m_loginController.clear();
    m_active = false;
    m_services.transientPanels->showInformation(QStringLiteral("DropBox login canceled by user."),
                                                QString(), 2.5);
    returnToRootView();
}

} // namespace vaultora::sync
