#include "ApplicationControllerFixture.h"

#include <QDir>
#include <QFile>

void ApplicationControllerTest::writeFile(const QString& name, const QByteArray& bytes) const {
    QFile file(documentPath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray ApplicationControllerTest::readFile(const QString& name) const {
    QFile file(documentPath(name));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll();
}

QStringList ApplicationControllerTest::documentNames() const {
    return QDir(documents()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

vaultora::app::ApplicationController& ApplicationControllerTest::makeDelegate() {
    m_delegate.reset();
    auto recording = std::make_unique<RecordingLaunchParts>();
    parts = recording.get();
    m_delegate =
        std::make_unique<vaultora::app::ApplicationController>(std::move(recording), documents());
    return *m_delegate;
}

vaultora::app::ApplicationController& ApplicationControllerTest::launch() {
    vaultora::app::ApplicationController& delegate = makeDelegate();
    EXPECT_TRUE(delegate.didFinishLaunchingWithOptions());
    return delegate;
}

QByteArray registryXml(const QByteArray& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
           "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
           "<plist version=\"1.0\"><dict>" +
           body + "</dict></plist>\n";
}
