import QtQuick
import QtQuick.Controls
import Vaultora.Toolkit

// The main menu: section headers and rows over the tiled background, which fills the window
// behind the panels; the selected row is darkened and glows at its left. Where panels cover
// the menu but a strip, the strip shows the row icons and the headers as plain bands. Taps go
// to the menu's list model.
Item {
    id: root
    property var panel: null
    readonly property var list: panel ? panel.list : null
    readonly property var stack: panel ? panel.stack : null
    readonly property real listWidth: stack ? stack.menuWidth : width
    // The part of the menu that panels leave uncovered.
    readonly property real visibleWidth: stack ? stack.menuVisibleWidth : width
    readonly property real rowHeight: Theme.touchTarget
    readonly property real textX: 75

    Image {
        anchors.fill: parent
        source: "image://vaultora/background.png"
        fillMode: Image.Tile
    }

    ListView {
        id: menuTable
        objectName: "menuTable"
        width: root.listWidth
        height: root.height
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
            height: isHeader ? 22 : root.rowHeight

            // Section header.
            Rectangle {
                visible: cell.isHeader
                anchors.fill: parent
                color: Theme.menuHeaderBackground
                Label {
                    id: headerText
                    anchors.verticalCenter: parent.verticalCenter
                    x: 10
                    width: Math.max(0, root.visibleWidth - x)
                    // A header is shown whole or not at all.
                    visible: implicitWidth <= width
                    text: cell.title
                    color: Theme.menuText
                    textFormat: Text.PlainText
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
                    color: cell.selected ? Theme.menuSelectedBackground : "transparent"
                    // The keyboard's current row.
                    border.width: cell.ListView.isCurrentItem && menuTable.activeFocus ? 2 : 0
                    border.color: "white"
                }
                Rectangle {
                    y: 0
                    width: parent.width
                    height: 1
                    color: Theme.menuLineLight
                }
                Rectangle {
                    y: parent.height - 1
                    width: parent.width
                    height: 1
                    color: Theme.menuLineDark
                }
                Image {
                    visible: cell.selected
                    x: 0
                    width: 30
                    height: parent.height
                    source: "image://vaultora/NewGlow.png"
                }
                Item {
                    // In the strip the icon stays centred in what is left of the menu.
                    width: Math.min(70, root.visibleWidth)
                    height: parent.height
                    Image {
                        anchors.centerIn: parent
                        source: cell.imageName.length > 0 ? "image://vaultora/tinted/" + cell.imageName : ""
                        sourceSize.width: 28
                        sourceSize.height: 28
                    }
                }
                Label {
                    // Database names may be longer than the menu is wide.
                    property bool elisionAllowed: true
                    x: root.textX
                    width: Math.max(0, Math.min(root.listWidth, root.visibleWidth) - x - 8)
                    height: parent.height
                    visible: width > 0
                    verticalAlignment: Text.AlignVCenter
                    text: cell.title
                    textFormat: Text.PlainText
                    elide: Text.ElideRight
                    font.bold: true
                    color: cell.selected ? Theme.menuSelectedText : Theme.menuText
                }
                MouseArea {
                    anchors.fill: parent
                    onClicked: root.list.tap(cell.index)
                }
            }
        }
    }
}
