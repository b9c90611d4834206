// Whether a change of the navigation, a panel or a bar is drawn with a transition.
#pragma once

namespace toolkit {

enum class Animated { No, Yes };

} // namespace toolkit
