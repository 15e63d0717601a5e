#include "loadeditor/aircraftconfigdlg.h"

#include <QDialogButtonBox>
#include <QVBoxLayout>

CAircraftConfigDlg::CAircraftConfigDlg(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("DialogAircraftConfigator"));
    setWindowTitle(tr("Aircraft Editor"));
    setWindowModality(Qt::ApplicationModal);
    resize(762, 570);

    auto* buttonBox = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel, this);
    buttonBox->setObjectName(QStringLiteral("buttonBox"));
    connect(buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buttonBox);
}

CAircraftConfigDlg::~CAircraftConfigDlg() = default;
