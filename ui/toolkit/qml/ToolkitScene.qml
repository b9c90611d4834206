import QtQuick
import Vaultora.Toolkit

// The whole window's content: the stacked navigation, then modal panels, the progress overlay,
// alerts and the transient panels on top. The controls in it draw with the theme's colours.
Item {
    id: root

    palette.window: Theme.panelBackground
    palette.windowText: Theme.text
    palette.base: Theme.rowBackground
    palette.alternateBase: Theme.headerBackground
    palette.text: Theme.text
    palette.placeholderText: Theme.secondaryText
    palette.button: Theme.rowBackground
    palette.buttonText: Theme.text
    palette.brightText: Theme.onAccent
    palette.highlight: Theme.accent
    palette.highlightedText: Theme.onAccent
    palette.link: Theme.link
    palette.linkVisited: Theme.link
    palette.toolTipBase: Theme.rowBackground
    palette.toolTipText: Theme.text
    palette.disabled.windowText: Theme.disabledText
    palette.disabled.text: Theme.disabledText
    palette.disabled.buttonText: Theme.disabledText
    palette.disabled.placeholderText: Theme.disabledText

    property var stack: null
    property var modalPresenter: null
    property var transientPanels: null
    property var progressOverlay: null
    property var alertPresenter: null

    StackedNavigationView {
        anchors.fill: parent
        stack: root.stack
    }
    ModalView {
        anchors.fill: parent
        presenter: root.modalPresenter
    }
    ProgressOverlayView {
        anchors.fill: parent
        overlay: root.progressOverlay
    }
    AlertsView {
        anchors.fill: parent
        presenter: root.alertPresenter
    }
    TransientPanelsView {
        anchors.top: parent.top
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.topMargin: 8
        width: Math.min(480, root.width - 16)
        host: root.transientPanels
    }
}
