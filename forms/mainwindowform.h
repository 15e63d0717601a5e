// The main window's surface: a QMainWindow that carries the designer form record of the window as its member
// `ui`. The window derives from it and builds the form into itself with `ui.setupUi(this)`; the pages the form
// hosts (planner, recorder, load editor) find the form through it without depending on the window's own code.
#pragma once

#include "ui_aerovane_pro.h"

#include <QMainWindow>

class CMainWindowForm : public QMainWindow
{
    Q_OBJECT

public:
    explicit CMainWindowForm(QWidget* parent = nullptr);
    ~CMainWindowForm() override;

    // The form of the main window that shows `widget`, or null while the widget is not inside one.
    static Ui::Aerovane_ProClass* FormOf(QWidget* widget);

    Ui::Aerovane_ProClass ui;
};
