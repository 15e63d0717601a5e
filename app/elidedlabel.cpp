#include "app/elidedlabel.h"

#include <QPainter>
#include <QStyle>

#include <algorithm>

CElidedLabel::CElidedLabel(QWidget* parent)
    : QLabel(parent)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

void CElidedLabel::SetKeptWidth(int pixels)
{
    m_keptWidth = pixels;
    updateGeometry();
}

// Room for an ellipsis and a few letters, or as much of the text as the kept width holds; the rest of the text is
// shown as far as the row allows.
QSize CElidedLabel::minimumSizeHint() const
{
    const int fewLetters = fontMetrics().horizontalAdvance(QStringLiteral("Mm…"));
    const int kept = std::min(
        m_keptWidth, fontMetrics().horizontalAdvance(text()) + contentsMargins().left() + contentsMargins().right());
    return {std::max(fewLetters, kept), QLabel::minimumSizeHint().height()};
}

void CElidedLabel::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    const QRect area = contentsRect();
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, area.width());
    style()->drawItemText(&painter, area, QStyle::visualAlignment(layoutDirection(), alignment()), palette(),
                          isEnabled(), shown, foregroundRole());
}
