#include "dialogs/metarsearch.h"

using aviation::weather::CCloudLayer;
using aviation::weather::CMetar;

const MetarNumberTerm kMetarNumberTerms[6] = {
    {&MetarSearchTerms::windDirection, "Wind direction", {0.0, 360.0, 0}},
    {&MetarSearchTerms::windSpeed, "Wind speed", {0.0, 300.0, 0}},
    {&MetarSearchTerms::windGust, "Gust", {0.0, 300.0, 0}},
    {&MetarSearchTerms::cloudBase, "Cloud base", {0.0, 50000.0, 0}},
    {&MetarSearchTerms::visibilityMin, "min. visibility", {0.0, 100000.0, 0}},
    {&MetarSearchTerms::visibilityMax, "max. visibility", {0.0, 100000.0, 0}},
};

namespace {

using Candidates = std::vector<const CMetar*>;

constexpr int kSpeedTolerance = 5;

int Number(const QString& text)
{
    return text.toInt(nullptr, 10);
}

// Keeps the candidates the test accepts, telling the progress about each one.
template<typename Test>
void Keep(Candidates& candidates, const QString& label, const MetarSearchProgress& progress, Test test)
{
    const int total = static_cast<int>(candidates.size());
    if (progress)
        progress(QString(), 0, total);
    Candidates kept;
    for (int i = 0; i < total; ++i) {
        if (test(*candidates[i]))
            kept.push_back(candidates[i]);
        if (progress)
            progress(label, i + 1, total);
    }
    candidates.swap(kept);
}

bool Within(double value, int wanted)
{
    return value >= wanted - kSpeedTolerance && value <= wanted + kSpeedTolerance;
}

} // namespace

bool MetarSearchTerms::IsEmpty() const
{
    return icao.isEmpty() && airportName.isEmpty() && phenomena.isEmpty() && windDirection.isEmpty()
        && windSpeed.isEmpty() && windGust.isEmpty() && cloudBase.isEmpty() && visibilityMin.isEmpty()
        && visibilityMax.isEmpty() && coverageIndex == 0;
}

QStringList MetarSearchTerms::Problems() const
{
    QStringList problems;
    for (const MetarNumberTerm& term : kMetarNumberTerms) {
        const QString& text = this->*term.text;
        if (!text.isEmpty() && !ReadNumber(text, term.range))
            problems << NumberProblem(QLatin1String(term.name), text, term.range);
    }
    return problems;
}

int CoverageOktas(int coverageIndex)
{
    static const int oktas[] = {0, 2, 4, 7, 8};
    return coverageIndex > 0 && coverageIndex < 5 ? oktas[coverageIndex] : 0;
}

Candidates SearchMetars(const std::vector<CMetar>& metars, const MetarSearchTerms& terms,
                        const MetarSearchProgress& progress)
{
    Candidates candidates;
    if (!terms.Problems().isEmpty())
        return candidates;
    const QString code = terms.icao.toUpper();
    for (const CMetar& metar : metars) {
        if (code.isEmpty() || QString::fromStdWString(metar.GetICAOString()).toUpper().startsWith(code))
            candidates.push_back(&metar);
    }

    if (!terms.airportName.isEmpty()) {
        const QString name = terms.airportName.toUpper();
        Candidates named;
        for (const CMetar* metar : candidates) {
            if (QString::fromStdWString(metar->GetName()).toUpper().contains(name))
                named.push_back(metar);
        }
        candidates.swap(named);
    }

    const QString searching = QStringLiteral("search Metar");
    const int direction = Number(terms.windDirection);
    if (!terms.windDirection.isEmpty())
        Keep(candidates, searching, progress,
             [direction](const CMetar& metar) { return metar.GetWind().direction == direction; });

    const int speed = Number(terms.windSpeed);
    if (!terms.windSpeed.isEmpty())
        Keep(candidates, searching, progress,
             [speed](const CMetar& metar) { return Within(metar.GetWind().speed, speed); });

    const int gust = Number(terms.windGust);
    if (!terms.windGust.isEmpty())
        Keep(candidates, searching, progress,
             [gust](const CMetar& metar) { return Within(metar.GetWind().gust, gust); });

    if (!terms.phenomena.isEmpty()) {
        // The reports' phenomena are upper case already: the search term is made so, the comparison stays exact.
        const QString phenomena = terms.phenomena.toUpper();
        Keep(candidates, searching, progress, [&phenomena](const CMetar& metar) {
            return QString::fromStdWString(metar.GetWeather()).contains(phenomena);
        });
    }

    const int oktas = CoverageOktas(terms.coverageIndex);
    const bool baseFilled = !terms.cloudBase.isEmpty();
    const int base = Number(terms.cloudBase);
    if (oktas > 0 || baseFilled) {
        // A base of 0 feet matches no layer.
        auto matches = [oktas, baseFilled, base](const CCloudLayer& layer) {
            const bool coverageMatches = oktas == 0 || layer.GetCoverage() == oktas;
            const bool baseMatches = !baseFilled || (base != 0 && layer.GetBase() == base);
            return coverageMatches && baseMatches;
        };
        Keep(candidates, QStringLiteral("search Clouds in Metar"), progress, [&matches](const CMetar& metar) {
            for (const CCloudLayer& layer : metar.GetCloudLayers()) {
                if (matches(layer))
                    return true;
            }
            return false;
        });
    }

    const bool minFilled = !terms.visibilityMin.isEmpty();
    const bool maxFilled = !terms.visibilityMax.isEmpty();
    if (minFilled || maxFilled) {
        const int least = Number(terms.visibilityMin);
        const int most = Number(terms.visibilityMax);
        Keep(candidates, QStringLiteral("search visibility in Metar"), progress, [=](const CMetar& metar) {
            const int visibility = metar.GetVisibility();
            return (!minFilled || visibility >= least) && (!maxFilled || visibility <= most);
        });
    }
    return candidates;
}
