import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vaultora.Toolkit

// A form: its sections one under the other, each with its title and its rows. The labels of all
// rows share one column, so that the fields beside them line up.
Pane {
    id: root
    property var panel: null
    padding: 0
    background: Rectangle { color: Theme.panelBackground }

    // The widest label of the form, capped so that the fields keep room.
    property real widestLabel: 0
    readonly property real labelColumnWidth: Math.min(widestLabel, width * 0.4)
    function noteLabelWidth(labelWidth) {
        if (labelWidth > widestLabel)
            widestLabel = labelWidth
    }
    Connections {
        target: root.panel
        function onFormChanged() { root.widestLabel = 0 }
    }

    // Whether the item is this form's view or inside it.
    function holds(item) {
        for (let inside = item; inside; inside = inside.parent) {
            if (inside === root)
                return true
        }
        return false
    }
    // The rows exist once the form's view is complete, hence a call later.
    function takeFocus() {
        if (holds(root.Window.activeFocusItem))
            return
        const first = root.nextItemInFocusChain(true)
        if (first && holds(first))
            first.forceActiveFocus(Qt.TabFocusReason)
    }
    Component.onCompleted: if (root.panel && root.panel.focusOnShow) Qt.callLater(takeFocus)

    ScrollView {
        anchors.fill: parent
        contentWidth: availableWidth

        ColumnLayout {
            // Lines longer than this no longer read well; a wider panel centres the form.
            width: Math.min(parent.width, Theme.widestForm)
            x: (parent.width - width) / 2
            spacing: 0

            Repeater {
                model: root.panel ? root.panel.form : null
                delegate: ColumnLayout {
                    id: sectionView
                    required property var section
                    required property string title
                    Layout.fillWidth: true
                    Layout.topMargin: root.panel && root.panel.form.grouped ? 16 : 0
                    spacing: 0

                    Label {
                        visible: sectionView.title.length > 0
                        text: sectionView.title
                        textFormat: Text.PlainText
                        font.bold: true
                        color: Theme.headerText
                        wrapMode: Text.Wrap
                        leftPadding: Theme.sideMargin
                        rightPadding: Theme.sideMargin
                        bottomPadding: 4
                        Layout.fillWidth: true
                    }
                    Repeater {
                        model: sectionView.section
                        delegate: FormRowView {
                            Layout.fillWidth: true
                            labelWidth: root.labelColumnWidth
                            onLabelImplicitWidthChanged: root.noteLabelWidth(labelImplicitWidth)
                            Component.onCompleted: root.noteLabelWidth(labelImplicitWidth)
                        }
                    }
                    Label {
                        visible: sectionView.section.footer.length > 0
                        text: sectionView.section.footer
                        textFormat: Text.PlainText
                        wrapMode: Text.Wrap
                        color: Theme.secondaryText
                        leftPadding: Theme.sideMargin
                        rightPadding: Theme.sideMargin
                        topPadding: 4
                        Layout.fillWidth: true
                    }
                }
            }
        }
    }
}
