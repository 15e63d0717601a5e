#include "bridgetestsupport.h"

#include <mutex>

namespace {

std::mutex g_captureMutex;
QStringList g_captured;

void CaptureDebugMessage(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    std::lock_guard<std::mutex> lock(g_captureMutex);
    if (type == QtDebugMsg)
        g_captured << message;
}

} // namespace

ScopedQtDebugCapture::ScopedQtDebugCapture()
    : m_previous(qInstallMessageHandler(&CaptureDebugMessage))
{
    std::lock_guard<std::mutex> lock(g_captureMutex);
    g_captured.clear();
}

ScopedQtDebugCapture::~ScopedQtDebugCapture()
{
    qInstallMessageHandler(m_previous);
}

QStringList ScopedQtDebugCapture::Messages() const
{
    std::lock_guard<std::mutex> lock(g_captureMutex);
    return g_captured;
}

bool ScopedQtDebugCapture::Contains(const QString& fragment) const
{
    for (const QString& message : Messages()) {
        if (message.contains(fragment))
            return true;
    }
    return false;
}

COvyxClient::Waits ShortWaits()
{
    COvyxClient::Waits waits;
    waits.write = 5000;
    waits.writeReply = 5000;
    waits.readReply = 5000;
    return waits;
}

void BridgeTest::SetUp()
{
    ASSERT_TRUE(m_peer.Start());
    m_client.SetWaits(ShortWaits());
}

QStringList BridgeTest::LogTexts() const
{
    QStringList texts;
    for (const QList<QVariant>& arguments : m_log) {
        EXPECT_EQ(arguments.at(1).toInt(), 0) << arguments.at(0).toString().toStdString();
        texts << arguments.at(0).toString();
    }
    return texts;
}
