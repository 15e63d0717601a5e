// One run of the planner's export: asks for the FSX/P3D folder while none is set, lets the user tick the formats
// in the export options dialog and writes the calculated plan in each ticked format into that format's folder,
// FSX/P3D first, then FS2004, X-Plane, Airbus X and SquawkBox. One message lists every ticked format that was not
// written and why; the export button's icon is the ok one only when every ticked format was written. A connected
// simulator loads the FSX/P3D plan at once.
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
    // Each step writes its file and logs it; why the file was not written ("no folder set", "cannot write
    // <path>"), empty when it was.
    QString ExportFSX(const aviation::CFlightplan& plan);
    QString ExportFS9(const aviation::CFlightplan& plan);
    QString ExportXPlane(const aviation::CFlightplan& plan);
    QString ExportAirbusX(const aviation::CFlightplan& plan);
    QString ExportSquawkBox(const aviation::CFlightplan& plan);

    // The file `name` in `folder`, the name made safe; empty when no folder is set.
    static QString PathIn(const QString& folder, const QString& name);
    // Writes the bytes to `path` completely or not at all; as a step's result.
    QString WriteFile(const QString& path, const QString& name, const QByteArray& content);
    void ReportWritten(const QString& path);
    void ReportNotOpened(const QString& pathOrName);
    void Log(const QString& text);
    void SetIcon(bool ok);

    QWidget* m_page;
    Ui::Aerovane_ProClass* m_form;
    CMainWindowHost* m_host;
};
