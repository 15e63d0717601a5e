#include "dialogs/dialogoption.h"
#include "mainwindowtest.h"
#include "tests/support/modaldialoganswer.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QSet>
#include <QTabWidget>

using OptionsEndToEnd = MainWindowTest;

// The Preferences action runs the options dialog over the window; a picture of each page is left in the build
// folder for a look, and OK with direct wind control switched off stores it and switches the window's wind table off.
TEST_F(OptionsEndToEnd, PreferencesOpensTheDialogAndOkReachesTheWindow)
{
    Aerovane_Pro& window = Window();
    window.show();
    ASSERT_TRUE(window.ui.tableViewDirectWindControl->isEnabled());

    QStringList pictures;
    ModalDialogAnswer<DialogOption> answer([&](DialogOption& dialog) {
        auto* tabs = dialog.findChild<QTabWidget*>(QStringLiteral("tabWidget"));
        for (int page = 0; page < tabs->count(); ++page) {
            tabs->setCurrentIndex(page);
            QApplication::processEvents();
            const QImage picture = dialog.grab().toImage();
            EXPECT_EQ(picture.size(), QSize(857, 590));
            QSet<QRgb> colours;
            for (int y = 0; y < picture.height(); y += 5)
                for (int x = 0; x < picture.width(); x += 5)
                    colours.insert(picture.pixel(x, y));
            EXPECT_GT(colours.size(), 3) << tabs->tabText(page).toStdString();
            const QString path
                = QStringLiteral(AEROVANE_TEST_OUTPUT_DIR "/dialogoption-%1.png").arg(tabs->widget(page)->objectName());
            EXPECT_TRUE(picture.save(path));
            pictures << path;
        }
        dialog.findChild<QCheckBox*>(QStringLiteral("checkBox_DirectWindControl"))->setChecked(false);
        return true;
    });
    window.ui.actionPreference->trigger();

    EXPECT_EQ(answer.Answered(), 1);
    EXPECT_EQ(pictures.size(), 4);
    EXPECT_FALSE(CSettings::GetWindDwc());
    EXPECT_FALSE(window.ui.tableViewDirectWindControl->isEnabled());
}
