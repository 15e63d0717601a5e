#include "app/tipdlg.h"

#include "platform/clock.h"
#include "platform/random.h"
#include "settings/settings.h"

#include <utility>

TipDlg::TipDlg(TipList tips, QWidget* parent)
    : QDialog(parent)
    , m_tips(std::move(tips))
{
    Init();
    if (m_tips.empty())
        return;
    Shuffle();
    ShowTip();
}

TipDlg::~TipDlg() = default;

void TipDlg::Init()
{
    // The icons live in a static library; make sure they are registered.
    Q_INIT_RESOURCE(images);
    ui.setupUi(this);
    connect(ui.toolButton_back, &QToolButton::clicked, this, &TipDlg::ButtonBackward);
    connect(ui.toolButton_forward, &QToolButton::clicked, this, &TipDlg::ButtonForward);
    if (m_tips.size() < 2) {
        ui.toolButton_back->setEnabled(false);
        ui.toolButton_forward->setEnabled(false);
    }
}

void TipDlg::Shuffle()
{
    platform::SeedRandom(static_cast<std::uint32_t>(platform::NowSeconds()));
    for (int i = 1; i < int(m_tips.size()); ++i)
        std::swap(m_tips[i], m_tips[platform::RandomInt(0, i)]);
}

void TipDlg::ShowTip()
{
    ui.textBrowser->setHtml(m_tips[m_index].first);
}

int TipDlg::exec()
{
    const int result = QDialog::exec();
    CSettings::SetShowTipDialog(!ui.checkBox_dontShowAgain->isChecked());
    return result;
}

void TipDlg::ButtonBackward()
{
    if (m_tips.empty())
        return;
    if (--m_index < 0)
        m_index = int(m_tips.size()) - 1;
    ShowTip();
}

void TipDlg::ButtonForward()
{
    if (m_tips.empty())
        return;
    if (++m_index >= int(m_tips.size()))
        m_index = 0;
    ShowTip();
}
