#include "ui/DetailsWebServerHost.h"

#include "ui/DatabaseDetailsScreen.h"
#include "ui/toolkit/NavigationContainer.h"

namespace vaultora::ui {

DetailsWebServerHost& DetailsWebServerHost::of(DatabaseDetailsScreen& details) {
    if (auto* existing =
            details.findChild<DetailsWebServerHost*>(QString(), Qt::FindDirectChildrenOnly)) {
        return *existing;
    }
    return *new DetailsWebServerHost(details);
}

DetailsWebServerHost::DetailsWebServerHost(DatabaseDetailsScreen& details)
    : QObject(&details), m_details(details) {}

void DetailsWebServerHost::setDatabaseRecord(const std::shared_ptr<base::DatabaseRecord>& record) {
    m_details.setDatabaseRecord(record);
}

void DetailsWebServerHost::createDialog() {
    m_details.createDialog();
}

void DetailsWebServerHost::showAgain() {
    toolkit::NavigationContainer* container = m_details.navigationContainer();
    if (container == nullptr) {
        return;
    }
    while (container->canGoBack() && container->topPanel() != &m_details) {
        container->popTopPanel(toolkit::Animated::Yes);
    }
}

} // namespace vaultora::ui
