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
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QSaveFile>

namespace {

// The interface type of FSUIPC, which cannot load flight plans.
constexpr int kInterfaceFSUIPC = 1;
const QString kOutOfRange = QStringLiteral("invalid vector<T> subscript");
const QString kNoFolder = QStringLiteral("no folder set");

QString CannotWrite(const QString& path)
{
    return QStringLiteral("cannot write %1").arg(QDir::toNativeSeparators(path));
}

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
        const char* format;
        QString (FlightplanExport::*step)(const aviation::CFlightplan&);
    } steps[] = {
        {choice.checkBox_ExportFSXP3D, "FSX/P3D", &FlightplanExport::ExportFSX},
        {choice.checkBox_ExportFS9, "FS2004", &FlightplanExport::ExportFS9},
        {choice.checkBox_Export_Xplane, "X-Plane", &FlightplanExport::ExportXPlane},
        {choice.checkBox_Export_AirbusX, "Airbus X", &FlightplanExport::ExportAirbusX},
        {choice.checkBox_Export_Squawkbox, "SquawkBox", &FlightplanExport::ExportSquawkBox},
    };
    bool ticked = false;
    QStringList notWritten;
    for (const auto& step : steps) {
        if (!step.box->isChecked())
            continue;
        ticked = true;
        const QString failure = (this->*step.step)(plan);
        if (!failure.isEmpty())
            notWritten << QStringLiteral("%1: %2").arg(QLatin1String(step.format), failure);
    }
    SetIcon(ticked && notWritten.isEmpty());
    if (!notWritten.isEmpty())
        Prompter().Ask({PromptKind::Warning, QStringLiteral("Aerovane - Flight plan"),
                        QStringLiteral("Not every ticked format was exported:\n") + notWritten.join(QLatin1Char('\n')),
                        QString()});
}

QString FlightplanExport::ExportFSX(const aviation::CFlightplan& plan)
{
    const QString name = Ident(plan.departure) + QLatin1Char('-') + Ident(plan.destination) + ".pln";
    const QString path = PathIn(CSettings::GetExportFPFSXFolder(), name);
    const QString failure = WriteFile(path, name, planfile::WriteFSXFlightPlan(plan));
    if (failure.isEmpty() && CSettings::GetInterfaceType() != kInterfaceFSUIPC && m_host != nullptr
        && m_host->IsConnected()) {
        Log(QStringLiteral("(Flight planner) - Send Flightplan to FS - ") + path);
        m_host->LoadFlightPlanToFS(path);
    }
    return failure;
}

QString FlightplanExport::ExportFS9(const aviation::CFlightplan& plan)
{
    const QString name = Ident(plan.departure) + QLatin1Char('-') + Ident(plan.destination) + ".pln";
    return WriteFile(PathIn(CSettings::GetExportFPFS9Folder(), name), name, planfile::WriteFS9FlightPlan(plan));
}

QString FlightplanExport::ExportXPlane(const aviation::CFlightplan& plan)
{
    const QString name = Ident(plan.departure) + Ident(plan.destination) + ".fms";
    return WriteFile(PathIn(CSettings::GetExportFPXPlaneFolder(), name), name, planfile::WriteXPlaneFlightPlan(plan));
}

QString FlightplanExport::ExportAirbusX(const aviation::CFlightplan& plan)
{
    const QString name = Ident(plan.departure) + Ident(plan.destination) + "01.flp";
    const QString path = PathIn(CSettings::GetExportFPAirbusXFolder(), name);
    if (path.isEmpty()) {
        ReportNotOpened(name);
        return kNoFolder;
    }
    switch (AirbusXFlightplan::Write(path, plan)) {
    case AirbusXFlightplan::Result::Written:
        ReportWritten(path);
        return QString();
    case AirbusXFlightplan::Result::TooFewWaypoints:
        qDebug().noquote() << QStringLiteral("(Flight planner) - Flight plan waypoint error - ") + kOutOfRange;
        Log(QStringLiteral("(Flight planner) - Flight plan waypoint error - ") + kOutOfRange);
        return QStringLiteral("flight plan waypoint error, too few waypoints");
    case AirbusXFlightplan::Result::NotWritten:
        break;
    }
    ReportNotOpened(path);
    return CannotWrite(path);
}

QString FlightplanExport::ExportSquawkBox(const aviation::CFlightplan& plan)
{
    const QString name = Ident(plan.departure) + QLatin1Char('-') + Ident(plan.destination) + ".sfp";
    const QString path = PathIn(CSettings::GetExportFPSquawkboxFolder(), name);
    if (path.isEmpty()) {
        ReportNotOpened(name);
        return kNoFolder;
    }
    const QString altitude = m_form ? m_form->lineEdit_CruiseAlt->text() : QString();
    const QString route = m_form ? m_form->plainTextEdit_route->toPlainText() : QString();
    if (!SquawkBoxFlightplan::Write(path, plan, altitude, route)) {
        ReportNotOpened(path);
        return CannotWrite(path);
    }
    ReportWritten(path);
    return QString();
}

QString FlightplanExport::PathIn(const QString& folder, const QString& name)
{
    if (folder.isEmpty())
        return QString();
    return folder + QLatin1Char('/') + platform::SafeFileName(name);
}

QString FlightplanExport::WriteFile(const QString& path, const QString& name, const QByteArray& content)
{
    if (path.isEmpty()) {
        ReportNotOpened(name);
        return kNoFolder;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit()) {
        ReportNotOpened(path);
        return CannotWrite(path);
    }
    ReportWritten(path);
    return QString();
}

void FlightplanExport::ReportWritten(const QString& path)
{
    Log(QStringLiteral("(Flight planner) - file written - ") + path);
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
