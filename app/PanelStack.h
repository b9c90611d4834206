#pragma once

#include <cstddef>

namespace vaultora::app {

// What the delegate needs of the stacked navigation: its panels (the root menu not counted)
// and closing the topmost one.
class PanelStack {
public:
    virtual ~PanelStack() = default;

    [[nodiscard]] virtual std::size_t panelCount() const = 0;
    virtual void popTopPanel(bool animated) = 0;
};

} // namespace vaultora::app
