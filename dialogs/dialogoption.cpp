#include "dialogs/dialogoption.h"

#include <QDialogButtonBox>
#include <QTabWidget>
#include <QVBoxLayout>

DialogOption::DialogOption(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("DialogOption"));
    setWindowTitle(tr("Aerovane - Options"));
    setWindowModality(Qt::ApplicationModal);
    resize(857, 590);

    auto* tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("tabWidget"));
    auto* buttonBox = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttonBox->setObjectName(QStringLiteral("buttonBox"));
    connect(buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(buttonBox);
}

DialogOption::~DialogOption() = default;
