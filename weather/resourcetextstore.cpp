#include "weather/resourcetextstore.h"

#include <QByteArray>
#include <QDebug>
#include <QResource>

namespace {

constexpr int kMinimumTextLength = 10;

ResourceTextStore* g_instance = nullptr;

// The resource's bytes as text (UTF-8); empty when the resource is missing.
QString ResourceText(const QString& path)
{
    const QResource resource(path);
    if (!resource.isValid() || !resource.data())
        return QString();
    if (resource.compressionAlgorithm() != QResource::NoCompression)
        return QString::fromUtf8(resource.uncompressedData());
    return QString::fromUtf8(reinterpret_cast<const char*>(resource.data()), static_cast<int>(resource.size()));
}

// Reads the resource into `text` and logs whether it holds a list; true when it does.
bool LoadList(QString& text, const QString& path, const char* loadedMessage, const char* missingMessage)
{
    text = ResourceText(path);
    const bool loaded = text.size() >= kMinimumTextLength;
    qDebug() << (loaded ? loadedMessage : missingMessage);
    return loaded;
}

} // namespace

ResourceTextStore* ResourceTextStore::Instance()
{
    if (!g_instance) {
        // The lists live in the static weather library; registering them here keeps the linker from dropping them.
        Q_INIT_RESOURCE(stationlists);
        g_instance = new ResourceTextStore();
    }
    return g_instance;
}

void ResourceTextStore::Release()
{
    delete g_instance;
    g_instance = nullptr;
}

bool ResourceTextStore::LoadAirports()
{
    return LoadList(Instance()->m_airportText, QStringLiteral(":/files/Resources/wxAirports.dat"),
                    "Airport resource loaded", "Airport Resource not loaded");
}

bool ResourceTextStore::LoadStations()
{
    return LoadList(Instance()->m_stationText, QStringLiteral(":/files/Resources/wxStations.dat"),
                    "WXStations resource loaded", "WXStations Resource not loaded");
}

QString ResourceTextStore::GetAirportText()
{
    return Instance()->m_airportText;
}

QString ResourceTextStore::GetStationText()
{
    return Instance()->m_stationText;
}
