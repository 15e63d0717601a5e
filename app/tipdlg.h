// The tip-of-the-day dialog: the weather server's tips one at a time in an order drawn anew for every dialog,
// stepped through with wrap-around, with a "don't show again" box kept in info/showtipdialog.
#pragma once

#include "app/serverinfo.h"
#include "ui_tipdlg.h"

#include <QDialog>

class TipDlg : public QDialog
{
    Q_OBJECT

public:
    // The order is drawn from the random source seeded with the clock's seconds, so two dialogs opened within
    // one second show the same order.
    TipDlg(TipList tips, QWidget* parent);
    ~TipDlg() override;

    // Runs the dialog; then info/showtipdialog is true unless "don't show again" was ticked, however the dialog
    // was closed.
    int exec() override;

public slots:
    void ButtonBackward();
    void ButtonForward();

private:
    void Init();
    void Shuffle();
    void ShowTip();

    Ui::DialogTipp ui;
    TipList m_tips;
    int m_index = 0;
};
