import QtQuick
import Vaultora.Toolkit
import QtQuick.Controls
import QtQuick.Layouts
import "Images.js" as Images

// One form row, drawn by its kind; edits and taps go back to the row.
ItemDelegate {
    id: root
    required property var row
    readonly property int kind: row ? row.kind : -1

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
            visible: root.kind !== FormRow.Button && root.kind !== FormRow.MultilineText
            text: root.row ? root.row.label : ""
            textFormat: Text.PlainText
            font.bold: true
            Layout.preferredWidth: root.kind === FormRow.WebLink ? -1 : Math.min(implicitWidth, root.width * 0.4)
            Layout.fillWidth: root.kind === FormRow.WebLink
            elide: Label.ElideRight
            color: root.kind === FormRow.WebLink ? palette.link : palette.text
        }

        Label {
            visible: root.kind === FormRow.Button
            text: root.row ? root.row.label : ""
            textFormat: Text.PlainText
            horizontalAlignment: Qt.AlignHCenter
            color: palette.highlight
            font.bold: true
            Layout.fillWidth: true
        }

        Label {
            visible: root.kind === FormRow.Label || root.kind === FormRow.Navigation
            text: root.row ? root.row.text : ""
            textFormat: Text.PlainText
            horizontalAlignment: Qt.AlignRight
            elide: Label.ElideRight
            Layout.fillWidth: true
        }

        Label {
            visible: root.kind === FormRow.MultilineText
            text: root.row ? root.row.text : ""
            textFormat: Text.PlainText
            wrapMode: Text.Wrap
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
            onTextEdited: {
                const number = Number.fromLocaleString(Qt.locale(), text)
                if (!isNaN(number))
                    root.row.enterNumber(number)
            }
        }

        Item {
            visible: root.kind === FormRow.Switch
            Layout.fillWidth: true
        }
        Switch {
            visible: root.kind === FormRow.Switch
            checked: root.row ? root.row.value === true : false
            onToggled: root.row.toggle(checked)
        }

        ComboBox {
            id: choiceBox
            visible: root.kind === FormRow.Choice
            model: root.row ? root.row.choices : []
            currentIndex: root.row ? root.row.selectedIndex : -1
            Layout.fillWidth: true
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
            font.pixelSize: 20
        }
    }
}
