#include "loadeditor/fuelbox.h"

#include "loadeditor/gaugelayout.h"
#include "settings/settings.h"

#include <QLabel>

namespace {

constexpr double kLitersPerGallon = 3.78541178;
constexpr int kFullTank = 10000;

// Gallons, or liters when the user chose them, with two decimals.
QString Volume(double gallons)
{
    return QString::number(CSettings::GetUnitsGallon() ? gallons : gallons * kLitersPerGallon, 'f', 2);
}

} // namespace

CFuelBar::CFuelBar(int maximum, int value, QWidget* parent)
    : QSlider(Qt::Horizontal, parent)
{
    setRange(0, maximum);
    setValue(value);
    setTickPosition(QSlider::TicksBelow);
    setTickInterval(500);
}

CFuelBox::CFuelBox(const QString& name, int tankId, double capacity, double level, QWidget* parent)
    : QWidget(parent)
    , m_slider(new CFuelBar(kFullTank, SliderPosition(level * 100.0, kFullTank), this))
    , m_tankId(tankId)
    , m_capacity(capacity)
{
    const GaugeLabels labels = LayOutGauge(this, m_slider, name);
    m_amount = labels.amount;
    ShowAmount(capacity * level / 100.0);
    labels.maximum->setText(Volume(capacity));
    connect(m_slider, &QSlider::valueChanged, this, &CFuelBox::SetLabelValue);
}

double CFuelBox::GetLevel() const
{
    return m_slider->value() / 100.0;
}

void CFuelBox::SetLabelValue(int position)
{
    ShowAmount(position / 100.0 * m_capacity / 100.0);
    emit sigOnChanged();
}

void CFuelBox::ShowAmount(double gallons)
{
    const QString unit = CSettings::GetUnitsGallon() ? QStringLiteral(" Gal") : QStringLiteral(" Liter");
    m_amount->setText(Volume(gallons) + unit);
}
