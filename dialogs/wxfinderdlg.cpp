#include "dialogs/wxfinderdlg.h"

#include "generation/prompter.h"
#include "weather/weathermanager.h"

#include <QApplication>
#include <QLineEdit>
#include <QStringList>

#include <iterator>

using aviation::weather::CMetar;

WxFinderDlg::WxFinderDlg(QWidget* parent)
    : QDialog(parent)
{
    Q_INIT_RESOURCE(images);
    ui.setupUi(this);
    connect(ui.pushButton_search, &QPushButton::clicked, this, &WxFinderDlg::OnSearch);
    for (int term = 0; term < static_cast<int>(std::size(kMetarNumberTerms)); ++term)
        RestrictToNumbers(NumberField(term), kMetarNumberTerms[term].range, true);
}

QLineEdit* WxFinderDlg::NumberField(int term) const
{
    QLineEdit* const fields[] = {ui.lineEdit_wind_dir,   ui.lineEdit_wind_speed, ui.lineEdit_wind_gust,
                                 ui.lineEdit_cloud_base, ui.lineEdit_vis_min,    ui.lineEdit_vis_max};
    return fields[term];
}

WxFinderDlg::~WxFinderDlg() = default;

int WxFinderDlg::Exec(aviation::weather::CWeatherManager* manager)
{
    if (manager)
        m_metars = manager->GetMetarList();
    else
        m_metars.clear();
    return exec();
}

MetarSearchTerms WxFinderDlg::Terms() const
{
    MetarSearchTerms terms;
    terms.icao = ui.lineEdit_icao->text();
    terms.airportName = ui.lineEdit_Airportname->text();
    terms.phenomena = ui.lineEdit_weather_phenomena->text();
    terms.windDirection = ui.lineEdit_wind_dir->text();
    terms.windSpeed = ui.lineEdit_wind_speed->text();
    terms.windGust = ui.lineEdit_wind_gust->text();
    terms.cloudBase = ui.lineEdit_cloud_base->text();
    terms.visibilityMin = ui.lineEdit_vis_min->text();
    terms.visibilityMax = ui.lineEdit_vis_max->text();
    terms.coverageIndex = ui.comboBox_cloud_coverage->currentIndex();
    return terms;
}

void WxFinderDlg::OnSearch()
{
    ui.listWidget_result_metars->clear();
    const MetarSearchTerms terms = Terms();
    if (terms.IsEmpty())
        return;
    const QStringList problems = terms.Problems();
    if (!problems.isEmpty()) {
        for (int term = 0; term < static_cast<int>(std::size(kMetarNumberTerms)); ++term) {
            QLineEdit* field = NumberField(term);
            if (!field->text().isEmpty())
                FieldNumber(field, kMetarNumberTerms[term].range);
        }
        Prompter().Ask({PromptKind::Warning,
                        QStringLiteral("Aerovane - WX-Finder"),
                        QStringLiteral("Nothing searched:\n") + problems.join(QLatin1Char('\n')),
                        {}});
        return;
    }
    if (m_metars.empty()) {
        Prompter().Ask({PromptKind::Information,
                        QStringLiteral("Aerovane - WX-Finder"),
                        QStringLiteral("No Weather.\nPlease download weather."),
                        {}});
        close();
        return;
    }

    DecodeAll();
    const std::vector<const CMetar*> hits = SearchMetars(
        m_metars, terms, [this](const QString& label, int done, int total) { ShowProgress(label, done, total); });

    QStringList raws;
    raws.reserve(static_cast<int>(hits.size()));
    for (const CMetar* metar : hits)
        raws << QString::fromStdWString(metar->GetRaw());
    ui.progressBar->setValue(0);
    ui.label__progress->setText(QStringLiteral("Metars founded: %1").arg(hits.size()));
    ui.listWidget_result_metars->addItems(raws);
}

void WxFinderDlg::DecodeAll()
{
    const int total = static_cast<int>(m_metars.size());
    ui.progressBar->setRange(0, total);
    for (int i = 1; i <= total; ++i) {
        CMetar& metar = m_metars[i - 1];
        if (!metar.IsDecoded())
            metar.Decode();
        if (i % kProgressEvery == 0 || i == total)
            ShowProgress(
                QStringLiteral("decoding %1, %2 of %3")
                    .arg(QString::fromStdWString(metar.GetICAOString()), QString::number(i), QString::number(total)),
                i, total);
    }
    ui.progressBar->setValue(0);
    ui.label__progress->clear();
}

void WxFinderDlg::ShowProgress(const QString& label, int done, int total)
{
    // A step starts with nothing done: the bar takes the step's range and the label is cleared.
    if (done == 0) {
        ui.progressBar->setRange(0, total);
        ui.progressBar->setValue(0);
        ui.label__progress->setText(label);
        return;
    }
    if (done % kProgressEvery != 0 && done != total)
        return;
    ui.progressBar->setValue(done);
    ui.label__progress->setText(label);
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
