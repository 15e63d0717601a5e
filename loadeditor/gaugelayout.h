// The layout the fuel and payload gauges share: the slider on top, and below it a row of four labels, a fixed
// "0", the name, the amount with its unit (centred) and the maximum (right).
#pragma once

#include <QString>

class QLabel;
class QSlider;
class QWidget;

struct GaugeLabels
{
    QLabel* minimum = nullptr;
    QLabel* name = nullptr;
    QLabel* amount = nullptr;
    QLabel* maximum = nullptr;
};

// Lays out `slider` and the four labels in `gauge`, which takes them as children.
GaugeLabels LayOutGauge(QWidget* gauge, QSlider* slider, const QString& name);

// A slider position from an amount: truncated towards zero, and inside 0..maximum (a value that is no number
// gives 0), so no amount from a file or the simulator can overflow the conversion.
int SliderPosition(double amount, int maximum);
