#include "dialogs/wxfinderdlg.h"

#include "weather/weathermanager.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

WxFinderDlg::WxFinderDlg(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("Dialog_WxFinder"));
    setWindowTitle(tr("Dialog"));
    resize(717, 511);

    auto* results = new QListWidget(this);
    results->setObjectName(QStringLiteral("listWidget_result_metars"));
    auto* progress = new QLabel(tr("Please enter terms"), this);
    progress->setObjectName(QStringLiteral("label__progress"));
    auto* buttonBox = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttonBox->setObjectName(QStringLiteral("buttonBox"));
    connect(buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(results);
    layout->addWidget(progress);
    layout->addWidget(buttonBox);
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
