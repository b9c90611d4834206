import QtQuick
import Vaultora.Toolkit
import QtQuick.Controls
import QtQuick.Layouts
import "Images.js" as Images

// The bar of a navigation container: back button or the panel's left button, title, right button.
ToolBar {
    id: bar
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
        onClicked: if (button) button.press()
    }

    RowLayout {
        anchors.fill: parent
        ToolButton {
            id: backButton
            visible: bar.canGoBack
            text: "‹ " + bar.backTitle
            onClicked: bar.backPressed()
            // The title is a name from the database: drawn as plain text, never as markup.
            contentItem: Label {
                text: backButton.text
                textFormat: Text.PlainText
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
            text: bar.panel ? bar.panel.title : ""
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
