#include "loadeditor/paxebox.h"

#include "loadeditor/gaugelayout.h"
#include "settings/settings.h"

#include <QLabel>

#include <limits>

namespace {

// The gauges convert with the exact factor; the page's totals use 0.4535924.
constexpr double kKgPerPound = 0.45359237;
constexpr int kLargestPosition = std::numeric_limits<int>::max();

} // namespace

CPaxeBar::CPaxeBar(int maximum, int value, QWidget* parent)
    : QSlider(Qt::Horizontal, parent)
{
    setRange(0, maximum);
    setValue(value);
    setTickPosition(QSlider::TicksBelow);
    setTickInterval(500);
    setEnabled(maximum != 0);
}

CPaxeBox::CPaxeBox(const QString& name, int /*id*/, double value, double maximum, QWidget* parent,
                   bool passengerMode)
    : QWidget(parent)
    , m_value(value)
    , m_passengerMode(passengerMode)
{
    const int top = SliderPosition(maximum, kLargestPosition);
    m_slider = new CPaxeBar(top, SliderPosition(value, top), this);
    const GaugeLabels labels = LayOutGauge(this, m_slider, name);
    m_amount = labels.amount;
    m_amount->setText(Amount(value));
    if (maximum == 0.0) {
        labels.maximum->setText(QStringLiteral("n/a"));
        return;
    }
    const bool pounds = passengerMode || CSettings::GetUnitsLbs();
    labels.maximum->setText(QString::number(pounds ? maximum : maximum * kKgPerPound, 'f', 0));
    connect(m_slider, &QSlider::valueChanged, this, &CPaxeBox::SetLabelValue);
}

void CPaxeBox::SetLabelValue(int position)
{
    m_value = position;
    m_amount->setText(Amount(m_value));
    emit sigOnChanged();
}

QString CPaxeBox::Amount(double value) const
{
    if (m_passengerMode)
        return QString::number(value, 'f', 0) + QStringLiteral(" Paxe");
    if (CSettings::GetUnitsLbs())
        return QString::number(value, 'f', 0) + QStringLiteral(" Lbs");
    return QString::number(value * kKgPerPound, 'f', 0) + QStringLiteral(" kg");
}
