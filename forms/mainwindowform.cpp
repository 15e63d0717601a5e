#include "forms/mainwindowform.h"

CMainWindowForm::CMainWindowForm(QWidget* parent)
    : QMainWindow(parent)
    , ui()
{
    // The form's icons and backgrounds live in a static library; make sure they are registered.
    Q_INIT_RESOURCE(images);
}

CMainWindowForm::~CMainWindowForm() = default;

Ui::Aerovane_ProClass* CMainWindowForm::FormOf(QWidget* widget)
{
    if (widget == nullptr)
        return nullptr;
    auto* window = qobject_cast<CMainWindowForm*>(widget->window());
    return window == nullptr ? nullptr : &window->ui;
}
