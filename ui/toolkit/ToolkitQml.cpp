#include "ui/toolkit/ToolkitQml.h"

#include <QQmlEngine>

// Generated with the QML module; calling it here also keeps the registration in the link of a
// static build, where nothing else would refer to it.
void qml_register_types_Vaultora_Toolkit();

namespace vaultora::toolkit {

void registerToolkitQml(QQmlEngine& engine) {
    static const bool registered = [] {
        qml_register_types_Vaultora_Toolkit();
        return true;
    }();
    Q_UNUSED(registered)
    engine.addImportPath(QStringLiteral("qrc:/qt/qml"));
}

} // namespace vaultora::toolkit
