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
            id: backButton
            visible: bar.canGoBack
            implicitHeight: Theme.touchTarget
            text: "‹ " + bar.backTitle
            onClicked: bar.backPressed()
            // The title is a name from the database: drawn as plain text, never as markup.
            contentItem: Label {
                // A long name of the parent may be longer than the button is wide.
                property bool elisionAllowed: true
                text: backButton.text
                textFormat: Text.PlainText
                color: Theme.text
                font: backButton.font
                elide: Label.ElideRight
                horizontalAlignment: Qt.AlignHCenter
                verticalAlignment: Qt.AlignVCenter
            }
        }
        BarButtonView {
            button: bar.canGoBack || !bar.panel ? null : bar.panel.leftBarButton
        }
        Label {
            // A long group or entry name may be longer than the bar is wide.
            property bool elisionAllowed: true
            text: bar.panel ? bar.panel.title : ""
            color: Theme.text
            textFormat: Text.PlainText
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
