import QtQuick
import QtQuick.Controls
import Vaultora.Toolkit

// Presented panels over everything: a centred form sheet or the full window. The dimmed
// background takes all input meant for the window below.
Item {
    id: root
    property var presenter: null
    visible: presenter ? presenter.presenting : false

    Repeater {
        model: root.presenter
        delegate: Item {
            id: sheet
            required property var panel
            required property bool formSheet
            required property bool animated
            anchors.fill: parent

            MouseArea {
                anchors.fill: parent
                hoverEnabled: true
                onWheel: wheel => wheel.accepted = true
            }
            Rectangle {
                anchors.fill: parent
                color: Theme.dimming
            }
            Pane {
                padding: 0
                width: sheet.formSheet ? Math.min(540, root.width) : root.width
                height: sheet.formSheet ? Math.min(620, root.height) : root.height
                anchors.centerIn: parent
                PanelView {
                    anchors.fill: parent
                    panel: sheet.panel
                }
                NumberAnimation on opacity {
                    from: sheet.animated && !Theme.reducedMotion ? 0 : 1
                    to: 1
                    duration: 200
                }
            }
        }
    }
}
