// Where the main window opens: its stored (or default) geometry kept wholly on an available screen area, so that
// the window and its status bar can always be seen and reached.
#pragma once

#include <QList>
#include <QRect>

namespace windowplacement {

// The rectangle moved, and shrunk where it is larger, into the screen area it overlaps most. One that overlaps no
// area, or has no size, is replaced by the default size (shrunk to fit) centred on the first area, the primary
// screen's.
QRect FitIntoScreens(const QRect& wanted, const QSize& defaultSize, const QList<QRect>& availableAreas);

} // namespace windowplacement
