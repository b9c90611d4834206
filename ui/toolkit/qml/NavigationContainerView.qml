import QtQuick
import QtQuick.Controls
import Vaultora.Toolkit

// A drill-down container: the bar over the panel on top of its own stack.
Page {
    id: root
    property var panel: null

    header: NavigationBar {
        panel: root.panel ? root.panel.topPanel : null
        canGoBack: root.panel ? root.panel.canGoBack : false
        backTitle: root.panel ? root.panel.backTitle : ""
        onBackPressed: root.panel.goBack()
    }

    PanelView {
        id: content
        anchors.fill: parent
        panel: root.panel ? root.panel.topPanel : null
        onPanelChanged: {
            if (root.panel && root.panel.animated && !Theme.reducedMotion) {
                content.x = root.width / 3
                slide.restart()
            }
        }
        NumberAnimation on x {
            id: slide
            running: false
            to: 0
            duration: 200
            easing.type: Easing.OutCubic
        }
    }
}
