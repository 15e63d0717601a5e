// The Weather page's METAR display (the METAR list, the decoded METAR, the TAF and the station's level profile) and
// the level and wind tables that the window's reports feed.
#include "app/aerovane_pro.h"

#include "app/wxstatusbar.h"

#include "generation/weatherworker.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QTextEdit>

using aviation::weather::CGrib;
using aviation::weather::CMetar;

namespace {

// The profile when no grid data describe the station: a standard atmosphere over the METAR's surface values.
void SetStandardAtmosphere(CGrib& grib, const CMetar& metar)
{
    grib.SetStandardAtmosphere(metar.GetWind(), metar.GetTemperature(), metar.GetDewPoint(), metar.GetQNH(true));
}

} // namespace

void Aerovane_Pro::ShowMetar(CMetar& metar)
{
    const QString raw = QString::fromStdWString(metar.GetRaw());
    // A report already on show only refreshes the profile; "no report" is listed again every time.
    if (raw.isEmpty() || raw != lastMetarShown) {
        lastMetarShown = raw;
        const QString icao = QString::fromStdWString(metar.GetICAOString());
        ui.listWidgetMetarRaw->insertItem(0,
                                          raw.isEmpty() ? QStringLiteral("no metar found for %1 ").arg(icao)
                                                        : QString::fromStdWString(metar.GetOriginalRaw()));
        ShowTaf(weatherWorker->GetTaf(icao));
        if (metar.GetPosition() == aviation::Position(0.0, 0.0)) {
            ui.textEditMetarDecoded->setText(QStringLiteral("no station data from metar"));
            return;
        }
        ui.textEditMetarDecoded->setText(QString::fromStdWString(metar.GetInfoText(0)));
    }
    ShowLevelProfile(metar);
}

void Aerovane_Pro::OnListWidgetsMetarRawItemClicked(QListWidgetItem* item)
{
    if (item == nullptr)
        return;
    CMetar metar = weatherWorker->GetMetar(item->text().left(4));
    if (metar.GetPosition() == aviation::Position(0.0, 0.0)) {
        ui.textEditMetarDecoded->setText(QStringLiteral("No station data from metar"));
        return;
    }
    ShowLevelProfile(metar);
    ShowTaf(weatherWorker->GetTaf(QString::fromStdWString(metar.GetICAOString())));
    ui.textEditMetarDecoded->setText(QString::fromStdWString(metar.GetInfoText(0)));
}

void Aerovane_Pro::ShowLevelProfile(const CMetar& metar)
{
    CGrib grib;
    if (!weatherWorker->DownloadSingleGrib(metar.GetPosition(), &grib))
        SetStandardAtmosphere(grib, metar);
    // A point whose levels cannot be read (a cut or garbled line) has nothing to show either.
    if (!grib.IsStandardAtmosphere() && (!grib.Decode(false) || grib.GetLevels().empty())) {
        emit sigUIDebugString(QString::fromStdWString(grib.GetErrorText()), 0);
        SetStandardAtmosphere(grib, metar);
    }
    emit sigUIUpdateLevelInfo(grib);
}

void Aerovane_Pro::ShowTaf(const QString& taf)
{
    QString text = taf;
    text.replace(QLatin1Char('\n'), QLatin1Char(' '))
        .replace(QLatin1Char('\t'), QLatin1Char(' '))
        .replace(QLatin1Char('\r'), QLatin1Char(' '));
    // One pass over the text: three blanks in a row become two.
    text.replace(QStringLiteral("  "), QStringLiteral(" "));
    ui.plainTextEditTaf->setPlainText(text);
}

void Aerovane_Pro::ShowWeatherServerReached(bool reached)
{
    QMutexLocker lock(&uiMutex);
    ui.statusBar->SetServerText(reached ? QString() : QStringLiteral("Aerovane Server not reached"));
}

void Aerovane_Pro::ShowNoMetarNearby(const QString& text)
{
    ui.listWidgetMetarRaw->insertItem(0, text);
    ui.textEditMetarDecoded->clear();
}

void Aerovane_Pro::OnUpdateLevelInfo(const CGrib& grib)
{
    ui.tableViewLevelInfo->SetLevelInfo(grib);
}

void Aerovane_Pro::SetTableViewDirectWindControl(const CDirectWindControl& control)
{
    if (ui.tableViewDirectWindControl->isVisible())
        ui.tableViewDirectWindControl->SetDirectWindControl(control, true);
}
