#pragma once

#include <functional>

namespace vaultora::test::web {

// Runs the event loop until condition holds; false if it still does not after a generous
// bound, so a broken server fails the test instead of hanging it.
[[nodiscard]] bool waitUntil(const std::function<bool()>& condition);

} // namespace vaultora::test::web
