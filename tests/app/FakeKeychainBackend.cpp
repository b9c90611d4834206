#include "FakeKeychainBackend.h"

#include "app/ZEZEKeychainUtils.h"

ScopedFakeKeychain::ScopedFakeKeychain() {
    auto backend = std::make_unique<FakeKeychainBackend>();
    m_backend = backend.get();
    m_previous = ZEZEKeychainUtils::setBackend(std::move(backend));
}

ScopedFakeKeychain::~ScopedFakeKeychain() {
    ZEZEKeychainUtils::setBackend(std::move(m_previous));
}
