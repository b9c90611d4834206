// One labelled row of a form: its kind, label, value and entry options. Rows can be changed
// after creation and tell their controller when they are selected or edited.
#pragma once

#include "ui/toolkit/KeyValueTarget.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariant>
#include <QtQml/qqmlregistration.h>
#include <memory>

namespace vaultora::toolkit {

class FormRow final : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Form rows are created by controllers")
    Q_PROPERTY(Kind kind READ kind CONSTANT)
    Q_PROPERTY(QString key READ key CONSTANT)
    Q_PROPERTY(QString label READ label WRITE setLabel NOTIFY changed)
    Q_PROPERTY(QVariant value READ value NOTIFY changed)
    Q_PROPERTY(QString text READ text NOTIFY changed)
    Q_PROPERTY(QString placeholder READ placeholder WRITE setPlaceholder NOTIFY changed)
    Q_PROPERTY(bool secure READ isSecure CONSTANT)
    Q_PROPERTY(int fractionDigits READ fractionDigits CONSTANT)
    Q_PROPERTY(QStringList choices READ choices NOTIFY changed)
    Q_PROPERTY(int selectedIndex READ selectedIndex NOTIFY changed)
    Q_PROPERTY(QUrl url READ url WRITE setUrl NOTIFY changed)
    Q_PROPERTY(QString imageName READ imageName WRITE setImageName NOTIFY changed)
    Q_PROPERTY(bool enabled READ isEnabled WRITE setEnabled NOTIFY changed)
    Q_PROPERTY(bool focusOnShow READ focusOnShow CONSTANT)
    // The value is shown in a fixed-width font, where every character must be told apart.
    Q_PROPERTY(bool monospace READ isMonospace WRITE setMonospace NOTIFY changed)

public:
    enum class Kind {
        Label,
        TextEntry,
        DecimalEntry,
        Switch,
        Choice,
        Button,
        WebLink,
        MultilineText,
        Navigation
    };
    Q_ENUM(Kind)

    enum class Echo { Normal, Secure };

    // A read-only label with a value at its right.
    [[nodiscard]] static std::unique_ptr<FormRow> label(const QString& label,
                                                        const QString& value = {});
    // A text entry; a null `value` leaves it without value until something is typed.
    [[nodiscard]] static std::unique_ptr<FormRow>
    textEntry(const QString& label, const QString& value, const QString& key,
              const QString& placeholder, Echo echo = Echo::Normal);
    // A number entry showing `fractionDigits` decimals (0: whole numbers).
    [[nodiscard]] static std::unique_ptr<FormRow>
    decimalEntry(const QString& label, double value, const QString& key, int fractionDigits);
    [[nodiscard]] static std::unique_ptr<FormRow> switchRow(const QString& label, bool on,
                                                            const QString& key = {});
    // A choice among `items`; -1 selects none.
    [[nodiscard]] static std::unique_ptr<FormRow>
    choice(const QString& label, const QStringList& items, int selected, const QString& key = {});
    [[nodiscard]] static std::unique_ptr<FormRow> button(const QString& label);
    [[nodiscard]] static std::unique_ptr<FormRow> webLink(const QString& label, const QUrl& url);
    [[nodiscard]] static std::unique_ptr<FormRow> multilineText(const QString& label,
                                                                const QString& text);
    // A row that leads somewhere: a value at its right, an optional image, a disclosure arrow.
    [[nodiscard]] static std::unique_ptr<FormRow>
    navigation(const QString& label, const QString& value, const QString& imageName = {});

    [[nodiscard]] Kind kind() const { return m_kind; }
    [[nodiscard]] QString key() const { return m_key; }
    [[nodiscard]] QString label() const { return m_label; }
    void setLabel(const QString& label);
    [[nodiscard]] QVariant value() const { return m_value; }
    // The value as text (a number with its decimals, a switch as empty text).
    [[nodiscard]] QString text() const;
    [[nodiscard]] QString placeholder() const { return m_placeholder; }
    void setPlaceholder(const QString& placeholder);
    [[nodiscard]] bool isSecure() const { return m_echo == Echo::Secure; }
    [[nodiscard]] int fractionDigits() const { return m_fractionDigits; }
    [[nodiscard]] QStringList choices() const { return m_choices; }
    [[nodiscard]] int selectedIndex() const { return m_selectedIndex; }
    [[nodiscard]] QUrl url() const { return m_url; }
    void setUrl(const QUrl& url);
    [[nodiscard]] QString imageName() const { return m_imageName; }
    void setImageName(const QString& imageName);
    [[nodiscard]] bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    // Whether the view gives the row's entry the keyboard focus when the form appears. Set
    // before the form is shown.
    [[nodiscard]] bool focusOnShow() const { return m_focusOnShow; }
    void setFocusOnShow(bool focus) { m_focusOnShow = focus; }
    [[nodiscard]] bool isMonospace() const { return m_monospace; }
    void setMonospace(bool monospace);
    [[nodiscard]] bool isOn() const { return m_value.toBool(); }
    [[nodiscard]] double number() const { return m_value.toDouble(); }

    // Changes by the controller: no edit signal is sent.
    void setValue(const QVariant& value);
    void setChoices(const QStringList& items, int selected);

    // Changes by the user, from the view: each sends `edited`, a switch also `toggled`, a choice
    // also `choiceChanged`.
    Q_INVOKABLE void enterText(const QString& text);
    Q_INVOKABLE void enterNumber(double number);
    Q_INVOKABLE void toggle(bool on);
    Q_INVOKABLE void choose(int index);
    // A tap on the row (or a press of the button).
    Q_INVOKABLE void select();
    // Return pressed in the row's entry.
    Q_INVOKABLE void submit();

    // Rows with a key copy their value; rows without one copy nothing.
    void copyValueInto(KeyValueTarget& target) const;

signals:
    void changed();
    void edited();
    void toggled(bool on);
    void choiceChanged(int index);
    void selected();
    void submitted();

private:
    FormRow(Kind kind, const QString& label);

    Kind m_kind;
    QString m_label;
    QString m_key;
    QVariant m_value;
    QString m_placeholder;
    Echo m_echo = Echo::Normal;
    int m_fractionDigits = 0;
    QStringList m_choices;
    int m_selectedIndex = -1;
    QUrl m_url;
    QString m_imageName;
    bool m_enabled = true;
    bool m_focusOnShow = false;
    bool m_monospace = false;
};

} // namespace vaultora::toolkit
