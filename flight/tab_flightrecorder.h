// The flight recorder page of the main window. The window's form creates the page and every widget on it; the
// page reaches those widgets through the form once the window has handed itself over with SetUi.
#pragma once

#include <QWidget>

class Aerovane_Pro;
namespace Ui {
class Aerovane_ProClass;
}

class CTab_Flightrecorder : public QWidget
{
public:
    explicit CTab_Flightrecorder(QWidget* parent = nullptr);
    ~CTab_Flightrecorder() override;

    // Called once by the window after its form is built.
    void SetUi(Aerovane_Pro* window);

    // Recording is switched on and off by the window's start/stop command.
    bool IsRecording() const { return m_recording; }
    void SetRecording(bool recording) { m_recording = recording; }

    // Stops recording and empties the time and status fields.
    void ClearFields();
    // The list of recorded flights; it has nothing to show yet.
    void ShowFlights();

private:
    Aerovane_Pro* m_window = nullptr;
    Ui::Aerovane_ProClass* m_form = nullptr;
    bool m_recording = false;
};
