#include "ui/toolkit/FormRow.h"

#include <cmath>

namespace vaultora::toolkit {

namespace {

// Text that came from the view: an emptied field is the empty text, never an absent one.
QString enteredText(const QString& text) {
    return text.isNull() ? QString(QLatin1String("")) : text;
}

} // namespace

FormRow::FormRow(Kind kind, const QString& label) : m_kind(kind), m_label(label) {}

std::unique_ptr<FormRow> FormRow::label(const QString& label, const QString& value) {
    std::unique_ptr<FormRow> row(new FormRow(Kind::Label, label));
    row->m_value = value;
    return row;
}

std::unique_ptr<FormRow> FormRow::textEntry(const QString& label, const QString& value,
                                            const QString& key, const QString& placeholder,
                                            Echo echo) {
    std::unique_ptr<FormRow> row(new FormRow(Kind::TextEntry, label));
    if (!value.isNull()) {
        row->m_value = value;
    }
    row->m_key = key;
    row->m_placeholder = placeholder;
    row->m_echo = echo;
    return row;
}

std::unique_ptr<FormRow> FormRow::decimalEntry(const QString& label, double value,
                                               const QString& key, int fractionDigits) {
    std::unique_ptr<FormRow> row(new FormRow(Kind::DecimalEntry, label));
    row->m_value = value;
    row->m_key = key;
    row->m_fractionDigits = std::max(fractionDigits, 0);
    return row;
}

std::unique_ptr<FormRow> FormRow::switchRow(const QString& label, bool on, const QString& key) {
    std::unique_ptr<FormRow> row(new FormRow(Kind::Switch, label));
    row->m_value = on;
    row->m_key = key;
    return row;
}

std::unique_ptr<FormRow> FormRow::choice(const QString& label, const QStringList& items,
                                         int selected, const QString& key) {
    std::unique_ptr<FormRow> row(new FormRow(Kind::Choice, label));
    row->m_key = key;
    row->setChoices(items, selected);
    return row;
}

std::unique_ptr<FormRow> FormRow::button(const QString& label) {
    return std::unique_ptr<FormRow>(new FormRow(Kind::Button, label));
}

std::unique_ptr<FormRow> FormRow::webLink(const QString& label, const QUrl& url) {
    std::unique_ptr<FormRow> row(new FormRow(Kind::WebLink, label));
    row->m_url = url;
    return row;
}

std::unique_ptr<FormRow> FormRow::multilineText(const QString& label, const QString& text) {
    std::unique_ptr<FormRow> row(new FormRow(Kind::MultilineText, label));
    row->m_value = text;
    return row;
}

std::unique_ptr<FormRow> FormRow::navigation(const QString& label, const QString& value,
                                             const QString& imageName) {
    std::unique_ptr<FormRow> row(new FormRow(Kind::Navigation, label));
    row->m_value = value;
    row->m_imageName = imageName;
    return row;
}

void FormRow::setLabel(const QString& label) {
    if (m_label != label) {
        m_label = label;
        emit changed();
    }
}

QString FormRow::text() const {
    switch (m_kind) {
    case Kind::DecimalEntry:
        return QString::number(m_value.toDouble(), 'f', m_fractionDigits);
    case Kind::Choice:
        return m_selectedIndex >= 0 && m_selectedIndex < m_choices.size()
                   ? m_choices.at(m_selectedIndex)
                   : QString();
    case Kind::Switch:
    case Kind::Button:
        return {};
    case Kind::WebLink:
        return m_url.toString();
    case Kind::Label:
    case Kind::TextEntry:
    case Kind::MultilineText:
    case Kind::Navigation:
        return m_value.toString();
    }
    return {};
}

void FormRow::setPlaceholder(const QString& placeholder) {
    if (m_placeholder != placeholder) {
        m_placeholder = placeholder;
        emit changed();
    }
}

void FormRow::setUrl(const QUrl& url) {
    if (m_url != url) {
        m_url = url;
        emit changed();
    }
}

void FormRow::setImageName(const QString& imageName) {
    if (m_imageName != imageName) {
        m_imageName = imageName;
        emit changed();
    }
}

void FormRow::setEnabled(bool enabled) {
    if (m_enabled != enabled) {
        m_enabled = enabled;
        emit changed();
    }
}

void FormRow::setMonospace(bool monospace) {
    if (m_monospace != monospace) {
        m_monospace = monospace;
        emit changed();
    }
}

void FormRow::setValue(const QVariant& value) {
    m_value = value;
    if (m_kind == Kind::Choice) {
        m_selectedIndex = value.isValid() ? value.toInt() : -1;
    }
    emit changed();
}

void FormRow::setChoices(const QStringList& items, int selected) {
    m_choices = items;
    m_selectedIndex = selected >= 0 && selected < items.size() ? selected : -1;
    m_value = m_selectedIndex;
    emit changed();
}

void FormRow::enterText(const QString& text) {
    if (m_kind != Kind::TextEntry && m_kind != Kind::MultilineText) {
        return;
    }
    m_value = enteredText(text);
    emit changed();
    emit edited();
}

void FormRow::enterNumber(double number) {
    if (m_kind != Kind::DecimalEntry || !std::isfinite(number)) {
        return;
    }
    m_value = number;
    emit changed();
    emit edited();
}

void FormRow::toggle(bool on) {
    if (m_kind != Kind::Switch || m_value.toBool() == on) {
        return;
    }
    m_value = on;
    emit changed();
    emit edited();
    emit toggled(on);
}

void FormRow::choose(int index) {
    if (m_kind != Kind::Choice || index < 0 || index >= m_choices.size() ||
        index == m_selectedIndex) {
        return;
    }
    m_selectedIndex = index;
    m_value = index;
    emit changed();
    emit edited();
    emit choiceChanged(index);
}

void FormRow::submit() {
    emit submitted();
}

void FormRow::select() {
    if (m_enabled) {
        emit selected();
    }
}

void FormRow::copyValueInto(KeyValueTarget& target) const {
    if (!m_key.isEmpty()) {
        target.setValue(m_value, m_key);
    }
}

} // namespace vaultora::toolkit
