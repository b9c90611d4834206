import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vaultora.Toolkit

// The alerts on show, the newest on top; the buttons answer the alert.
Item {
    id: root
    property var presenter: null
    visible: alertRepeater.count > 0

    MouseArea {
        anchors.fill: parent
        hoverEnabled: true
    }
    Rectangle {
        anchors.fill: parent
        color: Theme.dimming
    }
    Repeater {
        id: alertRepeater
        model: root.presenter
        delegate: Pane {
            id: alertView
            required property var alert
            anchors.centerIn: parent
            width: Math.min(320, root.width - 40)
            ColumnLayout {
                width: parent.width
                Label {
                    text: alertView.alert.title
                    textFormat: Text.PlainText
                    font.bold: true
                    wrapMode: Text.Wrap
                    horizontalAlignment: Qt.AlignHCenter
                    Layout.fillWidth: true
                }
                Label {
                    text: alertView.alert.message
                    textFormat: Text.PlainText
                    wrapMode: Text.Wrap
                    horizontalAlignment: Qt.AlignHCenter
                    Layout.fillWidth: true
                }
                RowLayout {
                    Layout.alignment: Qt.AlignHCenter
                    Repeater {
                        model: alertView.alert.buttons
                        delegate: Button {
                            implicitHeight: Theme.touchTarget
                            required property int index
                            required property string modelData
                            text: modelData
                            onClicked: alertView.alert.press(index)
                            // The keyboard starts on the first answer; Tab reaches the others.
                            Component.onCompleted: if (index === 0) forceActiveFocus()
                            Keys.onReturnPressed: clicked()
                            Keys.onEnterPressed: clicked()
                        }
                    }
                }
            }
        }
    }
}
