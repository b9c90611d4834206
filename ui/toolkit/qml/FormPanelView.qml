import QtQuick
import QtQuick.Controls
import QtQuick.Layouts

// A form: its sections one under the other, each with its title and its rows.
Pane {
    id: root
    property var panel: null
    padding: 0

    ScrollView {
        anchors.fill: parent
        contentWidth: availableWidth

        ColumnLayout {
            width: parent.width
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
                        opacity: 0.7
                        leftPadding: 16
                        bottomPadding: 4
                        Layout.fillWidth: true
                    }
                    Repeater {
                        model: sectionView.section
                        delegate: FormRowView {
                            Layout.fillWidth: true
                        }
                    }
                    Label {
                        visible: sectionView.section.footer.length > 0
                        text: sectionView.section.footer
                        textFormat: Text.PlainText
                        wrapMode: Text.Wrap
                        opacity: 0.7
                        leftPadding: 16
                        Layout.fillWidth: true
                    }
                }
            }
        }
    }
}
