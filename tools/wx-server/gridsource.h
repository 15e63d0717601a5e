// Answers grid requests of the loopback weather server with lines of the server's grid text, e.g.
// GRIB 22190 00012 99500 10086 99013 12040 27008 0000110 11826 27010 9200762 08430 27418 ... 7710800 58369 27595 L3000
// M6000 taken from grid files that cover the position, or else made up from a standard atmosphere with a jet stream.
#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

namespace tools {

class GridSource
{
public:
    // Reads the point lines of every "*.txt" file in the folder; a missing folder leaves only made-up points.
    void LoadFolder(const QString& folder);
    int FilePointCount() const { return m_points.size(); }

    // The grid text for a request: one point at the position, or (area) the points around it. Made-up
    // points lie on the tenth-degree positions the text can express, the area's on a lattice 1 degree apart.
    QByteArray Answer(double latitude, double longitude, bool area) const;

    // One made-up point at the position: 13 pressure levels from 1000 to 50 hPa, a maximum-wind and a
    // tropopause level and two cloud markers, the same for the same position on every call.
    static QByteArray SynthesizedPoint(double latitude, double longitude);

private:
    struct FilePoint
    {
        double latitude;
        double longitude;
        QByteArray line;
    };
    QVector<FilePoint> m_points;
};

} // namespace tools
