#include "loadeditor/aircraftconfigdlg.h"

#include "generation/mainwindowhost.h"
#include "generation/prompter.h"
#include "loadeditor/aircraftprofile.h"
#include "settings/settings.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kKgPerPound = 0.4535924;
const QString kTitle = QStringLiteral("Aircraft Configurator");

void Tell(PromptKind kind, const QString& text)
{
    Prompter().Ask({kind, kTitle, text, {}});
}

// The range of a weight or fuel field in the units shown: in kilograms the pounds' range converted, so that no
// saved figure lies outside what the profile reader takes.
NumberRange Shown(const NumberRange& pounds)
{
    if (CSettings::GetUnitsLbs())
        return pounds;
    return {pounds.lowest, std::floor(pounds.highest * kKgPerPound), pounds.decimals};
}

// A weight: pounds, or whole kilograms (truncated).
QString WeightText(float pounds)
{
    if (CSettings::GetUnitsLbs())
        return FormatNumber(pounds, ProfileRange::kWeight);
    return QString::number(std::trunc(pounds * kKgPerPound), 'f', 0);
}

// A fuel figure: pounds or kilograms.
QString FuelText(float pounds, const NumberRange& range)
{
    return FormatNumber(CSettings::GetUnitsLbs() ? pounds : pounds * kKgPerPound, range);
}

// Pounds from a weight or fuel field in the units shown; a text that is no number of the range is 0.
float PoundsFrom(const QLineEdit* field, const NumberRange& range)
{
    double value = ReadNumber(field->text(), range).value_or(0.0);
    if (!CSettings::GetUnitsLbs())
        value /= kKgPerPound;
    return static_cast<float>(value);
}

// The field's name in messages: the text of the label left of it in its group's grid ("max. Ramp weight:" gives
// "max. Ramp weight").
QString FieldName(QLineEdit* field)
{
    auto* grid = qobject_cast<QGridLayout*>(field->parentWidget()->layout());
    const int index = grid ? grid->indexOf(field) : -1;
    if (index < 0)
        return field->objectName();
    int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
    grid->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
    QLayoutItem* item = grid->itemAtPosition(row, 0);
    const auto* label = item ? qobject_cast<QLabel*>(item->widget()) : nullptr;
    if (!label)
        return field->objectName();
    QString name = label->text();
    if (name.endsWith(QLatin1Char(':')))
        name.chop(1);
    return name;
}

QString StationFieldName(const PayloadRow& row)
{
    return QStringLiteral("max. Weight of \"%1\"").arg(row.name->text());
}

} // namespace

CAircraftConfigDlg::CAircraftConfigDlg(CMainWindowHost* window, QWidget* parent)
    : QDialog(parent)
    , m_window(window)
{
    setupUi(this);
    const QString headers[]
        = {QStringLiteral("Name"), QStringLiteral("Weight "), QStringLiteral("max. Weight "), QStringLiteral("Type")};
    for (int column = 0; column < 4; ++column)
        gridLayoutPayload->addWidget(new QLabel(headers[column], widget_Stations), 0, column);
    for (const auto& number : WeightFields())
        RestrictToNumbers(number.field, number.range);
    for (const auto& number : FuelFields())
        RestrictToNumbers(number.field, number.range);
    for (const auto& number : IntegerFields())
        RestrictToNumbers(number.field, number.range);
    // A new form holds numbers from the start: only a field the user empties is refused.
    ZeroNumberFields();

    // Only a successful save closes the dialog.
    connect(buttonBox, &QDialogButtonBox::accepted, this, &CAircraftConfigDlg::OnSave);
    connect(buttonBox, &QDialogButtonBox::rejected, this, &CAircraftConfigDlg::OnCancel);
    connect(pushButton_refresh, &QPushButton::clicked, this, &CAircraftConfigDlg::OnLoadDataFromFS);
    connect(toolButton_NewAircraft, &QToolButton::clicked, this, &CAircraftConfigDlg::OnToolNewAircraft);
    connect(toolButton_LoadAircraft, &QToolButton::clicked, this, &CAircraftConfigDlg::OnToolLoadAircraft);
    connect(toolButton_ImportAircraft, &QToolButton::clicked, this, &CAircraftConfigDlg::OnToolImportAircraft);

    if (!CSettings::GetUnitsLbs()) {
        for (QLabel* unit :
             {labelLbs, labelLbs_1, labelLbs_2, labelLbs_3, labelLbs_5, labelLbs_6, labelLbs_7, labelLbs_8})
            unit->setText(QStringLiteral("kg"));
        labelLbs_h->setText(QStringLiteral("kg/h"));
    }
}

