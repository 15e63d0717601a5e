#include "app/wxstatusbar.h"

#include "app/elidedlabel.h"
#include "settings/settings.h"

#include <QLabel>
#include <QProgressBar>

CWXStatusBar::CWXStatusBar(QWidget* parent)
    : QStatusBar(parent)
    , m_progressBar(new QProgressBar())
    , m_progressLabel(new CElidedLabel())
    , m_statusLabel(new CElidedLabel())
    , m_serverLabel(new QLabel())
    , m_versionLabel(new QLabel())
{
    m_progressBar->setRange(0, 100);
    m_progressBar->setTextVisible(true);
    m_progressBar->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    m_progressBar->setMinimumSize(100, 15);
    m_progressBar->setFixedWidth(100);
    m_versionLabel->setText(QStringLiteral("v") + CSettings::GetClientVersion());
    // A failure and its next try ("Download weather failed: connection refused, next try in 60 s") stay readable
    // in a window of the default width: the connection text gives way first.
    m_progressLabel->SetKeptWidth(420);
    m_serverLabel->setObjectName(QStringLiteral("weatherServer"));
    m_serverLabel->setVisible(false);

    addWidget(m_progressBar.get(), 0);
    // The progress and connection texts each get their whole text while the bar is wide enough for both, the
    // progress text what is left over; narrower, the connection text is cut first, then the progress text.
    addWidget(m_progressLabel.get(), 1);
    addWidget(m_statusLabel.get(), 0);
    addWidget(m_serverLabel.get(), 0);
    addWidget(m_versionLabel.get(), 0);
}

// The widgets go before the bar itself; deleting a child widget takes it out of its parent.
CWXStatusBar::~CWXStatusBar()
{
    m_versionLabel.reset();
    m_serverLabel.reset();
    m_statusLabel.reset();
    m_progressLabel.reset();
    m_progressBar.reset();
}

void CWXStatusBar::SetProgressRange(qint64 minimum, qint64 maximum)
{
    m_progressBar->setRange(static_cast<int>(minimum), static_cast<int>(maximum));
}

void CWXStatusBar::SetProgressValue(qint64 value)
{
    m_progressBar->setTextVisible(value > 0);
    m_progressBar->setValue(static_cast<int>(value));
}

void CWXStatusBar::ResetProgress(bool textVisible)
{
    m_progressBar->setValue(0);
    m_progressBar->setTextVisible(textVisible);
}

void CWXStatusBar::SetProgressText(const QString& text, const QString& toolTip)
{
    m_progressLabel->setText(text);
    m_progressLabel->setToolTip(toolTip);
}

void CWXStatusBar::SetProgressToolTip(const QString& toolTip)
{
    m_progressLabel->setToolTip(toolTip);
}

void CWXStatusBar::SetStatusText(const QString& text)
{
    m_statusLabel->setText(text);
}

void CWXStatusBar::SetServerText(const QString& text)
{
    m_serverLabel->setText(text);
    m_serverLabel->setVisible(!text.isEmpty());
}

void CWXStatusBar::SetStatusToolTip(const QString& toolTip)
{
    m_statusLabel->setToolTip(toolTip);
}
