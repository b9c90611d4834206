import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vaultora.Toolkit
import "Images.js" as Images

// A list panel: the search field over the list; headers, rows, taps and deletions go to the model.
Pane {
    id: root
    property var panel: null
    readonly property var list: panel ? panel.list : null
    padding: 0
    background: Rectangle { color: Theme.panelBackground }

    Connections {
        target: root.list
        // On a desktop the keyboard stays: the focus goes on to the list.
        function onKeyboardDismissed() { listView.takeFocus() }
        function onSearchFocusRequested() { searchField.forceActiveFocus() }
        function onListFocusRequested() { listView.takeFocus() }
    }
    Component.onCompleted: if (root.list && root.list.focusOnShow) listView.takeFocus()

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        RowLayout {
            visible: root.list ? root.list.searchFieldVisible : false
            Layout.fillWidth: true
            Layout.preferredHeight: Theme.touchTarget + 8
            Layout.leftMargin: 8
            Layout.rightMargin: 8

            TextField {
                id: searchField
                Layout.fillWidth: true
                Layout.preferredHeight: Theme.touchTarget
                placeholderText: qsTr("Search")
                text: root.list ? root.list.searchText : ""
                inputMethodHints: Qt.ImhNoAutoUppercase | Qt.ImhNoPredictiveText | Qt.ImhPreferLatin
                onActiveFocusChanged: if (activeFocus && root.list) root.list.beginSearchEditing()
                onTextEdited: root.list.editSearchText(text)
                onAccepted: root.list.pressSearchButton()
                Keys.onDownPressed: listView.takeFocus()
            }
            Button {
                visible: root.list ? root.list.showsCancelButton : false
                text: qsTr("Cancel")
                Layout.preferredHeight: Theme.touchTarget
                onClicked: root.list.pressCancelButton()
            }
        }

        ListView {
            id: listView
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            model: root.list
            ScrollBar.vertical: ScrollBar {}
            activeFocusOnTab: true
            keyNavigationEnabled: false
            currentIndex: -1

            // Moves the keyboard's current row; the model decides which rows it stops on.
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
            Keys.onUpPressed: step(-1)
            Keys.onDownPressed: step(1)
            Keys.onReturnPressed: root.list.activate(currentIndex)
            Keys.onEnterPressed: root.list.activate(currentIndex)
            Keys.onPressed: event => {
                if (!(event.modifiers & (Qt.ControlModifier | Qt.AltModifier | Qt.MetaModifier))
                        && root.list.typeIntoSearch(event.text))
                    event.accepted = true
            }

            delegate: ItemDelegate {
                id: rowView
                required property int index
                required property bool isHeader
                required property string imageName
                required property string title
                required property string subtitle
                required property string accessory
                required property bool centred
                required property bool deletable
                required property bool selected

                // A row with nothing to show stands for the place of the search field, which is
                // drawn above the list instead.
                readonly property bool spacer: !isHeader && title.length === 0
                                               && imageName.length === 0 && subtitle.length === 0

                width: ListView.view.width
                visible: !spacer
                implicitHeight: spacer ? 0
                                       : isHeader ? Math.max(32, implicitContentHeight + topPadding + bottomPadding)
                                                  : Math.max(Theme.touchTarget, implicitContentHeight + topPadding + bottomPadding)
                leftPadding: Theme.sideMargin
                rightPadding: Theme.sideMargin
                highlighted: selected
                hoverEnabled: false
                // Headers take no taps; their text has a colour of its own, not the disabled one.
                enabled: !isHeader
                // The list takes the keyboard as a whole; rows are not stops of their own.
                focusPolicy: Qt.NoFocus
                onClicked: root.list.tap(index)

                background: Rectangle {
                    color: rowView.isHeader ? Theme.headerBackground
                                            : rowView.highlighted || rowView.down ? Theme.selectedRowBackground
                                                                                  : Theme.rowBackground
                    border.width: rowView.ListView.isCurrentItem && listView.activeFocus ? 2 : 0
                    border.color: Theme.accent
                    Rectangle {
                        visible: !rowView.isHeader
                        x: Theme.sideMargin
                        y: parent.height - 1
                        width: parent.width - x
                        height: 1
                        color: Theme.separator
                    }
                }

                contentItem: RowLayout {
                    spacing: 10
                    Image {
                        visible: !rowView.isHeader && rowView.imageName.length > 0
                        source: Images.source(rowView.imageName)
                        sourceSize.width: 32
                        sourceSize.height: 32
                        Layout.preferredWidth: visible ? 32 : 0
                    }
                    ColumnLayout {
                        spacing: 2
                        Layout.fillWidth: true
                        Label {
                            // Names of entries and groups may be longer than the panel is wide.
                            property bool elisionAllowed: !rowView.isHeader
                            text: rowView.title
                            textFormat: Text.PlainText
                            font.bold: rowView.isHeader
                            color: rowView.isHeader ? Theme.headerText : Theme.text
                            elide: Label.ElideRight
                            wrapMode: rowView.isHeader ? Text.Wrap : Text.NoWrap
                            horizontalAlignment: rowView.centred ? Qt.AlignHCenter : Qt.AlignLeft
                            Layout.fillWidth: true
                        }
                        Label {
                            property bool elisionAllowed: true
                            visible: rowView.subtitle.length > 0
                            text: rowView.subtitle
                            textFormat: Text.PlainText
                            color: Theme.secondaryText
                            font.pixelSize: 12
                            elide: Label.ElideRight
                            Layout.fillWidth: true
                        }
                    }
                    Label {
                        visible: rowView.accessory.length > 0
                        text: rowView.accessory === "checkmark" ? "✓" : "›"
                        color: Theme.secondaryText
                        font.pixelSize: 20
                    }
                    Button {
                        visible: root.list && root.list.editing && rowView.deletable
                        text: qsTr("Delete")
                        Layout.preferredHeight: Theme.touchTarget
                        onClicked: root.list.requestDeletion(rowView.index)
                    }
                }
            }
        }
    }
}
