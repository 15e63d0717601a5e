// Termination requests from outside the program (SIGTERM, SIGINT, SIGHUP) turned into a close of the window, so
// that the program ends as it does when the user closes it: the log says "(Main) Close" and the next start
// does not take the run for a crash. The handler only writes a byte into a pipe; the window closes when the
// event loop reads it.
#pragma once

#include <QObject>

class QSocketNotifier;
class QWidget;

class TerminationSignals : public QObject
{
public:
    // Installs the handlers for the life of the object; one object at a time.
    explicit TerminationSignals(QWidget* window);
    ~TerminationSignals() override;

private:
    void OnSignal();

    QWidget* m_window;
    QSocketNotifier* m_notifier = nullptr;
};
