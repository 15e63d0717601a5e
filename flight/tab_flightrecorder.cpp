#include "flight/tab_flightrecorder.h"

#include "forms/mainwindowform.h"

CTab_Flightrecorder::CTab_Flightrecorder(QWidget* parent)
    : QWidget(parent)
{
}

CTab_Flightrecorder::~CTab_Flightrecorder() = default;

void CTab_Flightrecorder::SetUi(Aerovane_Pro* window)
{
    m_window = window;
    m_form = CMainWindowForm::FormOf(this);
}

void CTab_Flightrecorder::ClearFields()
{
    m_recording = false;
    if (m_form == nullptr)
        return;
    for (QLineEdit* field : {m_form->lineEdit_OffBlockTime, m_form->lineEdit_OnBlockTime, m_form->lineEdit_TakeOffTime,
                             m_form->lineEdit_LandingTime, m_form->lineEdit_FlighTime, m_form->lineEdit_FlightStatus})
        field->setText(QString());
}

void CTab_Flightrecorder::ShowFlights() { }
