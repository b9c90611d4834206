#include "ui/GroupBrowser.h"

#include "app/ApplicationController.h"
#include "ui/EntryScreen.h"
#include "ui/toolkit/StackController.h"

namespace vaultora::ui {

namespace {

// The synthetic root group of version-1 files, which has no name worth showing.
constexpr char syntheticRootName[] = "$ROOT$";

[[nodiscard]] QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

[[nodiscard]] QString iconName(std::uint32_t image) {
    return QStringLiteral("%1.png").arg(image);
}

[[nodiscard]] toolkit::ListRow entryRow(const kdb::DatabaseEntry& entry) {
    return toolkit::ListRow{iconName(entry._image()), fromUtf8(entry.getEntryName())};
}

} // namespace

GroupBrowser::GroupBrowser(const ScreenServices& services, QObject* parent)
    : DoubleTapDetector(*services.timers, parent), m_services(services),
      m_searchResults(std::make_shared<const SearchResults>()) {
    toolkit::ListPanelModel* model = list();
    model->setSearchFieldVisible(true);
    model->setFocusOnShow(true);
    connect(model, &toolkit::ListPanelModel::searchEditingBegan, this,
            [model] { model->setShowsCancelButton(true); });
    connect(model, &toolkit::ListPanelModel::searchTextEdited, this, [this, model] {
        model->setShowsCancelButton(true);
        reloadData();
    });
    connect(model, &toolkit::ListPanelModel::searchButtonPressed, this, [this, model] {
        model->setShowsCancelButton(false);
        model->dismissKeyboard();
        reloadData();
    });
    connect(model, &toolkit::ListPanelModel::cancelButtonPressed, this, [this, model] {
        model->setSearchText(QString());
        model->dismissKeyboard();
        model->setShowsCancelButton(false);
        reloadData();
    });
    installBarButtons();
    reloadData();
}

GroupBrowser::~GroupBrowser() = default;

void GroupBrowser::setServerDetail(std::shared_ptr<base::DatabaseRecord> record) {
    m_serverDetail = std::move(record);
}

void GroupBrowser::setIsStackedView(bool stacked) {
    m_isStackedView = stacked;
    installBarButtons();
}

void GroupBrowser::setGroup(std::shared_ptr<kdb::DatabaseTree> tree, kdb::DatabaseGroup* group) {
    m_treeDatabase = std::move(tree);
    m_groupDatabase = group;
    // Built when the database is shown rather than at the first keystroke, so that no
    // keystroke waits for it.
    if (!m_treeDatabase) {
        m_searchIndex.reset();
    } else if (!m_searchIndex || m_searchIndex->tree() != m_treeDatabase.get()) {
        m_searchIndex = std::make_shared<const SearchIndex>(m_treeDatabase);
    }
    m_search.useIndex(m_searchIndex);
    const QString name = group != nullptr ? fromUtf8(group->getGroupName()) : QString();
    setTitle(name == QLatin1String(syntheticRootName) ? QString() : name);
    reloadData();
}

void GroupBrowser::setSearchIndex(std::shared_ptr<const SearchIndex> index) {
    m_searchIndex = std::move(index);
    m_search.useIndex(m_searchIndex);
}

void GroupBrowser::installBarButtons() {
    if (m_isStackedView) {
        connect(setLeftBarButton(QStringLiteral("Close"), {}, toolkit::BarButton::Style::Bordered),
                &toolkit::BarButton::pressed, this, &GroupBrowser::closeView);
    } else if (leftBarButton() != nullptr) {
        clearLeftBarButton();
    }
    if (rightBarButton() == nullptr) {
        toolkit::BarButton* fullScreen = setRightBarButton({}, QStringLiteral("fullscreen.png"),
                                                           toolkit::BarButton::Style::Plain);
        connect(fullScreen, &toolkit::BarButton::pressed, this, &GroupBrowser::showFullScreen);
        if (m_services.stack != nullptr) {
            m_services.stack->showFullScreenStateOn(fullScreen);
        }
    }
}

bool GroupBrowser::isSearchActive() const {
    return !list()->searchText().isEmpty();
}

void GroupBrowser::doSearchFilter() {
    m_searchResults = m_search.search(m_groupDatabase, list()->searchText());
}

int GroupBrowser::numberOfRows() const {
    if (isSearchActive()) {
        return 1 + static_cast<int>(m_searchResults->size());
    }
    if (m_groupDatabase == nullptr) {
        return 1;
    }
    return 1 + static_cast<int>(m_groupDatabase->getSubGroups().size() +
                                m_groupDatabase->getEntries().size());
}

void GroupBrowser::reloadData() {
    // Row 0 stands for the place of the search field; the keyboard passes over it.
    toolkit::ListRow spacer;
    spacer.focusable = false;
    if (isSearchActive()) {
        doSearchFilter();
        // The results can be a million entries: their rows are made as the list shows them,
        // from these results, whatever the panel searches next.
        const std::shared_ptr<const SearchResults> results = m_searchResults;
        list()->setRowSource(1 + static_cast<int>(results->size()), [results, spacer](int row) {
            return row == 0 ? spacer : entryRow(*results->at(static_cast<std::size_t>(row - 1)));
        });
        return;
    }
    QList<toolkit::ListRow> rows;
    rows.append(spacer);
    m_searchResults = std::make_shared<const SearchResults>();
    if (m_groupDatabase != nullptr) {
        for (const kdb::DatabaseGroup* subgroup : m_groupDatabase->getSubGroups()) {
            rows.append(toolkit::ListRow{iconName(subgroup->_image()),
                                         fromUtf8(subgroup->getGroupName()), QString(),
                                         toolkit::ListAccessory::DisclosureIndicator});
        }
        for (const kdb::DatabaseEntry* entry : m_groupDatabase->getEntries()) {
            rows.append(entryRow(*entry));
        }
    }
    list()->setRows(rows);
}

void GroupBrowser::onSingleTap(int row) {
    onTableViewTap(row, false);
}

void GroupBrowser::onDoubleTap(int row) {
    onTableViewTap(row, true);
}

void GroupBrowser::onTableViewTap(int row, bool isDouble) {
    if (row < 1) {
        return;
    }
    const auto index = static_cast<std::size_t>(row - 1);
    kdb::DatabaseGroup* group = nullptr;
    kdb::DatabaseEntry* entry = nullptr;
    if (isSearchActive()) {
        if (index < m_searchResults->size()) {
            entry = m_searchResults->at(index);
        }
    } else if (m_groupDatabase != nullptr) {
        const std::vector<kdb::DatabaseGroup*> subgroups = m_groupDatabase->getSubGroups();
        const std::vector<kdb::DatabaseEntry*> entries = m_groupDatabase->getEntries();
        if (index < subgroups.size()) {
            group = subgroups[index];
        } else if (index - subgroups.size() < entries.size()) {
            entry = entries[index - subgroups.size()];
        }
    }

    std::unique_ptr<toolkit::Panel> next;
    if (group != nullptr) {
        next = childPanelFor(group, isDouble);
    } else if (entry != nullptr) {
        auto entryView = std::make_unique<EntryScreen>(m_services);
        entryView->setIsStackedView(isDouble);
        entryView->showKeePassEntry(entry, m_treeDatabase);
        next = std::move(entryView);
    } else {
        return;
    }

    if (isDouble) {
        pushStacked(std::move(next));
    } else if (toolkit::NavigationContainer* container = navigationContainer()) {
        container->pushPanel(std::move(next), toolkit::Animated::Yes);
    }
}

std::unique_ptr<GroupBrowser> GroupBrowser::childPanelFor(kdb::DatabaseGroup* group,
                                                          bool stacked) const {
    auto child = std::make_unique<GroupBrowser>(m_services);
    child->setDatabaseFileName(m_databaseFileName);
    child->setIsStackedView(stacked);
    child->setSearchIndex(m_searchIndex);
    child->setGroup(m_treeDatabase, group);
    return child;
}

void GroupBrowser::pushStacked(std::unique_ptr<toolkit::Panel> panel) {
    if (m_services.stack == nullptr) {
        return;
    }
    // Pushing from this panel replaces whatever was opened from it before, together with
    // everything to the right of that.
    m_services.stack->pushPanel(std::make_unique<toolkit::NavigationContainer>(std::move(panel)),
                                this, toolkit::Animated::Yes);
}

void GroupBrowser::closeView() {
    if (m_services.stack != nullptr) {
        m_services.stack->popTopPanel(toolkit::Animated::Yes);
    }
}

void GroupBrowser::showFullScreen() {
    toolkit::StackController* stack = m_services.stack;
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

double GroupBrowser::stackableMinWidth() const {
    return 100.0;
}

void GroupBrowser::viewDidAppear() {
    if (m_services.stack != nullptr && m_services.delegate != nullptr &&
        m_services.delegate->appSettings().bShowFullScreen()) {
        m_toogleFullScreen = true;
        m_services.stack->doFullScreen();
    }
}

} // namespace vaultora::ui
