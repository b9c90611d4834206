import QtQuick
import Vaultora.Toolkit
import QtQuick.Controls
import QtQuick.Layouts
import "Images.js" as Images

// The bar of a navigation container: back button or the panel's left button, title, right button.
ToolBar {
    id: bar
    implicitHeight: Theme.touchTarget
    property var panel: null
    property bool canGoBack: false
    property string backTitle: ""
    signal backPressed()

    component BarButtonView: ToolButton {
        property var button: null
        visible: button !== null
        text: button ? button.title : ""
        icon.source: button ? Images.source(button.imageName) : ""
        font.bold: button ? button.style === BarButton.Done : false
        // A mode button looks pressed in while its mode is on.
        checked: button ? button.checked : false
        implicitHeight: Theme.touchTarget
        implicitWidth: Math.max(Theme.touchTarget, implicitContentWidth + leftPadding + rightPadding)
        onClicked: if (button) button.press()
    }

    RowLayout {
        anchors.fill: parent
        ToolButton {
            visible: bar.canGoBack
            implicitHeight: Theme.touchTarget
            text: "‹ " + bar.backTitle
            onClicked: bar.backPressed()
        }
        BarButtonView {
            button: bar.canGoBack || !bar.panel ? null : bar.panel.leftBarButton
        }
        Label {
            // A long group or entry name may be longer than the bar is wide.
            property bool elisionAllowed: true
            text: bar.panel ? bar.panel.title : ""
            color: Theme.text
            elide: Label.ElideRight
            horizontalAlignment: Qt.AlignHCenter
            font.bold: true
            Layout.fillWidth: true
        }
        BarButtonView {
            button: bar.panel ? bar.panel.rightBarButton : null
        }
    }
}
