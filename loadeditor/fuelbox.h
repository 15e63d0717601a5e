// The fuel gauge of one tank on the load editor page: a slider in hundredths of a percent of the tank's capacity
// (10000 = full) above the labels "0", the tank's name, the amount ("37.50 Gal" or "141.95 Liter") and the
// capacity.
#pragma once

#include <QSlider>
#include <QString>
#include <QWidget>

class QLabel;

// The gauge's slider: horizontal, 0 to `maximum`, tick marks below every 500 steps.
class CFuelBar : public QSlider
{
    Q_OBJECT

public:
    CFuelBar(int maximum, int value, QWidget* parent = nullptr);
};

class CFuelBox : public QWidget
{
    Q_OBJECT

public:
    // `capacity` in US gallons, `level` in percent of it.
    CFuelBox(const QString& name, int tankId, double capacity, double level, QWidget* parent = nullptr);

    // The level the slider shows, in percent.
    double GetLevel() const;
    double GetCapacity() const { return m_capacity; }
    int GetTankId() const { return m_tankId; }

signals:
    void sigOnChanged();

public slots:
    // The slider moved: the amount label follows (in the units set now) and the page recomputes its totals.
    void SetLabelValue(int position);

private:
    void ShowAmount(double gallons);

    CFuelBar* m_slider;
    QLabel* m_amount = nullptr;
    int m_tankId;
    double m_capacity;
};
