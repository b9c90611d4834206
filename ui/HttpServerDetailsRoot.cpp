#include "ui/HttpServerDetailsRoot.h"

#include "ui/SettingsDatabaseDetailsViewController.h"
#include "ui/toolkit/NavigationContainer.h"

HttpServerDetailsRoot& HttpServerDetailsRoot::of(SettingsDatabaseDetailsViewController& details) {
    if (auto* existing =
            details.findChild<HttpServerDetailsRoot*>(QString(), Qt::FindDirectChildrenOnly)) {
        return *existing;
    }
    return *new HttpServerDetailsRoot(details);
}

HttpServerDetailsRoot::HttpServerDetailsRoot(SettingsDatabaseDetailsViewController& details)
    : QObject(&details), m_details(details) {}

void HttpServerDetailsRoot::setKeePassServerDetail(
    const std::shared_ptr<KeePassServerDetail>& record) {
    m_details.setKeePassServerDetail(record);
}

void HttpServerDetailsRoot::createDialog() {
    m_details.createDialog();
}

void HttpServerDetailsRoot::showAgain() {
    toolkit::NavigationContainer* container = m_details.navigationContainer();
    if (container == nullptr) {
        return;
    }
    while (container->canGoBack() && container->topViewController() != &m_details) {
        container->popViewControllerAnimated(toolkit::Animated::Yes);
    }
}
