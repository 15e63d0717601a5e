#include "dialogs/wxfiledialog.h"

#include <QDialogButtonBox>
#include <QVBoxLayout>

WxFileDialog::WxFileDialog(QWidget* parent, int mode, const QString& metar, const QString& synop, const QString& grib)
    : QDialog(parent)
    , m_mode(mode)
    , m_metar(metar)
    , m_synop(synop)
    , m_grib(grib)
{
    setObjectName(QStringLiteral("DlgWxFileDlg"));
    setWindowTitle(tr("WX-File Dialog"));
    resize(407, 292);

    const QDialogButtonBox::StandardButton action = mode == Load ? QDialogButtonBox::Open : QDialogButtonBox::Save;
    auto* buttonBox = new QDialogButtonBox(action | QDialogButtonBox::Cancel, Qt::Horizontal, this);
    connect(buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buttonBox);
}

WxFileDialog::~WxFileDialog() = default;
