// A tool button of the user's own: clicked, it starts the program or document it points at, or opens its
// folder, through the desktop's launcher.
#pragma once

#include <QString>
#include <QToolButton>

class UserButton : public QToolButton
{
    Q_OBJECT

public:
    // What a click does with the target.
    enum Kind { None = 0, Run = 1, Folder = 2 };

    UserButton(const QString& target, int kind, QWidget* parent = nullptr);
    ~UserButton() override;

public slots:
    // Kind 1 hands the target over as it is, kind 2 opens it as a folder; any other kind does nothing. The
    // launcher's result goes to Qt's debug output only.
    void OnButtonClicked();

private:
    QString m_target;
    int m_kind;
};
