#include "loadeditor/gaugelayout.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

#include <cmath>

GaugeLabels LayOutGauge(QWidget* gauge, QSlider* slider, const QString& name)
{
    GaugeLabels labels;
    labels.minimum = new QLabel(QStringLiteral("0"), gauge);
    labels.name = new QLabel(name, gauge);
    labels.amount = new QLabel(gauge);
    labels.maximum = new QLabel(gauge);

    auto* row = new QHBoxLayout();
    row->setSpacing(1);
    row->addWidget(labels.minimum, 1, Qt::AlignLeft);
    row->addWidget(labels.name, 1, Qt::AlignLeft);
    row->addWidget(labels.amount, 1, Qt::AlignHCenter);
    row->addWidget(labels.maximum, 1, Qt::AlignRight);

    auto* outer = new QVBoxLayout(gauge);
    outer->setSpacing(1);
    outer->addWidget(slider);
    outer->addLayout(row);
    return labels;
}

int SliderPosition(double amount, int maximum)
{
    if (!(amount > 0.0))
        return 0;
    return amount >= maximum ? maximum : static_cast<int>(amount);
}
