#include "ui/toolkit/FormPanel.h"

namespace vaultora::toolkit {

FormPanel::FormPanel(std::unique_ptr<FormModel> form, QObject* parent) : Panel(parent) {
    if (form) {
        setForm(std::move(form));
    }
}

FormPanel::~FormPanel() = default;

FormModel* FormPanel::setForm(std::unique_ptr<FormModel> form) {
    if (m_form != nullptr) {
        disconnect(m_form, nullptr, this, nullptr);
        // The form is often rebuilt from a handler of one of its own rows.
        m_form->deleteLater();
    }
    m_form = form.release();
    if (m_form != nullptr) {
        m_form->setParent(this);
        setTitle(m_form->title());
        connect(m_form, &FormModel::titleChanged, this, [this] { setTitle(m_form->title()); });
    }
    emit formChanged();
    return m_form;
}

QUrl FormPanel::viewSource() const {
    return QUrl(QStringLiteral("qrc:/qt/qml/Vaultora/Toolkit/FormPanelView.qml"));
}

} // namespace vaultora::toolkit
