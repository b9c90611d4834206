import QtQuick
import Vaultora.Toolkit
import QtQuick.Controls
import QtQuick.Layouts

// The transient panels at the top of the window, newest at the bottom of the column.
Column {
    id: root
    property var host: null
    spacing: 2

    Repeater {
        model: root.host
        delegate: Rectangle {
            id: noticeView
            required property var notice
            width: root.width
            // The notice hides when tapped, so it is at least a touch target high.
            height: Math.max(Theme.touchTarget, content.implicitHeight + 16)
            radius: 4
            color: notice.style === TransientPanel.Error ? Theme.errorNoticeBackground : Theme.noticeBackground

            ColumnLayout {
                id: content
                anchors.fill: parent
                anchors.margins: 8
                spacing: 2
                Label {
                    text: noticeView.notice.title
                    color: Theme.noticeText
                    textFormat: Text.PlainText
                    font.bold: true
                    wrapMode: Text.Wrap
                    Layout.fillWidth: true
                }
                Label {
                    visible: text.length > 0
                    text: noticeView.notice.subtitle
                    color: Theme.noticeText
                    textFormat: Text.PlainText
                    wrapMode: Text.Wrap
                    Layout.fillWidth: true
                }
                ProgressBar {
                    visible: noticeView.notice.hasProgressBar
                    from: 0
                    to: 1
                    value: noticeView.notice.progress
                    Layout.fillWidth: true
                    Behavior on value {
                        enabled: noticeView.notice.progressAnimated && !Theme.reducedMotion
                        NumberAnimation { duration: 200 }
                    }
                }
            }
            MouseArea {
                anchors.fill: parent
                onClicked: noticeView.notice.hide()
            }
        }
    }
}
