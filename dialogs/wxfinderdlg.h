// The METAR finder: searches a copy of the loaded METAR reports by station, weather, wind, clouds and
// visibility and lists the reports that match.
#pragma once

#include "dialogs/metarsearch.h"
#include "ui_wxfinderdlg.h"
#include "weather/metar.h"

#include <QDialog>

#include <vector>

namespace aviation::weather {
class CWeatherManager;
}

class WxFinderDlg : public QDialog
{
    Q_OBJECT

public:
    // The progress bar and its label follow every this many reports, and the last one.
    static constexpr int kProgressEvery = 250;

    explicit WxFinderDlg(QWidget* parent = nullptr);
    ~WxFinderDlg() override;

    // Copies the manager's METAR list (none without a manager) and runs the dialog modally; QDialog's result.
    int Exec(aviation::weather::CWeatherManager* manager);
    std::size_t GetMetarCount() const { return m_metars.size(); }

public slots:
    void OnSearch();

private:
    // The field of each number term, in the order of kMetarNumberTerms.
    QLineEdit* NumberField(int term) const;
    MetarSearchTerms Terms() const;
    void DecodeAll();
    void ShowProgress(const QString& label, int done, int total);

    Ui::Dialog_WxFinder ui;
    std::vector<aviation::weather::CMetar> m_metars;
};
