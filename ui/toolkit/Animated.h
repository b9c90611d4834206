// Whether a change of the navigation, a panel or a bar is drawn with a transition.
#pragma once

namespace vaultora::toolkit {

enum class Animated { No, Yes };

} // namespace vaultora::toolkit
