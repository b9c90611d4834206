// A panel that shows a list of rows with an optional search field at its top.
#pragma once

#include "ui/toolkit/ListPanelModel.h"
#include "ui/toolkit/Panel.h"

#include <QtQml/qqmlregistration.h>

namespace vaultora::toolkit {

class ListPanel : public Panel {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("List panels are created by controllers")
    Q_PROPERTY(toolkit::ListPanelModel* list READ list CONSTANT)

public:
    explicit ListPanel(QObject* parent = nullptr);
    ~ListPanel() override;

    [[nodiscard]] ListPanelModel* list() const { return m_list; }
    [[nodiscard]] QUrl viewSource() const override;

protected:
    // A row chosen with the keyboard. Here it counts as a tap; a panel that tells taps apart
    // takes it as the decided choice.
    virtual void activateRow(int section, int row);

private:
    ListPanelModel* m_list;
};

} // namespace vaultora::toolkit
