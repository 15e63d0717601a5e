#include "dialogs/historywxdlg.h"

#include "generation/mainwindowhost.h"
#include "generation/prompter.h"
#include "generation/wxdownloader.h"
#include "settings/settings.h"

#include <QDebug>
#include <QFile>
#include <QPushButton>
#include <QXmlStreamReader>

namespace {
const QString kDateTimeFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss");
const QString kPeriodFormat = QStringLiteral("dd.MM.yyyy");
} // namespace

const char* const CHistoryWxDlg::kIndexFile = "historyWxDates.xml";

CHistoryWxDlg::CHistoryWxDlg(QWidget* parent, CMainWindowHost* host)
    : QDialog(parent)
{
    Q_INIT_RESOURCE(images);
    ui.setupUi(this);
    ui.dateEdit_weather->setEnabled(false);
    ui.timeEdit_weather->setEnabled(false);
    ui.buttonBox->button(QDialogButtonBox::Ok)->setEnabled(false);

    LoadAvailableDates(host);

    connect(ui.dateEdit_weather, &QDateEdit::dateChanged, this, &CHistoryWxDlg::OnCheckDateFromHistory);
    connect(ui.timeEdit_weather, &QTimeEdit::timeChanged, this, &CHistoryWxDlg::OnCheckTimeFromHistory);

    if (m_dates.isEmpty())
        return;
    ui.dateEdit_weather->setEnabled(true);
    // The first listed day is not offered, only the days after it.
    const QDate earliest = m_dates.first().date().addDays(1);
    const QDate latest = m_dates.last().date();
    qDebug().noquote() << QStringLiteral("min Date: ") + earliest.toString();
    qDebug().noquote() << QStringLiteral("max Date: ") + latest.toString();
    // The connections stand: moving the date into the range checks it at once.
    ui.dateEdit_weather->setMinimumDate(earliest);
    ui.dateEdit_weather->setMaximumDate(latest);
    ui.label_period->setText(QStringLiteral("available date for historical weather data: ")
                             + earliest.toString(kPeriodFormat) + QStringLiteral(" - ")
                             + latest.toString(kPeriodFormat));
}

CHistoryWxDlg::~CHistoryWxDlg() = default;

QDateTime CHistoryWxDlg::GetDateTime() const
{
    return QDateTime(ui.dateEdit_weather->date(), ui.timeEdit_weather->time(), Qt::UTC);
}

bool CHistoryWxDlg::IsDownloadSynop() const
{
    return ui.checkBox_dwlSynop->isChecked();
}

bool CHistoryWxDlg::IsDownloadGrib() const
{
    return ui.checkBox_dwlGrib->isChecked();
}

void CHistoryWxDlg::LoadAvailableDates(CMainWindowHost* host)
{
    QFile index(QString::fromLatin1(kIndexFile));
    // A failed download leaves the file as it was and is logged by the downloader.
    if (host && host->GetDownloader())
        host->GetDownloader()->Download(CSettings::GetServerUrl() + QStringLiteral("/historywx.xml"), &index);
    if (!index.open(QIODevice::ReadOnly)) {
        Prompter().Ask({PromptKind::Warning, QStringLiteral("File Error"), index.errorString(), {}});
        return;
    }
    m_dates = ReadAvailableDates(index);
}

QList<QDateTime> CHistoryWxDlg::ReadAvailableDates(QIODevice& index)
{
    QList<QDateTime> dates;
    QXmlStreamReader xml(&index);
    while (!xml.atEnd() && !xml.hasError()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        qDebug().noquote() << QStringLiteral("History: XML Token - ") + xml.name().toString();
        if (xml.name() != QLatin1String("dates_available"))
            continue;
        while (
            !xml.atEnd() && !xml.hasError()
            && !(xml.tokenType() == QXmlStreamReader::EndElement && xml.name() == QLatin1String("dates_available"))) {
            if (xml.tokenType() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("date")) {
                xml.readNext();
                const QString text = xml.text().toString();
                qDebug().noquote() << QStringLiteral("Date: ") + text;
                QDateTime date = QDateTime::fromString(text, kDateTimeFormat);
                date.setTimeSpec(Qt::UTC);
                dates.append(date);
            }
            xml.readNext();
        }
    }
    return dates;
}

QTime CHistoryWxDlg::RoundUpToHalfHour(const QTime& time)
{
    const int minute = time.minute();
    if (minute > 0 && minute < 30)
        return time.addSecs((30 - minute) * 60);
    if (minute > 30)
        return time.addSecs((60 - minute) * 60);
    return time;
}

void CHistoryWxDlg::OnCheckDateFromHistory(const QDate& date)
{
    for (const QDateTime& entry : qAsConst(m_dates)) {
        if (entry.date() == date) {
            qDebug().noquote() << QStringLiteral("Date founded: ") + date.toString();
            ui.timeEdit_weather->setEnabled(true);
            OnCheckTimeFromHistory(ui.timeEdit_weather->time());
            return;
        }
    }
    ShowFound(false);
}

void CHistoryWxDlg::OnCheckTimeFromHistory(const QTime& time)
{
    // Listed are the half hours; a time between them means the next one, on the same date.
    const QTime rounded = RoundUpToHalfHour(time);
    const QDate date = ui.dateEdit_weather->date();
    for (const QDateTime& entry : qAsConst(m_dates)) {
        if (entry.date() == date && entry.time() == rounded) {
            qDebug().noquote() << QStringLiteral("DateTime founded: ") + entry.toString();
            ui.timeEdit_weather->setTime(rounded);
            ShowFound(true);
            return;
        }
    }
    ShowFound(false);
}

void CHistoryWxDlg::ShowFound(bool found)
{
    ui.buttonBox->button(QDialogButtonBox::Ok)->setEnabled(found);
    ui.label_weatherFoundResult->setText(found ? QStringLiteral("<font color='green'>Weather available</font>")
                                               : QStringLiteral("<font color='red'>Weather not found</font>"));
}
