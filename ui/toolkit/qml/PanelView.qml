import QtQuick

// Draws any panel with the QML file the panel names.
Item {
    id: root
    property var panel: null

    Loader {
        id: loader
        anchors.fill: parent
    }

    function reload() {
        if (root.panel)
            loader.setSource(root.panel.viewSource, { "panel": root.panel })
        else
            loader.source = ""
    }

    onPanelChanged: reload()
    Component.onCompleted: reload()
}
