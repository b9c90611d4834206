// Presents panels modally over the whole window, as a centred form sheet or full screen; while
// one is shown the rest of the window takes no input.
#pragma once

#include "ui/toolkit/Animated.h"
#include "ui/toolkit/DeviceIdiom.h"
#include "ui/toolkit/Panel.h"

#include <QAbstractListModel>
#include <QtQml/qqmlregistration.h>
#include <memory>
#include <vector>

namespace vaultora::toolkit {

class ModalPresenter : public QAbstractListModel {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The modal presenter is created by the application")
    Q_PROPERTY(bool presenting READ isPresenting NOTIFY presentingChanged)

public:
    enum class Style { FormSheet, FullScreen };
    Q_ENUM(Style)
    enum Roles { PanelRole = Qt::UserRole + 1, FormSheetRole, AnimatedRole };
    Q_ENUM(Roles)

    explicit ModalPresenter(QObject* parent = nullptr);
    ~ModalPresenter() override;

    // A form sheet on a tablet, full screen on a phone.
    [[nodiscard]] static Style styleForIdiom(DeviceIdiom idiom);

    void presentPanel(std::unique_ptr<Panel> panel, Style style, Animated animated);
    // Dismisses the panel and every panel presented over it; false when it is not presented.
    bool dismissPanel(Panel* panel, Animated animated);

    [[nodiscard]] Panel* presentedPanel() const;
    [[nodiscard]] bool isPresenting() const { return !m_entries.empty(); }

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

signals:
    void presentingChanged();

private:
    struct Entry {
        Panel* panel;
        Style style;
        Animated animated;
    };
    std::vector<Entry> m_entries;
};

} // namespace vaultora::toolkit
