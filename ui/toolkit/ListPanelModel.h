// The rows of a list panel in titled sections, the state of its search field, and the taps and
// edits on both, for a controller that supplies the rows. The accessory reaches QML as the text
// "disclosure", "checkmark" or "". Section headers are items of the model
// so that an empty section still shows its header.
#pragma once

#include "ui/toolkit/ListRow.h"

#include <QAbstractListModel>
#include <QList>
#include <QString>
#include <QtQml/qqmlregistration.h>
#include <functional>
#include <vector>

namespace vaultora::toolkit {

class ListPanelModel : public QAbstractListModel {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("List models are created by list panels")
    Q_PROPERTY(QString searchText READ searchText NOTIFY searchTextChanged)
    Q_PROPERTY(bool searchFieldVisible READ isSearchFieldVisible NOTIFY searchStateChanged)
    Q_PROPERTY(bool showsCancelButton READ showsCancelButton NOTIFY searchStateChanged)
    Q_PROPERTY(bool editing READ isEditing NOTIFY editingChanged)
    Q_PROPERTY(bool focusOnShow READ focusOnShow CONSTANT)

public:
    enum Roles {
        IsHeaderRole = Qt::UserRole + 1,
        SectionRole,
        RowRole,
        ImageNameRole,
        TitleRole,
        SubtitleRole,
        AccessoryRole,
        CentredRole,
        DeletableRole,
        SelectedRole
    };
    Q_ENUM(Roles)

    explicit ListPanelModel(QObject* parent = nullptr);

    void setSections(const QList<ListSection>& sections);
    // One section without a header.
    void setRows(const QList<ListRow>& rows);
    // One section without a header whose count rows are made when they are asked for (by the
    // view, for the rows it shows), so that a list of a million rows costs nothing to set.
    // rowAt gets indexes from 0 to count - 1 and must give the same row for an index until
    // the rows are set again.
    void setRowSource(int count, std::function<ListRow(int)> rowAt);
    [[nodiscard]] int sectionCount() const { return static_cast<int>(m_sections.size()); }
    [[nodiscard]] int rowCountInSection(int section) const;
    [[nodiscard]] ListRow row(int section, int row) const;

    // The highlighted row, or none with section -1.
    void setSelection(int section, int row);
    void clearSelection() { setSelection(-1, -1); }

    [[nodiscard]] QString searchText() const { return m_searchText; }
    // Sets the field's text from the controller; sends no edit signal.
    void setSearchText(const QString& text);
    [[nodiscard]] bool isSearchFieldVisible() const { return m_searchFieldVisible; }
    void setSearchFieldVisible(bool visible);
    [[nodiscard]] bool showsCancelButton() const { return m_showsCancelButton; }
    void setShowsCancelButton(bool shows);
    // Asks the view to take the keyboard focus away from the search field.
    void dismissKeyboard() { emit keyboardDismissed(); }

    [[nodiscard]] bool isEditing() const { return m_editing; }
    void setEditing(bool editing);

    // Whether the view gives the list the keyboard focus when it appears. Set before the panel
    // is shown.
    [[nodiscard]] bool focusOnShow() const { return m_focusOnShow; }
    void setFocusOnShow(bool focus) { m_focusOnShow = focus; }
    // Asks the view to put the keyboard focus into the search field or on the list.
    void requestSearchFocus() { emit searchFocusRequested(); }
    void requestListFocus() { emit listFocusRequested(); }

    // From the view.
    Q_INVOKABLE void tap(int item);
    // Enter on the keyboard's current row: a decided choice of the row, never half of a double
    // tap.
    Q_INVOKABLE void activate(int item);
    // The item the arrow keys reach from `item` going `step` (+1 down, -1 up), passing over
    // headers and rows that are not focusable; from -1 downwards the first such row. Stays on
    // `item` at either end, and gives -1 when the list has no such row. Step 0 keeps a
    // reachable `item` and otherwise goes down.
    [[nodiscard]] Q_INVOKABLE int nextKeyboardItem(int item, int step) const;
    // Text typed while the list has the focus goes to the search field when there is one and
    // the text is printable; returns whether it went there.
    Q_INVOKABLE bool typeIntoSearch(const QString& text);
    Q_INVOKABLE void requestDeletion(int item);
    Q_INVOKABLE void beginSearchEditing() { emit searchEditingBegan(); }
    Q_INVOKABLE void editSearchText(const QString& text);
    Q_INVOKABLE void pressSearchButton() { emit searchButtonPressed(); }
    Q_INVOKABLE void pressCancelButton() { emit cancelButtonPressed(); }

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

signals:
    void rowTapped(int section, int row);
    void rowActivated(int section, int row);
    void rowDeletionRequested(int section, int row);
    void searchEditingBegan();
    void searchTextEdited(const QString& text);
    void searchButtonPressed();
    void cancelButtonPressed();
    void keyboardDismissed();
    void searchFocusRequested();
    void listFocusRequested();
    void searchTextChanged();
    void searchStateChanged();
    void editingChanged();

private:
    struct Item {
        int section;
        int row; // -1 for a section header
    };

    void rebuildItems();
    [[nodiscard]] int itemIndex(int section, int row) const;
    [[nodiscard]] int itemCount() const;
    [[nodiscard]] Item itemAt(int index) const;
    void afterRowsChanged();

    QList<ListSection> m_sections;
    // While set, the one section's rows come from here and m_items stays empty.
    std::function<ListRow(int)> m_rowSource;
    int m_sourceRowCount = 0;
    std::vector<Item> m_items;
    std::vector<int> m_sectionStarts;
    QString m_searchText;
    bool m_searchFieldVisible = false;
    bool m_showsCancelButton = false;
    bool m_editing = false;
    bool m_focusOnShow = false;
    int m_selectedSection = -1;
    int m_selectedRow = -1;
};

} // namespace vaultora::toolkit
