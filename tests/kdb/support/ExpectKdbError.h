#pragma once

#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "kdb/DatabaseError.h"

namespace vaultora::kdb::testing {

// Succeeds when action throws the engine's exception with exactly this name and reason.
inline ::testing::AssertionResult throwsKdbError(const std::function<void()>& action,
                                                 const std::string& name,
                                                 const std::string& reason) {
    try {
        action();
    } catch (const DatabaseError& error) {
        if (error.name() == name && error.reason() == reason) {
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure() << "threw " << error.name() << "/" << error.reason()
                                             << ", expected " << name << "/" << reason;
    }
    return ::testing::AssertionFailure() << "did not throw, expected " << name << "/" << reason;
}

} // namespace vaultora::kdb::testing

#define EXPECT_KDB_ERROR(statement, name, reason)                                                  \
    EXPECT_TRUE(::vaultora::kdb::testing::throwsKdbError([&] { statement; }, name, reason))
