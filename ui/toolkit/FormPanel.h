// A panel that shows a form; the form can be replaced whole, and the panel's title follows it.
#pragma once

#include "ui/toolkit/FormModel.h"
#include "ui/toolkit/Panel.h"

#include <QtQml/qqmlregistration.h>
#include <memory>

namespace vaultora::toolkit {

class FormPanel : public Panel {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Form panels are created by controllers")
    Q_PROPERTY(toolkit::FormModel* form READ form NOTIFY formChanged)
    Q_PROPERTY(bool focusOnShow READ focusOnShow CONSTANT)

public:
    explicit FormPanel(std::unique_ptr<FormModel> form = {}, QObject* parent = nullptr);
    ~FormPanel() override;

    // Replaces the form; the earlier one is released.
    FormModel* setForm(std::unique_ptr<FormModel> form);
    [[nodiscard]] FormModel* form() const { return m_form; }

    // Whether the keyboard focus goes to the form's first keyboard stop when its view opens,
    // unless a row that asks for the focus itself has taken it. Set before the panel is shown.
    [[nodiscard]] bool focusOnShow() const { return m_focusOnShow; }
    void setFocusOnShow(bool focus) { m_focusOnShow = focus; }

    [[nodiscard]] QUrl viewSource() const override;

signals:
    void formChanged();

private:
    FormModel* m_form = nullptr;
    bool m_focusOnShow = false;
};

} // namespace vaultora::toolkit
