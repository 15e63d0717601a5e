#include "app/userbutton.h"
#include "recordinglauncher.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

QStringList g_debugLines;

void CollectDebugLine(QtMsgType, const QMessageLogContext&, const QString& text)
{
    g_debugLines << text;
}

// Collects Qt's debug output while it lives.
class DebugLines
{
public:
    DebugLines()
        : m_previous(qInstallMessageHandler(CollectDebugLine))
    {
        g_debugLines.clear();
    }
    ~DebugLines() { qInstallMessageHandler(m_previous); }
    QStringList Lines() const { return g_debugLines; }

private:
    QtMessageHandler m_previous;
};

} // namespace

TEST(UserButton, KindDecidesWhatIsHandedToTheShell)
{
    struct Case
    {
        int kind;
        QString target;
        // Expected call: none when the operation is null.
        QString operation;
        QString launched;
    };
    const std::vector<Case> cases = {
        {UserButton::None, "/opt/tools/metar-viewer", QString(), QString()},
        {3, "/opt/tools/metar-viewer", QString(), QString()},
        {-1, "/opt/tools/metar-viewer", QString(), QString()},
        {UserButton::Run, "/home/pilot/charts/EDDF.pdf", "", "/home/pilot/charts/EDDF.pdf"},
        {UserButton::Folder, "/opt/tools", "open", "/opt/tools/"},
        // The separator is appended even after one already there.
        {UserButton::Folder, "/opt/tools/", "open", "/opt/tools//"},
    };
    for (const Case& c : cases) {
        RecordingLauncher launcher(2);
        platform::ScopedLauncher installed(launcher);
        DebugLines debug;
        UserButton button(c.target, c.kind);
        button.OnButtonClicked();
        if (c.operation.isNull()) {
            EXPECT_TRUE(launcher.calls.empty()) << c.kind;
            EXPECT_TRUE(debug.Lines().isEmpty()) << c.kind;
            continue;
        }
        ASSERT_EQ(launcher.calls.size(), 1u) << c.kind;
        EXPECT_EQ(launcher.calls[0].first, c.operation);
        EXPECT_EQ(launcher.calls[0].second, c.launched);
        // A failure code of the shell shows up only here.
        EXPECT_EQ(debug.Lines(), QStringList{"ShellExecute result=2"});
    }
}
