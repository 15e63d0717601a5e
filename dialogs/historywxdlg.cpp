#include "dialogs/historywxdlg.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QTimeEdit>

CHistoryWxDlg::CHistoryWxDlg(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("Dialog_HistoryWx"));
    setWindowTitle(tr("Download Historty Weather"));
    resize(446, 138);

    m_date = new QDateEdit(this);
    m_date->setObjectName(QStringLiteral("dateEdit_weather"));
    m_date->setCalendarPopup(true);
    m_time = new QTimeEdit(this);
    m_time->setObjectName(QStringLiteral("timeEdit_weather"));
    m_time->setDisplayFormat(QStringLiteral("HH:mm"));
    m_synop = new QCheckBox(tr("Download Additional Weather (~250kb)"), this);
    m_synop->setObjectName(QStringLiteral("checkBox_dwlSynop"));
    m_grib = new QCheckBox(tr("Download Upperair (~7 Mb)"), this);
    m_grib->setObjectName(QStringLiteral("checkBox_dwlGrib"));
    auto* buttonBox = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttonBox->setObjectName(QStringLiteral("buttonBox"));
    connect(buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(tr("Choose date/time (UTC):"), this), 0, 0);
    layout->addWidget(m_date, 0, 1);
    layout->addWidget(m_time, 0, 2);
    layout->addWidget(m_synop, 1, 0, 1, 3);
    layout->addWidget(m_grib, 2, 0, 1, 3);
    layout->addWidget(buttonBox, 3, 1, 1, 2);
}

CHistoryWxDlg::~CHistoryWxDlg() = default;

QDateTime CHistoryWxDlg::GetDateTime() const
{
    return QDateTime(m_date->date(), m_time->time());
}

bool CHistoryWxDlg::IsDownloadSynop() const
{
    return m_synop->isChecked();
}

bool CHistoryWxDlg::IsDownloadGrib() const
{
    return m_grib->isChecked();
}
