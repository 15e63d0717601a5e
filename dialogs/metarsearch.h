// The METAR finder's search: the terms typed into its fields narrow a list of decoded reports step by step,
// e.g. "eg" as the code, 10 kt of wind and "TS" keep
//     EGLL 221850Z 24012KT 9999 VCTS FEW020CB 14/09 Q1009
#pragma once

#include "forms/numberfield.h"
#include "weather/metar.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// The texts of the finder's fields and the coverage chosen; an empty text is a field left empty. Numbers are
// read as base-10 integers; a filled number field must hold a number of its range (see Problems).
struct MetarSearchTerms
{
    QString icao;
    QString airportName;
    QString phenomena;
    QString windDirection;
    QString windSpeed;
    QString windGust;
    QString cloudBase;
    QString visibilityMin;
    QString visibilityMax;
    // 0 none, 1 FEW, 2 SCT, 3 BKN (shown as "BKR"), 4 OVC.
    int coverageIndex = 0;

    // True when no field is filled and no coverage chosen: there is nothing to search for.
    bool IsEmpty() const;
    // A line per filled number field that holds no number of its range, naming the field; empty when all do.
    QStringList Problems() const;
};

// A number field of the finder: the term it fills, its name in messages and the numbers it takes.
struct MetarNumberTerm
{
    QString MetarSearchTerms::*text;
    const char* name;
    NumberRange range;
};
extern const MetarNumberTerm kMetarNumberTerms[6];

// Told at the start of each counted step (empty label, 0 done) and after each candidate it looked at.
using MetarSearchProgress = std::function<void(const QString& label, int done, int total)>;

// Coverage in oktas of a coverage index of the finder's list, 0 for none.
int CoverageOktas(int coverageIndex);

// The reports that match every term that is filled, in list order; none while a term has a problem. The reports
// are read as decoded; the list must outlive the result.
std::vector<const aviation::weather::CMetar*> SearchMetars(const std::vector<aviation::weather::CMetar>& metars,
                                                           const MetarSearchTerms& terms,
                                                           const MetarSearchProgress& progress = {});
