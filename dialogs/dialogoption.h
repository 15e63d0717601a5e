// The options dialog, in which the user edits the program's settings; the main window runs it modally.
#pragma once

#include "dialogs/userbuttonlist.h"

#include <QDialog>

class DialogOption : public QDialog
{
    Q_OBJECT

public:
    explicit DialogOption(QWidget* parent = nullptr);
    ~DialogOption() override;

private:
    UserButtonList m_userButtons;
};
