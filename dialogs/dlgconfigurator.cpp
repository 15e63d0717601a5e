#include "dialogs/dlgconfigurator.h"

#include <QDialogButtonBox>
#include <QStackedWidget>
#include <QVBoxLayout>

DlgConfigurator::DlgConfigurator(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("Dialog_configurator"));
    setWindowTitle(tr("Configurator"));
    setWindowModality(Qt::ApplicationModal);
    resize(657, 451);

    auto* pages = new QStackedWidget(this);
    pages->setObjectName(QStringLiteral("stackedWidget"));
    auto* buttonBox = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttonBox->setObjectName(QStringLiteral("buttonBox"));
    connect(buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages);
    layout->addWidget(buttonBox);
}

DlgConfigurator::~DlgConfigurator() = default;
