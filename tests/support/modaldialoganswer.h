// Answers the modal dialogs of one type that the code under test opens with exec(): once such a dialog is the
// active modal widget, the answer function gets it (to fill in its fields) and says whether it is accepted.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>

#include <functional>

template<typename Dialog> class ModalDialogAnswer
{
public:
    explicit ModalDialogAnswer(std::function<bool(Dialog&)> answer)
        : m_answer(std::move(answer))
    {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Poll(); });
        m_timer.start();
    }

    // How many dialogs were answered, and the last one while it still exists.
    int Answered() const { return m_answered; }
    Dialog* Last() const { return m_last.data(); }

private:
    void Poll()
    {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        // Accepting or rejecting hides the dialog, which takes it off the modal stack: each run is answered once.
        if (!dialog || !dialog->isVisible())
            return;
        m_last = dialog;
        ++m_answered;
        if (m_answer(*dialog))
            dialog->accept();
        else
            dialog->reject();
    }

    std::function<bool(Dialog&)> m_answer;
    QTimer m_timer;
    QPointer<Dialog> m_last;
    int m_answered = 0;
};
