#include "planner/flightplanexport.h"

#include "flightplan/airbusxflightplan.h"
#include "flightplan/fs9flightplanfile.h"
#include "flightplan/fsxflightplanfile.h"
#include "flightplan/squawkboxflightplan.h"
#include "flightplan/xplaneflightplanfile.h"
#include "forms/mainwindowform.h"
#include "generation/mainwindowhost.h"
#include "generation/prompter.h"
#include "planner/dlgexportflightplan.h"
#include "platform/filename.h"
#include "settings/settings.h"

#include <QDebug>
#include <QFileInfo>
#include <QIcon>
#include <QSaveFile>

namespace {

// The interface type of FSUIPC, which cannot load flight plans.
constexpr int kInterfaceFSUIPC = 1;
const QString kOutOfRange = QStringLiteral("invalid vector<T> subscript");

QString Ident(const aviation::CWaypointWX& point)
{
    return QString::fromStdWString(point.GetIdent());
}

} // namespace

FlightplanExport::FlightplanExport(QWidget* page, Ui::Aerovane_ProClass* form, CMainWindowHost* host)
    : m_page(page)
    , m_form(form)
    , m_host(host)
{
}

void FlightplanExport::Run(const aviation::CFlightplan& plan)
{
    if (CSettings::GetExportFPFSXFolder().isEmpty()) {
        const QString chosen = Prompter().Choose(
            {ChooserKind::Folder, QStringLiteral("Path To FS Flight Plan"), QString(), QStringLiteral("*.pln")});
        if (chosen.isEmpty()) {
            SetIcon(false);
            return;
        }
        qDebug() << chosen;
        CSettings::SetExportFPFSXFolder(QFileInfo(chosen).absoluteFilePath());
    }

    // The dialog stores its switches when it goes, after this run.
    DlgExportFlightplan dialog(m_page);
    if (dialog.exec() != QDialog::Accepted) {
        SetIcon(false);
        return;
    }
    const auto& choice = dialog.Form();
    const struct
    {
        const QCheckBox* box;
        bool (FlightplanExport::*step)(const aviation::CFlightplan&);
    } steps[] = {
        {choice.checkBox_ExportFSXP3D, &FlightplanExport::ExportFSX},
        {choice.checkBox_ExportFS9, &FlightplanExport::ExportFS9},
        {choice.checkBox_Export_Xplane, &FlightplanExport::ExportXPlane},
        {choice.checkBox_Export_AirbusX, &FlightplanExport::ExportAirbusX},
        {choice.checkBox_Export_Squawkbox, &FlightplanExport::ExportSquawkBox},
    };
    for (const auto& step : steps) {
        if (step.box->isChecked() && !(this->*step.step)(plan)) {
            SetIcon(false);
            return;
        }
    }
}

bool FlightplanExport::ExportFSX(const aviation::CFlightplan& plan)
{
    const QString name = Ident(plan.departure) + QLatin1Char('-') + Ident(plan.destination) + ".pln";
    const QString path = PathIn(CSettings::GetExportFPFSXFolder(), name);
    if (!WriteFile(path, name, planfile::WriteFSXFlightPlan(plan)))
        return false;
    if (CSettings::GetInterfaceType() != kInterfaceFSUIPC && m_host != nullptr && m_host->IsConnected()) {
        Log(QStringLiteral("(Flight planner) - Send Flightplan to FS - ") + path);
        m_host->LoadFlightPlanToFS(path);
    }
    return true;
}

bool FlightplanExport::ExportFS9(const aviation::CFlightplan& plan)
{
    const QString name = Ident(plan.departure) + QLatin1Char('-') + Ident(plan.destination) + ".pln";
    return WriteFile(PathIn(CSettings::GetExportFPFS9Folder(), name), name, planfile::WriteFS9FlightPlan(plan));
}

bool FlightplanExport::ExportXPlane(const aviation::CFlightplan& plan)
{
    // The switch as stored before this run: the dialog stores the ticked box only when it goes.
    if (!CSettings::GetExportFPXPlane() || CSettings::GetExportFPXPlaneFolder().isEmpty()) {
        Log(QStringLiteral("(Flight planner) - Export FP XPlane not enabled or directory not set."));
        return false;
    }
    const QString name = Ident(plan.departure) + Ident(plan.destination) + ".fms";
    return WriteFile(PathIn(CSettings::GetExportFPXPlaneFolder(), name), name, planfile::WriteXPlaneFlightPlan(plan));
}

bool FlightplanExport::ExportAirbusX(const aviation::CFlightplan& plan)
{
    const QString name = Ident(plan.departure) + Ident(plan.destination) + "01.flp";
    const QString path = PathIn(CSettings::GetExportFPAirbusXFolder(), name);
    if (path.isEmpty()) {
        ReportNotOpened(name);
        return false;
    }
    switch (AirbusXFlightplan::Write(path, plan)) {
    case AirbusXFlightplan::Result::Written:
        ReportWritten(path);
        return true;
    case AirbusXFlightplan::Result::TooFewWaypoints:
        Prompter().Ask({PromptKind::Critical, QStringLiteral("Aerovane - Flight plan"),
                        QStringLiteral("Flight plan waypoint error\nout of range\n") + kOutOfRange, QString()});
        qDebug().noquote() << QStringLiteral("(Flight planner) - Flight plan waypoint error - ") + kOutOfRange;
        Log(QStringLiteral("(Flight planner) - Flight plan waypoint error - ") + kOutOfRange);
        qWarning().noquote() << QStringLiteral("Out of Range error: ") + kOutOfRange;
        return false;
    case AirbusXFlightplan::Result::NotWritten:
        break;
    }
    ReportNotOpened(path);
    return false;
}

bool FlightplanExport::ExportSquawkBox(const aviation::CFlightplan& plan)
{
    const QString name = Ident(plan.departure) + QLatin1Char('-') + Ident(plan.destination) + ".sfp";
    const QString path = PathIn(CSettings::GetExportFPSquawkboxFolder(), name);
    if (path.isEmpty()) {
        ReportNotOpened(name);
        return false;
    }
    const QString altitude = m_form ? m_form->lineEdit_CruiseAlt->text() : QString();
    const QString route = m_form ? m_form->plainTextEdit_route->toPlainText() : QString();
    if (!SquawkBoxFlightplan::Write(path, plan, altitude, route)) {
        ReportNotOpened(path);
        return false;
    }
    ReportWritten(path);
    return true;
}

QString FlightplanExport::PathIn(const QString& folder, const QString& name)
{
    if (folder.isEmpty())
        return QString();
    return folder + QLatin1Char('/') + platform::SafeFileName(name);
}

bool FlightplanExport::WriteFile(const QString& path, const QString& name, const QByteArray& content)
{
    if (path.isEmpty()) {
        ReportNotOpened(name);
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit()) {
        ReportNotOpened(path);
        return false;
    }
    ReportWritten(path);
    return true;
}

void FlightplanExport::ReportWritten(const QString& path)
{
    Log(QStringLiteral("(Flight planner) - file written - ") + path);
    SetIcon(true);
}

void FlightplanExport::ReportNotOpened(const QString& pathOrName)
{
    Log(QStringLiteral("(Flight planner) - can not open file - ") + pathOrName);
}

void FlightplanExport::Log(const QString& text)
{
    if (m_host != nullptr)
        m_host->sigUIDebugString(text, 0);
}

void FlightplanExport::SetIcon(bool ok)
{
    if (m_form != nullptr)
        m_form->pushButton_ExportFP->setIcon(QIcon(ok ? QStringLiteral(":/image/ok") : QStringLiteral(":/image/unok")));
}
