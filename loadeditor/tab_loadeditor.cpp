#include "loadeditor/tab_loadeditor.h"

#include "forms/mainwindowform.h"

#include <QVBoxLayout>

namespace {

QVBoxLayout* MakeRowLayout(QWidget* host)
{
    auto* layout = new QVBoxLayout(host);
    layout->setSpacing(1);
    layout->setContentsMargins(2, 2, 2, 2);
    return layout;
}

} // namespace

CTab_LoadEditor::CTab_LoadEditor(QWidget* parent)
    : QWidget(parent)
{
    // A widget class of its own draws no style-sheet background unless asked to; the form gives the page one.
    setAttribute(Qt::WA_StyledBackground, true);
}

CTab_LoadEditor::~CTab_LoadEditor() = default;

void CTab_LoadEditor::Init(Aerovane_Pro* window, CConnectWorker* worker)
{
    m_window = window;
    m_connectWorker = worker;
    m_form = CMainWindowForm::FormOf(this);
    if (m_form == nullptr)
        return;
    m_fuelLayout = MakeRowLayout(m_form->widget_ScrollMainFuel);
    m_payloadLayout = MakeRowLayout(m_form->widget_ScrollMainPayload);
    connect(m_form->pushButton_Refresh, &QPushButton::clicked, this, &CTab_LoadEditor::OnButtonRefresh);
    connect(m_form->pushButton_Cancel, &QPushButton::clicked, this, &CTab_LoadEditor::OnButtonCancel);
    connect(m_form->pushButton_Apply, &QPushButton::clicked, this, &CTab_LoadEditor::OnButtonApply);
}

void CTab_LoadEditor::SetFuel(const aviation::structs::CAircraftFuel& fuel)
{
    m_fuel = fuel;
}

void CTab_LoadEditor::SetAircraftDetails(const aviation::structs::CAircraftDetail& /*aircraft*/) { }

void CTab_LoadEditor::OnButtonApply() { }

void CTab_LoadEditor::OnButtonCancel() { }

void CTab_LoadEditor::OnButtonRefresh() { }
