// The recorded-flights list: one row per flight file of the flights folder with callsign, aircraft, departure,
// destination, take-off time and flight time. It only shows; closing it changes nothing.
#pragma once

#include "recorder/flightfile.h"
#include "ui_dialogflights.h"

#include <QDialog>

#include <vector>

class FlightDlg : public QDialog
{
public:
    // Reads the flights folder and fills the list.
    explicit FlightDlg(QWidget* parent = nullptr);
    ~FlightDlg() override;

    // Every "*.xml" file of the flights folder in name order; a file that reads only in part is listed too.
    void ReadFlights();
    static bool ReadFlightFile(FlightListEntry& entry);
    // One row per flight, or the no-flights hint.
    void FillFlightTable();

private:
    Ui::DialogFlights ui;
    std::vector<FlightListEntry> m_flights;
};
