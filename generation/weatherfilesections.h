// The three sections of the combined weather file, each between its tags on lines of their own:
//     [METAR]
//     EGLL 221850Z AUTO 15006KT 9999 BKN027 15/13 Q1011 NOSIG
//     [/METAR]
//     [SYNOP]
//     AAXX 31001 78310 01470 70303 10250 20214 30094 40104 56004 60111 70398 8597/=
//     [/SYNOP]
//     [TAF]
//     TAF EGLL 111941Z 1119/1224 22012KT 9999 BKN018
//     [/TAF]
#pragma once

#include <QString>

class CWeatherFileSections
{
public:
    // Cuts each section from the last occurrence of its tag to the last occurrence of its end tag, the line
    // breaks next to the tags included. A section whose tag or end tag is missing, or whose end tag comes
    // before its tag, is empty.
    explicit CWeatherFileSections(const QString& text);

    // The file had a METAR section (possibly with no report in it); without one it is no weather file.
    bool HasMetar() const { return m_hasMetar; }
    QString GetMetar() const { return m_metar; }
    QString GetSynop() const { return m_synop; }
    QString GetTaf() const { return m_taf; }

private:
    static bool Cut(const QString& text, const QString& tag, QString& body);

    QString m_metar;
    QString m_synop;
    QString m_taf;
    bool m_hasMetar = false;
};
