#pragma once

#include "FakeKeychainBackend.h"

#include "app/ApplicationController.h"
#include "app/IdleWatch.h"
#include "app/LaunchParts.h"
#include "app/PanelStack.h"

#include <QByteArray>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Launch parts that record the order of the launch steps and stand in for the window and
// the navigation.
class RecordingLaunchParts final : public vaultora::app::LaunchParts,
                                   public vaultora::app::IdleWatch,
                                   public vaultora::app::PanelStack {
public:
    vaultora::app::IdleWatch*
    createWindow(vaultora::app::ApplicationController& delegate) override {
        steps.push_back("window, registry of " + std::to_string(delegate.serverArray().size()));
        return this;
    }
    vaultora::app::PanelStack* createNavigation(vaultora::app::ApplicationController&) override {
        steps.push_back("navigation");
        return this;
    }
    void createCrashReportManager(vaultora::app::ApplicationController&) override {
        steps.push_back("crash reports");
    }
    void createDropboxSession(vaultora::app::ApplicationController&) override {
        steps.push_back("dropbox session");
    }

    void setTimerValue(double seconds) override { timerValues.push_back(seconds); }
    [[nodiscard]] std::size_t panelCount() const override { return panels; }
    void popTopPanel(bool animated) override {
        pops.push_back(animated);
        if (panels > 0) {
            --panels;
        }
    }

    std::vector<std::string> steps;
    std::vector<double> timerValues;
    std::vector<bool> pops;
    std::size_t panels = 0;
};

// A delegate over a documents directory in a temporary folder and a fake password store.
class ApplicationControllerTest : public testing::Test {
protected:
    [[nodiscard]] QString documents() const { return m_directory.path(); }
    [[nodiscard]] QString documentPath(const QString& name) const {
        return m_directory.filePath(name);
    }

    void writeFile(const QString& name, const QByteArray& bytes) const;
    [[nodiscard]] QByteArray readFile(const QString& name) const;
    [[nodiscard]] QStringList documentNames() const;

    // A fresh delegate (the previous one is destroyed first), not yet launched.
    vaultora::app::ApplicationController& makeDelegate();
    // A fresh delegate after its launch.
    vaultora::app::ApplicationController& launch();

    RecordingLaunchParts* parts = nullptr;
    ScopedFakeKeychain keychain;

private:
    QTemporaryDir m_directory;
    std::unique_ptr<vaultora::app::ApplicationController> m_delegate;
};

// A registry file with the given body inside its root dictionary.
QByteArray registryXml(const QByteArray& body);
