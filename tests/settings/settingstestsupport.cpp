#include "settingstestsupport.h"

#include <QFile>

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

ScopedQtMessageCapture::ScopedQtMessageCapture()
    : m_previous(qInstallMessageHandler(&CaptureDebugMessage))
{
    std::lock_guard<std::mutex> lock(g_captureMutex);
    g_captured.clear();
}

ScopedQtMessageCapture::~ScopedQtMessageCapture()
{
    qInstallMessageHandler(m_previous);
}

QStringList ScopedQtMessageCapture::Messages() const
{
    std::lock_guard<std::mutex> lock(g_captureMutex);
    return g_captured;
}

ServerAddresses LoopbackAddresses()
{
    return {QStringLiteral("http://127.0.0.1:28001"), QStringLiteral("http://127.0.0.1:28002"),
            QStringLiteral("http://127.0.0.1:28003/metar.php?id=ALL"),
            QStringLiteral("http://127.0.0.1:28004/metar.php"), QStringLiteral("http://127.0.0.1:28005")};
}

void SettingsTest::SetUp()
{
    ASSERT_TRUE(m_dir.isValid());
    CSettings::Release();
    m_previousDir = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(m_dir.path()));
    m_addresses = std::make_unique<ScopedServerAddresses>(LoopbackAddresses());
}

void SettingsTest::TearDown()
{
    CSettings::Release();
    m_addresses.reset();
    CSettings::SetFSVersion(0);
    CSettings::SetClientVersion(QStringLiteral("2.01.0328"));
    CSettings::SetWeatherServerVersion(QStringLiteral("2.00.0001"));
    QDir::setCurrent(m_previousDir);
}

QStringList SettingsTest::KeysInIniFile() const
{
    QFile file(IniPath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList keys;
    QString group;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1Char('['))) {
            group = line.mid(1, line.indexOf(QLatin1Char(']')) - 1);
            // Qt's spelling of the section of the group "general".
            if (group == QLatin1String("%General"))
                group = QStringLiteral("general");
        } else if (line.contains(QLatin1Char('='))) {
            keys << group + QLatin1Char('/') + line.left(line.indexOf(QLatin1Char('=')));
        }
    }
    return keys;
}

void SettingsTest::SimulateRestart()
{
    CSettings::Release();
    ASSERT_TRUE(m_restartDir.isValid());
    ASSERT_TRUE(QFile::copy(IniPath(), m_restartDir.filePath(QStringLiteral("aerovane_pro.ini"))));
    ASSERT_TRUE(QDir::setCurrent(m_restartDir.path()));
}

void SettingsTest::WriteIniText(const QByteArray& text) const
{
    QFile file(IniPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
}
