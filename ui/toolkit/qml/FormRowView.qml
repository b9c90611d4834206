import QtQuick
import Vaultora.Toolkit
import QtQuick.Controls
import QtQuick.Layouts
import "Images.js" as Images

// One form row, drawn by its kind; edits and taps go back to the row. Long labels and values
// wrap rather than being cut.
ItemDelegate {
    id: root
    required property var row
    readonly property int kind: row ? row.kind : -1
    // The width of the form's label column, and the width this row's label would like.
    property real labelWidth: 0
    readonly property bool alignsLabel: kind === FormRow.Label || kind === FormRow.TextEntry
                                        || kind === FormRow.DecimalEntry || kind === FormRow.Choice
                                        || kind === FormRow.Navigation
    readonly property real labelImplicitWidth: alignsLabel && rowLabel.visible ? rowLabel.implicitWidth : 0

    readonly property bool hasOwnControl: kind === FormRow.TextEntry || kind === FormRow.DecimalEntry
                                          || kind === FormRow.Switch || kind === FormRow.Choice
    enabled: row ? row.enabled : false
    hoverEnabled: false
    // A row with an entry, switch or choice is reached through that control; the others are
    // keyboard stops of their own, chosen with Return or Space.
    focusPolicy: hasOwnControl ? Qt.NoFocus : Qt.StrongFocus
    onClicked: if (row && !hasOwnControl) row.select()
    Keys.onReturnPressed: if (!hasOwnControl) clicked()
    Keys.onEnterPressed: if (!hasOwnControl) clicked()
    implicitHeight: Math.max(Theme.touchTarget, implicitContentHeight + topPadding + bottomPadding)
    leftPadding: Theme.sideMargin
    rightPadding: Theme.sideMargin
    topPadding: 8
    bottomPadding: 8

    background: Rectangle {
        color: root.down ? Theme.selectedRowBackground : Theme.rowBackground
        Rectangle {
            x: Theme.sideMargin
            y: parent.height - 1
            width: parent.width - x
            height: 1
            color: Theme.separator
        }
    }

    contentItem: RowLayout {
        spacing: 12

        Image {
            visible: root.row && root.row.imageName.length > 0
            source: root.row ? Images.source(root.row.imageName) : ""
            sourceSize.width: 24
            sourceSize.height: 24
            Layout.preferredWidth: visible ? 24 : 0
        }

        Label {
            id: rowLabel
            visible: root.kind !== FormRow.Button && root.kind !== FormRow.MultilineText
            text: root.row ? root.row.label : ""
            textFormat: Text.PlainText
            font.bold: true
            wrapMode: root.kind === FormRow.WebLink ? Text.WrapAtWordBoundaryOrAnywhere : Text.Wrap
            Layout.preferredWidth: root.alignsLabel && root.labelWidth > 0 ? root.labelWidth : -1
            Layout.maximumWidth: root.alignsLabel && root.labelWidth > 0 ? root.labelWidth : Number.POSITIVE_INFINITY
            Layout.fillWidth: !root.alignsLabel
            color: !root.enabled ? Theme.disabledText
                                 : root.kind === FormRow.WebLink ? Theme.link : Theme.text
        }

        Label {
            visible: root.kind === FormRow.Button
            text: root.row ? root.row.label : ""
            textFormat: Text.PlainText
            horizontalAlignment: Qt.AlignHCenter
            wrapMode: Text.Wrap
            color: root.enabled ? Theme.accent : Theme.disabledText
            font.bold: true
            Layout.fillWidth: true
        }

        Label {
            readonly property bool monospace: root.row ? root.row.monospace : false
            visible: root.kind === FormRow.Label || root.kind === FormRow.Navigation
            text: root.row ? root.row.text : ""
            textFormat: Text.PlainText
            // A value on several lines reads from the left.
            horizontalAlignment: lineCount > 1 ? Qt.AlignLeft : Qt.AlignRight
            // A secret breaks anywhere: a break after a punctuation mark would look like part of it.
            wrapMode: monospace ? Text.WrapAnywhere : Text.WrapAtWordBoundaryOrAnywhere
            font.family: monospace ? Theme.monospaceFamily : root.font.family
            color: root.enabled ? Theme.text : Theme.disabledText
            Layout.fillWidth: true
        }

        Label {
            visible: root.kind === FormRow.MultilineText
            text: root.row ? root.row.text : ""
            textFormat: Text.PlainText
            wrapMode: Text.WrapAtWordBoundaryOrAnywhere
            color: root.enabled ? Theme.text : Theme.disabledText
            Layout.fillWidth: true
        }

        TextField {
            visible: root.kind === FormRow.TextEntry
            text: root.row && root.kind === FormRow.TextEntry ? root.row.text : ""
            placeholderText: root.row ? root.row.placeholder : ""
            echoMode: root.row && root.row.secure ? TextInput.Password : TextInput.Normal
            inputMethodHints: Qt.ImhNoAutoUppercase | Qt.ImhNoPredictiveText
                              | (root.row && root.row.secure ? Qt.ImhSensitiveData | Qt.ImhHiddenText : 0)
            Layout.fillWidth: true
            Layout.preferredHeight: Theme.touchTarget
            onTextEdited: root.row.enterText(text)
            onAccepted: root.row.submit()
            Component.onCompleted: if (root.kind === FormRow.TextEntry && root.row.focusOnShow) forceActiveFocus()
        }

        TextField {
            visible: root.kind === FormRow.DecimalEntry
            text: root.row && root.kind === FormRow.DecimalEntry ? root.row.text : ""
            inputMethodHints: Qt.ImhFormattedNumbersOnly
            validator: DoubleValidator {
                decimals: root.row ? root.row.fractionDigits : 0
                notation: DoubleValidator.StandardNotation
            }
            horizontalAlignment: Qt.AlignRight
            Layout.fillWidth: true
            Layout.preferredHeight: Theme.touchTarget
            onTextEdited: {
                const number = Number.fromLocaleString(Qt.locale(), text)
                if (!isNaN(number))
                    root.row.enterNumber(number)
            }
        }

        Switch {
            visible: root.kind === FormRow.Switch
            checked: root.row ? root.row.value === true : false
            Layout.preferredHeight: Theme.touchTarget
            onToggled: root.row.toggle(checked)
        }

        ComboBox {
            id: choiceBox
            visible: root.kind === FormRow.Choice
            model: root.row ? root.row.choices : []
            currentIndex: root.row ? root.row.selectedIndex : -1
            Layout.fillWidth: true
            Layout.preferredHeight: Theme.touchTarget
            onActivated: index => root.row.choose(index)
            // Choices may be file names from the documents: plain text, never markup.
            delegate: ItemDelegate {
                required property int index
                required property string modelData
                width: choiceBox.width
                highlighted: choiceBox.highlightedIndex === index
                contentItem: Label {
                    text: modelData
                    textFormat: Text.PlainText
                    elide: Label.ElideRight
                }
            }
        }

        Label {
            visible: root.kind === FormRow.Navigation
            text: "›"
            color: Theme.secondaryText
            font.pixelSize: 20
        }
    }
}
