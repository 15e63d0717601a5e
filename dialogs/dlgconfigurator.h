// The setup wizard for a first configuration: which simulator, which link and where its folders are.
#pragma once

#include <QDialog>

class DlgConfigurator : public QDialog
{
    Q_OBJECT

public:
    explicit DlgConfigurator(QWidget* parent = nullptr);
    ~DlgConfigurator() override;
};