CAircraftConfigDlg::~CAircraftConfigDlg() = default;

bool CAircraftConfigDlg::AnyOpen()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.cbegin(), windows.cend(), [](const QWidget* window) {
        return window->isVisible() && qobject_cast<const CAircraftConfigDlg*>(window) != nullptr;
    });
}

std::vector<CAircraftConfigDlg::NumberField<float>> CAircraftConfigDlg::WeightFields()
{
    const NumberRange weight = Shown(ProfileRange::kWeight);
    return {{lineEdit_maxRamp, &m_aircraft.maxRampWeight, weight},
            {lineEdit_maxTOW, &m_aircraft.maxTakeOffWeight, weight},
            {lineEdit_emptyWeight, &m_aircraft.EmptyWeight, weight},
            {lineEdit_maxLW, &m_aircraft.maxLandingWeight, weight}};
}

std::vector<CAircraftConfigDlg::NumberField<float>> CAircraftConfigDlg::FuelFields()
{
    const NumberRange weight = Shown(ProfileRange::kWeight);
    return {{lineEdit_FuelFlow, &m_aircraft.FuelFlow, Shown(ProfileRange::kFuelFlow)},
            {lineEdit_ExtraFuel, &m_aircraft.ExtraFuel, weight},
            {lineEdit_TaxiFuel, &m_aircraft.TaxiFuel, weight},
            {lineEdit_HoldingFuel, &m_aircraft.HoldingFuel, weight}};
}

std::vector<CAircraftConfigDlg::NumberField<int>> CAircraftConfigDlg::IntegerFields()
{
    using namespace ProfileRange;
    return {{lineEdit_CruiseAlt, &m_aircraft.CruiseAlt, kAltitude},
            {lineEdit_CruiseSpeed, &m_aircraft.cruiseSpeed, kSpeed},
            {lineEdit_maxAlt, &m_aircraft.maxAlt, kAltitude},
            {lineEdit_ClimbSpeed5000, &m_aircraft.ClimbSpeed5000, kSpeed},
            {lineEdit_ClimbRate5000, &m_aircraft.ClimbRate5000, kRate},
            {lineEdit_ClimbSpeed10000, &m_aircraft.ClimbSpeed10000, kSpeed},
            {lineEdit_ClimbRate10000, &m_aircraft.ClimbRate10000, kRate},
            {lineEdit_ClimbSpeed20000, &m_aircraft.ClimbSpeed20000, kSpeed},
            {lineEdit_ClimbRate20000, &m_aircraft.ClimbRate20000, kRate},
            {lineEdit_ClimbSpeed30000, &m_aircraft.ClimbSpeed30000, kSpeed},
            {lineEdit_ClimbRate30000, &m_aircraft.ClimbRate30000, kRate},
            {lineEdit_DescentSpeed, &m_aircraft.DescentSpeed, kSpeed},
            {lineEdit_DescentRate, &m_aircraft.DescentRate, kRate}};
}

void CAircraftConfigDlg::ShowAircraft()
{
    lineEdit_AircraftName->setText(QString::fromStdWString(m_aircraft.name));
    lineEdit_Registration->setText(QString::fromStdWString(m_aircraft.Registration));
    lineEdit_Type->setText(QString::fromStdWString(m_aircraft.type));
    lineEdit_IcaoCode->setText(QString::fromStdWString(m_aircraft.code));
    radioButton_PaxAsWeight->setChecked(m_aircraft.PaxAsWeight);
    radioButton_PaxAsPassenger->setChecked(m_aircraft.PaxAsPassenger);
    for (const auto& number : WeightFields())
        number.field->setText(WeightText(*number.value));
    for (const auto& number : FuelFields())
        number.field->setText(FuelText(*number.value, number.range));
    for (const auto& number : IntegerFields())
        number.field->setText(QString::number(*number.value));

    // A profile's stations carry no load: a row keeps the load shown at its place before.
    QList<float> shownWeights;
    for (const PayloadRow& row : qAsConst(m_rows))
        shownWeights.append(row.weight);
    RemovePayloadRows();
    for (aviation::structs::CAircraftPayloadStation station : m_aircraft.payload.stations) {
        if (station.weight == 0.0f && m_rows.size() < shownWeights.size())
            station.weight = shownWeights[m_rows.size()];
        AddPayloadRow(station);
    }
}

