import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vaultora.Toolkit

// The progress overlay: a busy indicator and its title over the dimmed window.
Item {
    id: root
    property var overlay: null
    visible: overlay ? overlay.visible : false

    MouseArea {
        anchors.fill: parent
        hoverEnabled: true
    }
    Rectangle {
        anchors.centerIn: parent
        width: Math.max(160, column.implicitWidth + 40)
        height: column.implicitHeight + 40
        radius: 10
        color: Theme.overlayBackground
        ColumnLayout {
            id: column
            anchors.centerIn: parent
            BusyIndicator {
                running: root.visible
                Layout.alignment: Qt.AlignHCenter
            }
            Label {
                text: root.overlay ? root.overlay.title : ""
                color: Theme.noticeText
                textFormat: Text.PlainText
                Layout.alignment: Qt.AlignHCenter
            }
            Button {
                objectName: "progressCancelButton"
                implicitHeight: Theme.touchTarget
                text: "Cancel"
                visible: root.overlay ? root.overlay.cancellable : false
                Layout.alignment: Qt.AlignHCenter
                onClicked: root.overlay.requestCancel()
            }
        }
    }
}
