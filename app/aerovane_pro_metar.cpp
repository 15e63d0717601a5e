// The Weather page's METAR display.
#include "app/aerovane_pro.h"

#include <QListWidget>
#include <QTextEdit>

void Aerovane_Pro::ShowMetar(aviation::weather::CMetar& metar)
{
    const QString raw = QString::fromStdWString(metar.GetRaw());
    if (!raw.isEmpty())
        ui.listWidgetMetarRaw->addItem(raw);
}

void Aerovane_Pro::ShowNoMetarNearby(const QString& text)
{
    ui.listWidgetMetarRaw->insertItem(0, text);
    ui.textEditMetarDecoded->clear();
}
