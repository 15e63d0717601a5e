#include "loadeditor/aircraftconfigdlg.h"

#include "generation/mainwindowhost.h"
#include "generation/prompter.h"
#include "loadeditor/aircraftprofile.h"
#include "settings/settings.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpacerItem>

#include <cmath>

namespace {

constexpr double kKgPerPound = 0.4535924;
const QString kTitle = QStringLiteral("Aircraft Configurator");

void Tell(PromptKind kind, const QString& text)
{
    Prompter().Ask({kind, kTitle, text, {}});
}

// A weight: pounds in general notation, or whole kilograms (truncated).
QString WeightText(float pounds)
{
    if (CSettings::GetUnitsLbs())
        return QStringLiteral("%1").arg(pounds);
    return QString::number(std::trunc(pounds * kKgPerPound), 'f', 0);
}

// A fuel figure: pounds or kilograms in general notation.
QString FuelText(float pounds)
{
    return QStringLiteral("%1").arg(CSettings::GetUnitsLbs() ? pounds : pounds * kKgPerPound);
}

// Pounds from a weight or fuel field in the units shown; no finite number (Qt also reads "nan" and "inf") is 0.
float PoundsFrom(const QLineEdit* field)
{
    bool ok = false;
    double value = field->text().toDouble(&ok);
    if (!CSettings::GetUnitsLbs())
        value /= kKgPerPound;
    const float pounds = static_cast<float>(value);
    return ok && std::isfinite(pounds) ? pounds : 0.0f;
}

} // namespace

CAircraftConfigDlg::CAircraftConfigDlg(CMainWindowHost* window, QWidget* parent)
    : QDialog(parent)
    , m_window(window)
{
    setupUi(this);
    const QString headers[] = {QStringLiteral("Name"), QStringLiteral("Weight "), QStringLiteral("max. Weight "),
                               QStringLiteral("Type")};
    for (int column = 0; column < 4; ++column)
        gridLayoutPayload->addWidget(new QLabel(headers[column], groupBoxPayloadStations), 0, column);

    // Only a successful save closes the dialog.
    connect(buttonBox, &QDialogButtonBox::accepted, this, &CAircraftConfigDlg::OnSave);
    connect(buttonBox, &QDialogButtonBox::rejected, this, &CAircraftConfigDlg::OnCancel);
    connect(pushButton_refresh, &QPushButton::clicked, this, &CAircraftConfigDlg::OnLoadDataFromFS);
    connect(toolButton_NewAircraft, &QToolButton::clicked, this, &CAircraftConfigDlg::OnToolNewAircraft);
    connect(toolButton_LoadAircraft, &QToolButton::clicked, this, &CAircraftConfigDlg::OnToolLoadAircraft);
    connect(toolButton_ImportAircraft, &QToolButton::clicked, this, &CAircraftConfigDlg::OnToolImportAircraft);

    if (!CSettings::GetUnitsLbs()) {
        for (QLabel* unit : {labelLbs, labelLbs_1, labelLbs_2, labelLbs_3, labelLbs_5, labelLbs_6, labelLbs_7,
                             labelLbs_8})
            unit->setText(QStringLiteral("kg"));
        labelLbs_h->setText(QStringLiteral("kg/h"));
    }
}

CAircraftConfigDlg::~CAircraftConfigDlg() = default;

std::vector<std::pair<QLineEdit*, float*>> CAircraftConfigDlg::WeightFields()
{
    return {{lineEdit_maxRamp, &m_aircraft.maxRampWeight},
            {lineEdit_maxTOW, &m_aircraft.maxTakeOffWeight},
            {lineEdit_emptyWeight, &m_aircraft.EmptyWeight},
            {lineEdit_maxLW, &m_aircraft.maxLandingWeight}};
}

std::vector<std::pair<QLineEdit*, float*>> CAircraftConfigDlg::FuelFields()
{
    return {{lineEdit_FuelFlow, &m_aircraft.FuelFlow},
            {lineEdit_ExtraFuel, &m_aircraft.ExtraFuel},
            {lineEdit_TaxiFuel, &m_aircraft.TaxiFuel},
            {lineEdit_HoldingFuel, &m_aircraft.HoldingFuel}};
}

