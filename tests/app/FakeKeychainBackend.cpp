#include "FakeKeychainBackend.h"

#include "app/PasswordStore.h"

ScopedFakeKeychain::ScopedFakeKeychain() {
    auto backend = std::make_unique<FakeKeychainBackend>();
    m_backend = backend.get();
    m_previous = vaultora::app::PasswordStore::setBackend(std::move(backend));
}

ScopedFakeKeychain::~ScopedFakeKeychain() {
    vaultora::app::PasswordStore::setBackend(std::move(m_previous));
}
