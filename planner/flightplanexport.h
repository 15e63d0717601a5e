// One run of the planner's export: asks for the FSX/P3D folder while none is set, lets the user tick the formats
// in the export options dialog and writes the calculated plan in each ticked format into that format's folder,
// FSX/P3D first, then FS2004, X-Plane, Airbus X and SquawkBox. The first failure ends the run. The export
// button's icon tells the outcome; a connected simulator loads the FSX/P3D plan at once.
#pragma once

#include "flightplan/flightplan.h"

#include <QString>

class CMainWindowHost;
class QWidget;
namespace Ui {
class Aerovane_ProClass;
}

class FlightplanExport
{
public:
    // The page (parent of the dialogs), its window's form (null outside a window) and the window (null: nothing
    // logged, nothing loaded).
    FlightplanExport(QWidget* page, Ui::Aerovane_ProClass* form, CMainWindowHost* host);

    void Run(const aviation::CFlightplan& plan);

private:
    // Each step writes its file and reports it; false ends the run.
    bool ExportFSX(const aviation::CFlightplan& plan);
    bool ExportFS9(const aviation::CFlightplan& plan);
    bool ExportXPlane(const aviation::CFlightplan& plan);
    bool ExportAirbusX(const aviation::CFlightplan& plan);
    bool ExportSquawkBox(const aviation::CFlightplan& plan);

    // The file `name` in `folder`, the name made safe; empty when no folder is set.
    static QString PathIn(const QString& folder, const QString& name);
    // Writes the bytes to `path` completely or not at all; false after the "can not open file" report.
    bool WriteFile(const QString& path, const QString& name, const QByteArray& content);
    void ReportWritten(const QString& path);
    void ReportNotOpened(const QString& pathOrName);
    void Log(const QString& text);
    void SetIcon(bool ok);

    QWidget* m_page;
    Ui::Aerovane_ProClass* m_form;
    CMainWindowHost* m_host;
};