std::vector<std::pair<QLineEdit*, int*>> CAircraftConfigDlg::IntegerFields()
{
    return {{lineEdit_CruiseAlt, &m_aircraft.CruiseAlt},
            {lineEdit_CruiseSpeed, &m_aircraft.cruiseSpeed},
            {lineEdit_maxAlt, &m_aircraft.maxAlt},
            {lineEdit_ClimbSpeed5000, &m_aircraft.ClimbSpeed5000},
            {lineEdit_ClimbRate5000, &m_aircraft.ClimbRate5000},
            {lineEdit_ClimbSpeed10000, &m_aircraft.ClimbSpeed10000},
            {lineEdit_ClimbRate10000, &m_aircraft.ClimbRate10000},
            {lineEdit_ClimbSpeed20000, &m_aircraft.ClimbSpeed20000},
            {lineEdit_ClimbRate20000, &m_aircraft.ClimbRate20000},
            {lineEdit_ClimbSpeed30000, &m_aircraft.ClimbSpeed30000},
            {lineEdit_ClimbRate30000, &m_aircraft.ClimbRate30000},
            {lineEdit_DescentSpeed, &m_aircraft.DescentSpeed},
            {lineEdit_DescentRate, &m_aircraft.DescentRate}};
}

void CAircraftConfigDlg::ShowAircraft()
{
    lineEdit_AircraftName->setText(QString::fromStdWString(m_aircraft.name));
    lineEdit_Registration->setText(QString::fromStdWString(m_aircraft.Registration));
    lineEdit_Type->setText(QString::fromStdWString(m_aircraft.type));
    lineEdit_IcaoCode->setText(QString::fromStdWString(m_aircraft.code));
    radioButton_PaxAsWeight->setChecked(m_aircraft.PaxAsWeight);
    radioButton_PaxAsPassenger->setChecked(m_aircraft.PaxAsPassenger);
    for (const auto& [field, value] : WeightFields())
        field->setText(WeightText(*value));
    for (const auto& [field, value] : FuelFields())
        field->setText(FuelText(*value));
    for (const auto& [field, value] : IntegerFields())
        field->setText(QString::number(*value));

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
    m_rowsEnd = new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding);
    gridLayoutPayload->addItem(m_rowsEnd, m_rows.size() + 1, 0);
}

void CAircraftConfigDlg::AddPayloadRow(const aviation::structs::CAircraftPayloadStation& station)
{
    static const QStringList kinds = {QStringLiteral("Unknown"), QStringLiteral("Pilot"),
                                      QStringLiteral("Passenger"), QStringLiteral("Cargo")};
    PayloadRow row;
    row.weight = station.weight;
    row.name = new QLabel(QString::fromStdWString(station.name), groupBoxPayloadStations);
    const QString weight = CSettings::GetUnitsLbs()
                               ? QStringLiteral("%1").arg(station.weight)
                               : QStringLiteral("%1").arg(std::trunc(station.weight) * kKgPerPound);
    row.weightLabel = new QLabel(weight, groupBoxPayloadStations);
    row.maxWeight = new QLineEdit(WeightText(station.maxWeight), groupBoxPayloadStations);
    row.maxWeight->setMaximumWidth(60);
    row.type = new QComboBox(groupBoxPayloadStations);
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
    if (m_rowsEnd) {
        gridLayoutPayload->removeItem(m_rowsEnd);
        delete m_rowsEnd;
        m_rowsEnd = nullptr;
    }
}

void CAircraftConfigDlg::ReadForm()
{
    m_aircraft.name = lineEdit_AircraftName->text().toStdWString();
    m_aircraft.code = lineEdit_IcaoCode->text().toStdWString();
    m_aircraft.Registration = lineEdit_Registration->text().toStdWString();
    m_aircraft.type = lineEdit_Type->text().toStdWString();
    m_aircraft.PaxAsWeight = radioButton_PaxAsWeight->isChecked();
    m_aircraft.PaxAsPassenger = radioButton_PaxAsPassenger->isChecked();
    for (const auto& [field, value] : WeightFields())
        *value = PoundsFrom(field);
    for (const auto& [field, value] : FuelFields())
        *value = PoundsFrom(field);
    for (const auto& [field, value] : IntegerFields())
        *value = field->text().toInt();

    m_aircraft.payload = aviation::structs::CAircraftPayload();
    for (const PayloadRow& row : qAsConst(m_rows)) {
        m_aircraft.payload.AddStation(
            {row.name->text().toStdWString(), 0.0f, PoundsFrom(row.maxWeight), row.type->currentIndex()});
    }
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
    const PromptAnswer answer = Prompter().Ask(
        {PromptKind::Question, kTitle,
         QStringLiteral("Config file found for this aircraft.\nShould the data be overwritten?"), {}});
    if (answer == PromptAnswer::Yes)
        OnLoadConfig();
}

void CAircraftConfigDlg::OnToolNewAircraft()
{
    for (QLineEdit* identity : {lineEdit_AircraftName, lineEdit_Type, lineEdit_Registration, lineEdit_IcaoCode})
        identity->clear();
    for (const auto& [field, value] : WeightFields())
        field->setText(QStringLiteral("0"));
    for (const auto& [field, value] : FuelFields())
        field->setText(QStringLiteral("0"));
    for (const auto& [field, value] : IntegerFields())
        field->setText(QStringLiteral("0"));
    RemovePayloadRows();
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
