// A REST-client delegate for the tests: records every answer and signals it, so a test can
// wait for the answer with QSignalSpy.
#pragma once

#include "sync/dropbox/DropboxClientDelegate.h"

#include <QCoreApplication>
#include <QObject>
#include <QStringList>
#include <QThread>
#include <optional>
#include <vector>

class DropboxRecordingDelegate final : public QObject,
                                       public vaultora::sync::DropboxClientDelegate {
    Q_OBJECT

public:
    QStringList calls;
    std::optional<vaultora::net::NetworkError> error;
    std::optional<vaultora::sync::DropboxMetadata> metadata;
    QString loadedPath;
    QString contentType;
    std::vector<double> progress;
    int offMainThread = 0;

    void restClientDidLogin(vaultora::sync::DropboxClient&) override { record("login"); }
    void loginFailedWithError(vaultora::sync::DropboxClient&,
                              const vaultora::net::NetworkError& failure) override {
        error = failure;
        record("loginFailed");
    }
    void loadedMetadata(vaultora::sync::DropboxClient&,
                        const vaultora::sync::DropboxMetadata& loaded) override {
        metadata = loaded;
        record("metadata");
    }
    void metadataUnchangedAtPath(vaultora::sync::DropboxClient&, const QString&) override {
        record("unchanged");
    }
    void loadMetadataFailedWithError(vaultora::sync::DropboxClient&,
                                     const vaultora::net::NetworkError& failure) override {
        error = failure;
        record("metadataFailed");
    }
    void loadedFile(vaultora::sync::DropboxClient&, const QString& destination, const QString& type,
                    const QString&) override {
        loadedPath = destination;
        contentType = type;
        record("file");
    }
    void loadProgress(vaultora::sync::DropboxClient&, double fraction, const QString&) override {
        checkThread();
        progress.push_back(fraction);
    }
    void loadFileFailedWithError(vaultora::sync::DropboxClient&,
                                 const vaultora::net::NetworkError& failure) override {
        error = failure;
        record("fileFailed");
    }
    void restClientCreatedAccount(vaultora::sync::DropboxClient&) override { record("created"); }
    void createAccountFailedWithError(vaultora::sync::DropboxClient&,
                                      const vaultora::net::NetworkError& failure) override {
        error = failure;
        record("createFailed");
    }

signals:
    void answered();

private:
    void checkThread() {
        if (QThread::currentThread() != QCoreApplication::instance()->thread())
            ++offMainThread;
    }
    void record(const QString& call) {
        checkThread();
        calls.append(call);
        emit answered();
    }
};
