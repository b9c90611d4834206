// Shows transient panels at the top of the window, newest last, and releases each once it has
// hidden; as a list model it gives QML the panels on show.
#pragma once

#include "ui/toolkit/TimerFactory.h"
#include "ui/toolkit/TransientPanel.h"

#include <QAbstractListModel>
#include <QList>
#include <QtQml/qqmlregistration.h>
#include <memory>

namespace vaultora::toolkit {

class TransientPanelHost final : public QAbstractListModel {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The transient panel host is created by the application")

public:
    enum Roles { PanelRole = Qt::UserRole + 1 };
    Q_ENUM(Roles)

    explicit TransientPanelHost(std::shared_ptr<TimerFactory> timers, QObject* parent = nullptr);
    ~TransientPanelHost() override;

    // `hideAfterSeconds` 0 keeps the panel until it is hidden.
    TransientPanel* showInformation(const QString& title, const QString& subtitle,
                                    double hideAfterSeconds);
    TransientPanel* showError(const QString& title, const QString& subtitle,
                              double hideAfterSeconds);
    TransientPanel* show(TransientPanel::Style style, const QString& title, const QString& subtitle,
                         double hideAfterSeconds, TransientPanel::ProgressBar progressBar);

    [[nodiscard]] QList<TransientPanel*> panels() const { return m_panels; }
    void hideAll();

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

private:
    void release(TransientPanel* panel);

    std::shared_ptr<TimerFactory> m_timers;
    QList<TransientPanel*> m_panels;
};

} // namespace vaultora::toolkit
