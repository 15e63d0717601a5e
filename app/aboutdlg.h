// The about box: logo, client and weather server versions, links to the web site, support page and support mail.
#pragma once

#include "ui_aboutdlg.h"

#include <QDialog>

class AboutDlg : public QDialog
{
    Q_OBJECT

public:
    // The box stands on its own: the parent is not taken. The versions are read once, here.
    explicit AboutDlg(QWidget* parent = nullptr);
    ~AboutDlg() override;

private:
    Ui::Dialog_About ui;
};
