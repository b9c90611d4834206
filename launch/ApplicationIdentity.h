#pragma once

#include <QString>

namespace vaultora::launch {

// Names the running application (its settings file and folders follow from the names), takes
// over a settings file that earlier versions kept elsewhere, keeps the file private, sets the
// version, and draws in software where there is no display. Called right after the
// application object is made, by the executable and by whatever launches the app as it does.
void identifyAsTheApplication(const QString& version);

} // namespace vaultora::launch
