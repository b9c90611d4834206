import QtQuick
import Vaultora.Toolkit

// The stacked navigation: the root panel (the menu) under everything, filling the window, and
// the panels sliding over it at the places and widths the stack computes for the window's size.
// A drag sideways with one finger slides the stack.
Item {
    id: root
    property var stack: null

    onWidthChanged: updateViewport()
    onHeightChanged: updateViewport()
    Component.onCompleted: updateViewport()
    function updateViewport() {
        if (root.stack && width > 0 && height > 0)
            root.stack.setViewportSize(Qt.size(width, height))
    }

    PanelView {
        id: menu
        x: 0
        y: 0
        width: root.width
        height: root.height
        panel: root.stack ? root.stack.rootPanel : null
    }

    Repeater {
        model: root.stack
        delegate: Item {
            id: slot
            required property var panel
            required property real panelX
            required property real panelWidth
            required property bool panelVisible
            x: panelX
            y: 0
            z: 1
            width: panelWidth
            height: root.height
            visible: panelVisible

            Behavior on x {
                enabled: root.stack && root.stack.animated && !Theme.reducedMotion
                NumberAnimation { duration: 250; easing.type: Easing.OutCubic }
            }

            Rectangle {
                anchors.fill: parent
                anchors.margins: -1
                color: "transparent"
                border.color: Theme.separator
            }
            PanelView {
                anchors.fill: parent
                panel: slot.panel
            }
        }
    }

    DragHandler {
        id: slide
        target: null
        enabled: root.stack ? root.stack.slidingEnabled : false
        xAxis.enabled: true
        yAxis.enabled: false
        property real lastX: 0
        onActiveChanged: {
            if (active) {
                lastX = centroid.position.x
            } else if (root.stack) {
                root.stack.endSlide()
            }
        }
        onCentroidChanged: {
            if (active && root.stack) {
                root.stack.slideBy(centroid.position.x - lastX)
                lastX = centroid.position.x
            }
        }
    }
}