void CAircraftConfigDlg::AddPayloadRow(const aviation::structs::CAircraftPayloadStation& station)
{
    static const QStringList kinds
        = {QStringLiteral("Unknown"), QStringLiteral("Pilot"), QStringLiteral("Passenger"), QStringLiteral("Cargo")};
    PayloadRow row;
    row.weight = station.weight;
    row.name = new QLabel(QString::fromStdWString(station.name), widget_Stations);
    const QString weight = CSettings::GetUnitsLbs()
        ? QStringLiteral("%1").arg(station.weight)
        : QStringLiteral("%1").arg(std::trunc(station.weight) * kKgPerPound);
    row.weightLabel = new QLabel(weight, widget_Stations);
    row.maxWeight = new QLineEdit(widget_Stations);
    RestrictToNumbers(row.maxWeight, Shown(ProfileRange::kWeight));
    row.maxWeight->setText(WeightText(station.maxWeight));
    row.maxWeight->setMaximumWidth(60);
    row.type = new QComboBox(widget_Stations);
    row.type->addItems(kinds);
    // A kind this program does not know shows, and is saved, as "Unknown".
    row.type->setCurrentIndex(station.type >= 0 && station.type < kinds.size() ? station.type : 0);

    const int gridRow = m_rows.size() + 1;
    gridLayoutPayload->addWidget(row.name, gridRow, 0);
    gridLayoutPayload->addWidget(row.weightLabel, gridRow, 1);
    gridLayoutPayload->addWidget(row.maxWeight, gridRow, 2);
    gridLayoutPayload->addWidget(row.type, gridRow, 3);
    m_rows.append(row);
}

void CAircraftConfigDlg::RemovePayloadRows()
{
    for (const PayloadRow& row : qAsConst(m_rows)) {
        delete row.name;
        delete row.weightLabel;
        delete row.maxWeight;
        delete row.type;
    }
    m_rows.clear();
}

void CAircraftConfigDlg::ReadForm()
{
    m_aircraft.name = lineEdit_AircraftName->text().toStdWString();
    m_aircraft.code = lineEdit_IcaoCode->text().toStdWString();
    m_aircraft.Registration = lineEdit_Registration->text().toStdWString();
    m_aircraft.type = lineEdit_Type->text().toStdWString();
    m_aircraft.PaxAsWeight = radioButton_PaxAsWeight->isChecked();
    m_aircraft.PaxAsPassenger = radioButton_PaxAsPassenger->isChecked();
    for (const auto& number : WeightFields())
        *number.value = PoundsFrom(number.field, number.range);
    for (const auto& number : FuelFields())
        *number.value = PoundsFrom(number.field, number.range);
    for (const auto& number : IntegerFields())
        *number.value = static_cast<int>(ReadNumber(number.field->text(), number.range).value_or(0.0));

    const NumberRange stationRange = Shown(ProfileRange::kWeight);
    m_aircraft.payload = aviation::structs::CAircraftPayload();
    for (const PayloadRow& row : qAsConst(m_rows)) {
        m_aircraft.payload.AddStation(
            {row.name->text().toStdWString(), 0.0f, PoundsFrom(row.maxWeight, stationRange), row.type->currentIndex()});
    }
}

QStringList CAircraftConfigDlg::FormProblems()
{
    QStringList problems;
    const auto check = [&problems](QLineEdit* field, const QString& name, const NumberRange& range) {
        if (!FieldNumber(field, range))
            problems << NumberProblem(name, field->text(), range);
    };
    for (const auto& number : WeightFields())
        check(number.field, FieldName(number.field), number.range);
    for (const auto& number : FuelFields())
        check(number.field, FieldName(number.field), number.range);
    for (const auto& number : IntegerFields())
        check(number.field, FieldName(number.field), number.range);
    for (const PayloadRow& row : qAsConst(m_rows))
        check(row.maxWeight, StationFieldName(row), Shown(ProfileRange::kWeight));
    return problems;
}

