import QtQuick
import QtQuick.Controls

ApplicationWindow {
    id: window

    required property var databaseNames

    width: 400
    height: 640
    visible: true
    title: "Vaultora"
    color: "black"

    ListView {
        objectName: "databaseList"
        anchors.fill: parent
        model: window.databaseNames
        header: Label {
            text: "Databases"
            padding: 12
            font.bold: true
            color: "#bcbcbc"
        }
        delegate: ItemDelegate {
            required property string displayName
            width: ListView.view.width
            text: displayName
        }
    }
}
