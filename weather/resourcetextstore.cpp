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
    ResourceTextStore* store = Instance();
    store->m_airportText = ResourceText(QStringLiteral(":/files/Resources/wxAirports.dat"));
    const bool loaded = store->m_airportText.size() >= kMinimumTextLength;
    qDebug() << (loaded ? "Airport resource loaded" : "Airport Resource not loaded");
    return loaded;
}

bool ResourceTextStore::LoadStations()
{
    ResourceTextStore* store = Instance();
    store->m_stationText = ResourceText(QStringLiteral(":/files/Resources/wxStations.dat"));
    const bool loaded = store->m_stationText.size() >= kMinimumTextLength;
    qDebug() << (loaded ? "WXStations resource loaded" : "WXStations Resource not loaded");
    return loaded;
}

QString ResourceTextStore::GetAirportText()
{
    return Instance()->m_airportText;
}

QString ResourceTextStore::GetStationText()
{
    return Instance()->m_stationText;
}
