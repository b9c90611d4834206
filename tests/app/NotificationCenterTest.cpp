#include "base/NotificationCenter.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

TEST(NotificationCenter, DeliversByNameInOrderWithSenderAndInformation) {
    vaultora::base::NotificationCenter center;
    QObject sender;
    std::vector<std::string> seen;
    center.addObserver(
        QStringLiteral("A"), nullptr, [&](const vaultora::base::Notification& notification) {
            EXPECT_EQ(notification.object, &sender);
            seen.push_back(
                "first " +
                notification.userInfo.value(QStringLiteral("k")).toString().toStdString());
        });
    center.addObserver(QStringLiteral("B"), nullptr,
                       [&](const vaultora::base::Notification&) { seen.push_back("other"); });
    center.addObserver(QStringLiteral("A"), nullptr,
                       [&](const vaultora::base::Notification&) { seen.push_back("second"); });

    center.post(QStringLiteral("A"), &sender, {{QStringLiteral("k"), QStringLiteral("v")}});
    EXPECT_EQ(seen, (std::vector<std::string>{"first v", "second"}));
}

TEST(NotificationCenter, ObserversRemovedWhileDeliveringAreNotCalled) {
    vaultora::base::NotificationCenter center;
    std::vector<std::string> seen;
    vaultora::base::NotificationCenter::ObserverId second = 0;
    center.addObserver(QStringLiteral("N"), nullptr, [&](const vaultora::base::Notification&) {
        seen.push_back("first");
        center.removeObserver(second);
        // Added during the delivery: called from the next post on.
        center.addObserver(QStringLiteral("N"), nullptr,
                           [&](const vaultora::base::Notification&) { seen.push_back("late"); });
    });
    second =
        center.addObserver(QStringLiteral("N"), nullptr,
                           [&](const vaultora::base::Notification&) { seen.push_back("second"); });

    center.post(QStringLiteral("N"));
    EXPECT_EQ(seen, std::vector<std::string>{"first"});
    center.post(QStringLiteral("N"));
    EXPECT_EQ(seen, (std::vector<std::string>{"first", "first", "late"}));
}

TEST(NotificationCenter, OwnersRemoveTheirObserversAndAreForgottenWhenDestroyed) {
    vaultora::base::NotificationCenter center;
    int calls = 0;
    auto owner = std::make_unique<QObject>();
    QObject other;
    center.addObserver(QStringLiteral("N"), owner.get(),
                       [&](const vaultora::base::Notification&) { ++calls; });
    center.addObserver(QStringLiteral("M"), owner.get(),
                       [&](const vaultora::base::Notification&) { ++calls; });
    center.addObserver(QStringLiteral("N"), &other,
                       [&](const vaultora::base::Notification&) { calls += 10; });

    center.removeObservers(&other);
    center.post(QStringLiteral("N"));
    EXPECT_EQ(calls, 1);

    owner.reset();
    center.post(QStringLiteral("N"));
    center.post(QStringLiteral("M"));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(center.observerCount(QStringLiteral("N")), 0u);
}

} // namespace
