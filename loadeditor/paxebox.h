// The payload gauge of one station on the load editor page: a slider in whole pounds, or in passengers for a
// passenger station shown as a head count, above the labels "0", the station's name, the amount ("1235 Lbs",
// "560 kg" or "5 Paxe") and the maximum ("n/a" for a station without one, whose slider is disabled).
#pragma once

#include <QSlider>
#include <QString>
#include <QWidget>

class QLabel;

// The gauge's slider: horizontal, 0 to `maximum`, tick marks below every 500 steps; disabled for a maximum of 0.
class CPaxeBar : public QSlider
{
    Q_OBJECT

public:
    CPaxeBar(int maximum, int value, QWidget* parent = nullptr);
};

class CPaxeBox : public QWidget
{
    Q_OBJECT

public:
    // `value` and `maximum` in pounds, or in passengers in passenger mode. The page numbers its stations by
    // their place in its list; the id is not used by the gauge.
    CPaxeBox(const QString& name, int id, double value, double maximum, QWidget* parent = nullptr,
             bool passengerMode = false);

    // The value given, until the slider moves; then the slider's position.
    double GetValue() const { return m_value; }
    bool IsPassengerMode() const { return m_passengerMode; }

signals:
    void sigOnChanged();

public slots:
    // The slider moved: the value and the amount label follow, and the page recomputes its totals.
    void SetLabelValue(int position);

private:
    // Rounded to whole pounds, kilograms or passengers.
    QString Amount(double value) const;

    CPaxeBar* m_slider = nullptr;
    QLabel* m_amount = nullptr;
    double m_value;
    bool m_passengerMode;
};
