import QtQuick
import QtQuick.Controls

// The main menu: section headers and rows over the tiled background; the selected row is
// darkened and glows at its left. Taps go to the menu's list model.
Item {
    id: root
    property var panel: null
    readonly property var list: panel ? panel.list : null

    Image {
        anchors.fill: parent
        source: "image://vaultora/background.png"
        fillMode: Image.Tile
    }

    ListView {
        id: menuTable
        objectName: "menuTable"
        anchors.fill: parent
        clip: true
        model: root.list
        boundsBehavior: Flickable.StopAtBounds
        activeFocusOnTab: true
        keyNavigationEnabled: false
        currentIndex: -1

        // The keyboard's current row; the menu's model decides which rows it stops on.
        function step(direction) {
            const next = root.list.nextKeyboardItem(currentIndex, direction)
            if (next >= 0) {
                currentIndex = next
                positionViewAtIndex(next, ListView.Contain)
            }
        }
        function takeFocus() {
            forceActiveFocus()
            step(0)
        }
        onActiveFocusChanged: if (activeFocus && root.list) step(0)
        Component.onCompleted: if (root.list && root.list.focusOnShow) takeFocus()
        Connections {
            target: root.list
            function onListFocusRequested() { menuTable.takeFocus() }
        }
        Keys.onUpPressed: step(-1)
        Keys.onDownPressed: step(1)
        Keys.onReturnPressed: root.list.activate(currentIndex)
        Keys.onEnterPressed: root.list.activate(currentIndex)

        delegate: Item {
            id: cell
            required property int index
            required property bool isHeader
            required property string imageName
            required property string title
            required property bool selected

            width: ListView.view.width
            height: isHeader ? 22 : 43

            // Section header.
            Rectangle {
                visible: cell.isHeader
                anchors.fill: parent
                color: Qt.rgba(0, 0, 0, 0.45)
                Label {
                    anchors.verticalCenter: parent.verticalCenter
                    x: 10
                    text: cell.title
                    textFormat: Text.PlainText
                    color: Qt.rgba(188 / 255, 188 / 255, 188 / 255, 1)
                    font.bold: true
                    font.pixelSize: 13
                }
            }

            // Row.
            Item {
                visible: !cell.isHeader
                anchors.fill: parent

                Rectangle {
                    anchors.fill: parent
                    color: cell.selected ? Qt.rgba(0, 0, 0, 0.25) : "transparent"
                    // The keyboard's current row.
                    border.width: cell.ListView.isCurrentItem && menuTable.activeFocus ? 2 : 0
                    border.color: "white"
                }
                Rectangle {
                    y: 0
                    width: 200
                    height: 1
                    color: Qt.rgba(0.5, 0.5, 0.5, 0.25)
                }
                Rectangle {
                    y: 43
                    width: 200
                    height: 1
                    color: Qt.rgba(0, 0, 0, 0.25)
                }
                Image {
                    visible: cell.selected
                    x: 0
                    width: 30
                    height: 43
                    source: "image://vaultora/NewGlow.png"
                }
                Item {
                    width: 70
                    height: 43
                    Image {
                        anchors.centerIn: parent
                        source: cell.imageName.length > 0 ? "image://vaultora/tinted/" + cell.imageName : ""
                        sourceSize.width: 28
                        sourceSize.height: 28
                    }
                }
                Label {
                    x: 75
                    width: 125
                    height: 43
                    verticalAlignment: Text.AlignVCenter
                    text: cell.title
                    textFormat: Text.PlainText
                    elide: Text.ElideRight
                    font.bold: true
                    color: cell.selected ? "white" : Qt.rgba(188 / 255, 188 / 255, 188 / 255, 1)
                }
                MouseArea {
                    anchors.fill: parent
                    onClicked: root.list.tap(cell.index)
                }
            }
        }
    }
}