void CAircraftConfigDlg::OnLoadConfig(const QString& name, bool isPath)
{
    const QString text = name.isEmpty() ? lineEdit_AircraftName->text() : name;
    if (text.isEmpty())
        return;
    QString path = AircraftProfilePath(text);
    if (isPath) {
        path = text;
        if (!path.contains(QLatin1String(".cfg")))
            path += QStringLiteral(".cfg");
    }
    if (!LoadAircraftProfile(path)) {
        if (QFileInfo(path).isFile())
            Tell(PromptKind::Warning,
                 QStringLiteral("%1 is no aircraft config: it holds neither a name nor weights.")
                     .arg(QDir::toNativeSeparators(path)));
        else
            Tell(PromptKind::Information, QStringLiteral("Aircraft not found"));
        return;
    }
    m_aircraft = GetCurrentAircraft();
    ShowAircraft();
}

void CAircraftConfigDlg::OnSaveConfig(const QString& path)
{
    SetCurrentAircraft(m_aircraft);
    SaveAircraftProfile(path);
}

void CAircraftConfigDlg::OnSave()
{
    const QString name = lineEdit_AircraftName->text();
    if (name.isEmpty()) {
        Tell(PromptKind::Information, QStringLiteral("You must enter a name aircraft!"));
        return;
    }
    const QStringList problems = FormProblems();
    if (!problems.isEmpty()) {
        Tell(PromptKind::Warning, QStringLiteral("The aircraft config was not saved:\n") + problems.join('\n'));
        return;
    }
    ReadForm();
    SetCurrentAircraft(m_aircraft);
    const QString path = AircraftProfilePath(name);
    if (!SaveAircraftProfile(path)) {
        Tell(PromptKind::Warning, QStringLiteral("The aircraft config could not be written:\n%1").arg(path));
        return;
    }
    m_savedProfileName = name;
    accept();
}

void CAircraftConfigDlg::OnCancel()
{
    reject();
}

void CAircraftConfigDlg::OnLoadDataFromFS()
{
    if (m_window && m_window->IsConnected())
        SetAircraftFromSim(m_window->GetAircraftDetails());
}

void CAircraftConfigDlg::SetAircraftFromSim(const aviation::structs::CAircraftDetail& aircraft)
{
    m_aircraft = aircraft;
    ShowAircraft();
    const QString name = lineEdit_AircraftName->text();
    if (name.isEmpty() || !LoadAircraftProfile(AircraftProfilePath(name)))
        return;
    const PromptAnswer answer
        = Prompter().Ask({PromptKind::Question,
                          kTitle,
                          QStringLiteral("Config file found for this aircraft.\nShould the data be overwritten?"),
                          {}});
    if (answer == PromptAnswer::Yes)
        OnLoadConfig();
}

void CAircraftConfigDlg::OnToolNewAircraft()
{
    for (QLineEdit* identity : {lineEdit_AircraftName, lineEdit_Type, lineEdit_Registration, lineEdit_IcaoCode})
        identity->clear();
    ZeroNumberFields();
    RemovePayloadRows();
}

void CAircraftConfigDlg::ZeroNumberFields()
{
    for (const auto& number : WeightFields())
        number.field->setText(QStringLiteral("0"));
    for (const auto& number : FuelFields())
        number.field->setText(QStringLiteral("0"));
    for (const auto& number : IntegerFields())
        number.field->setText(QStringLiteral("0"));
}

QString CAircraftConfigDlg::ChooseProfile()
{
    return Prompter().Choose({ChooserKind::OpenFile, QStringLiteral("Load Aircraft Config"), AircraftConfigFolder(),
                              QStringLiteral("Aircraft Config Files (*.cfg)")});
}

void CAircraftConfigDlg::OnToolLoadAircraft()
{
    const QString path = ChooseProfile();
    if (!path.isEmpty())
        OnLoadConfig(path, true);
}

void CAircraftConfigDlg::OnToolImportAircraft()
{
    const QString path = ChooseProfile();
    if (path.isEmpty())
        return;
    QLineEdit* const identity[] = {lineEdit_AircraftName, lineEdit_Type, lineEdit_Registration, lineEdit_IcaoCode};
    QStringList kept;
    for (QLineEdit* field : identity)
        kept.append(field->text());
    OnLoadConfig(path, true);
    for (int i = 0; i < kept.size(); ++i)
        identity[i]->setText(kept[i]);
}
