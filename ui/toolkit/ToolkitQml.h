// Makes the QML module Vaultora.Toolkit importable in an engine; call once per engine before
// loading QML that imports it.
#pragma once

class QQmlEngine;

namespace vaultora::toolkit {

void registerToolkitQml(QQmlEngine& engine);

} // namespace vaultora::toolkit
