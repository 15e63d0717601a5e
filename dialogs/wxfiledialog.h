// The stored-weather dialog: saves the METAR, SYNOP and grid texts it is given as a weather set, or loads a
// weather set and hands its three texts back.
#pragma once

#include <QDialog>
#include <QString>

class WxFileDialog : public QDialog
{
    Q_OBJECT

public:
    enum Mode { Load = 0, Save = 1 };

    WxFileDialog(QWidget* parent, int mode, const QString& metar, const QString& synop, const QString& grib);
    ~WxFileDialog() override;

    int GetMode() const { return m_mode; }
    QString GetMetar() const { return m_metar; }
    QString GetSynop() const { return m_synop; }
    QString GetGrib() const { return m_grib; }

private:
    int m_mode;
    QString m_metar;
    QString m_synop;
    QString m_grib;
};
