import QtQuick

// The whole window's content: the stacked navigation, then modal panels, the progress overlay,
// alerts and the transient panels on top.
Item {
    id: root
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
