// The weather server's information document, read once at start-up, and the version checks made with it:
//     <aerovane><minclientversion>1.42.17</minclientversion><news version="3">Hello</news>
//       <tips><tip aerovanetype="1">Press F1 for the manual.</tip></tips></aerovane>
#pragma once

#include <QString>

#include <utility>
#include <vector>

class QXmlStreamReader;

using TipList = std::vector<std::pair<QString, int>>;

// Versions compare as the integer of all their digits ("1.42.17" is 14217, so "2.1" is lower); a version that
// gives 0 sets no constraint. Malformed XML keeps what was read before the fault.
class ServerInfo
{
public:
    explicit ServerInfo(const QString& document);
    ServerInfo(const ServerInfo&) = delete;
    ServerInfo& operator=(const ServerInfo&) = delete;

    QString GetWeatherServerVersion() const { return m_weatherServerVersion; }
    QString GetMinClientVersion() const { return m_minClientVersion; }
    QString GetUpdateVersion() const { return m_updateVersion; }
    QString GetNewsText() const { return m_newsText; }
    int GetNewsVersion() const;
    // Tips of type 1 and 2 in document order, with their type.
    TipList GetTips() const { return m_tips; }
    std::vector<QString> GetHosts() const { return m_hosts; }
    std::vector<QString> GetUpdateUrls() const { return m_updateUrls; }
    QString GetMetarFileVatsim() const { return m_metarVatsim; }
    QString GetMetarFileIvao() const { return m_metarIvao; }
    QString GetMetarFileNoaa() const { return m_metarNoaa; }
    QString GetSynopFile() const { return m_synopFile; }
    QString GetWindFile() const { return m_windFile; }

    // The client's text ("1.42.17 ") is read up to its first blank.
    bool IsClientVersionSupported(QString clientVersion) const;
    bool IsUpdateAvailable(QString clientVersion) const;

    // The integer of a version text: the dots removed, the rest read as a decimal number, 0 when it is none.
    static int VersionNumber(const QString& version);
    static int ClientVersionNumber(const QString& clientVersion);

private:
    void parseServerInfo();
    void ReadRoot(QXmlStreamReader& xml);
    // The element's text: the token right after its start tag, empty when that is no text.
    static QString ReadText(QXmlStreamReader& xml);
    void ReadList(QXmlStreamReader& xml, const QString& listName, const QString& itemName);
    void StoreItem(QXmlStreamReader& xml, const QString& itemName);

    QString m_document;
    QString m_weatherServerVersion;
    QString m_minClientVersion;
    std::vector<QString> m_hosts;
    QString m_metarVatsim;
    QString m_metarIvao;
    QString m_metarNoaa;
    QString m_synopFile;
    QString m_windFile;
    QString m_newsText;
    TipList m_tips;
    QString m_newsVersion;
    std::vector<QString> m_updateUrls;
    QString m_updateVersion;
};
