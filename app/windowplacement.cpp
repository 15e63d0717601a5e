#include "app/windowplacement.h"

#include <algorithm>

namespace windowplacement {

namespace {

qint64 OverlapArea(const QRect& a, const QRect& b)
{
    const QRect overlap = a.intersected(b);
    return overlap.isEmpty() ? 0 : qint64(overlap.width()) * overlap.height();
}

} // namespace

QRect FitIntoScreens(const QRect& wanted, const QSize& defaultSize, const QList<QRect>& availableAreas)
{
    if (availableAreas.isEmpty())
        return wanted;
    const QRect* area = &availableAreas.front();
    qint64 largest = 0;
    for (const QRect& candidate : availableAreas) {
        const qint64 overlap = OverlapArea(wanted, candidate);
        if (overlap > largest) {
            largest = overlap;
            area = &candidate;
        }
    }
    if (largest == 0) {
        QRect centred(QPoint(), defaultSize.boundedTo(area->size()));
        centred.moveCenter(area->center());
        return centred;
    }
    QRect fitted(wanted.topLeft(), wanted.size().boundedTo(area->size()));
    fitted.moveLeft(std::clamp(fitted.left(), area->left(), area->right() - fitted.width() + 1));
    fitted.moveTop(std::clamp(fitted.top(), area->top(), area->bottom() - fitted.height() + 1));
    return fitted;
}

} // namespace windowplacement
