#pragma once

namespace vaultora::base {

// Addresses the application is built with.
namespace AppConfiguration {

// Where the test database registered on the first start is downloaded from. The bundled copy
// is put in place on the first start, so this address is only fetched when the user asks for
// a fresh download.
inline constexpr char testDatabaseDownloadAddress[] =
    "https://example.com/vaultora/test_database.kdb";

inline constexpr char testDatabaseFileName[] = "test_database.kdb";
inline constexpr char testDatabaseDisplayName[] = "Test database";
inline constexpr char testDatabasePassword[] = "tulipfox";

// The product's home page, opened from the about and help screens.
inline constexpr char homePageAddress[] = "https://www.example.org/vaultora/";

// The service name under which master passwords are kept in the password store.
inline constexpr char passwordStoreService[] = "Vaultora";

} // namespace AppConfiguration

} // namespace vaultora::base
