// Every modal message box that timers, weather generation, start-up or commands raise goes through the one
// installed prompter, so that tests can answer the boxes without a nested event loop.
#pragma once

#include <QString>
#include <QStringList>

class QPrinter;
class QWidget;

// Question boxes offer Yes and No, the others OK.
enum class PromptKind { Information, Warning, Critical, Question };
enum class PromptAnswer { Ok, Yes, No };

struct PromptResult
{
    PromptAnswer answer = PromptAnswer::Ok;
    bool checkBoxTicked = false;
};

// The file and folder choosers: open an existing file, name a file to save, pick a folder.
enum class ChooserKind { OpenFile, SaveFile, Folder };

struct ChooserRequest
{
    ChooserKind kind = ChooserKind::OpenFile;
    QString caption;
    // The folder (or proposed file path) the chooser starts in.
    QString directory;
    // Name filters as the file dialogs take them ("Flight plans (*.pln *.fms)"), empty for every file.
    QString filter;
};

struct PromptRequest
{
    PromptKind kind = PromptKind::Information;
    QString title;
    QString text;
    // A pixmap resource shown instead of the kind's icon (the tips box), empty for the kind's own icon.
    QString iconPixmap;
    // The window the box stands over; null for the active window.
    QWidget* parent = nullptr;
};

class CPrompter
{
public:
    virtual ~CPrompter() = default;
    // Shows the box and returns when it was closed; Ok for boxes without a question.
    virtual PromptAnswer Ask(const PromptRequest& request) = 0;
    // The same box with a check box below its text ("Don't show again."); ticking it does not close the box.
    // Prompters that know no check box answer as Ask does, the box left clear.
    virtual PromptResult AskWithCheckBox(const PromptRequest& request, const QString& /*checkBoxText*/)
    {
        return {Ask(request), false};
    }
    // Shows a file or folder chooser and returns the chosen path, empty when it was cancelled. Prompters that
    // know no chooser answer as a cancelled one.
    virtual QString Choose(const ChooserRequest& /*request*/) { return QString(); }
    // A question box whose buttons carry the given texts, in this order: the index of the pressed one, -1 when
    // the box was closed otherwise. Prompters that know no such box answer as a closed one.
    virtual int AskWithButtons(const PromptRequest& /*request*/, const QStringList& /*buttons*/) { return -1; }
    // The print dialog on the printer: true when accepted, the printer then set up as chosen. Prompters that
    // know no print dialog answer as a cancelled one.
    virtual bool ChoosePrinter(QPrinter& /*printer*/) { return false; }
};

// The installed prompter: the modal message boxes of the window system unless a test installed another one.
CPrompter& Prompter();
// Installs a prompter (not owned); null restores the message boxes. Returns the previous one (null for the
// message boxes).
CPrompter* InstallPrompter(CPrompter* prompter);

// Installs a prompter for its lifetime.
class ScopedPrompter
{
public:
    explicit ScopedPrompter(CPrompter& prompter)
        : m_previous(InstallPrompter(&prompter))
    {
    }
    ~ScopedPrompter() { InstallPrompter(m_previous); }
    ScopedPrompter(const ScopedPrompter&) = delete;
    ScopedPrompter& operator=(const ScopedPrompter&) = delete;

private:
    CPrompter* m_previous;
};
