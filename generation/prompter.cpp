#include "generation/prompter.h"

#include <QApplication>
#include <QMessageBox>
#include <QPixmap>

namespace {

// The modal boxes of the window system, parented to the active window.
class CMessageBoxPrompter : public CPrompter
{
public:
    PromptAnswer Ask(const PromptRequest& request) override
    {
        static const QMessageBox::Icon icons[]
            = {QMessageBox::Information, QMessageBox::Warning, QMessageBox::Critical, QMessageBox::Question};
        const bool question = request.kind == PromptKind::Question;
        QMessageBox box(icons[static_cast<int>(request.kind)], request.title, request.text,
                        question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, QApplication::activeWindow());
        if (!request.iconPixmap.isEmpty())
            box.setIconPixmap(QPixmap(request.iconPixmap));
        const int answer = box.exec();
        if (!question)
            return PromptAnswer::Ok;
        return answer == QMessageBox::Yes ? PromptAnswer::Yes : PromptAnswer::No;
    }
};

CPrompter* g_installed = nullptr;

} // namespace

CPrompter& Prompter()
{
    static CMessageBoxPrompter messageBoxes;
    return g_installed ? *g_installed : messageBoxes;
}

CPrompter* InstallPrompter(CPrompter* prompter)
{
    CPrompter* previous = g_installed;
    g_installed = prompter;
    return previous;
}
