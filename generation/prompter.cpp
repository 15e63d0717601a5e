#include "generation/prompter.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QPixmap>
#include <QPrintDialog>
#include <QPushButton>

namespace {

// The modal boxes of the window system, parented to the window the request names or else the active window.
class CMessageBoxPrompter : public CPrompter
{
public:
    PromptAnswer Ask(const PromptRequest& request) override { return Show(request, QString()).answer; }

    PromptResult AskWithCheckBox(const PromptRequest& request, const QString& checkBoxText) override
    {
        return Show(request, checkBoxText);
    }

    QString Choose(const ChooserRequest& request) override
    {
        QWidget* parent = QApplication::activeWindow();
        switch (request.kind) {
        case ChooserKind::OpenFile:
            return QFileDialog::getOpenFileName(parent, request.caption, request.directory, request.filter);
        case ChooserKind::SaveFile:
            return QFileDialog::getSaveFileName(parent, request.caption, request.directory, request.filter);
        case ChooserKind::Folder:
            return QFileDialog::getExistingDirectory(parent, request.caption, request.directory);
        }
        return QString();
    }

    int AskWithButtons(const PromptRequest& request, const QStringList& buttons) override
    {
        QMessageBox box(QMessageBox::Question, request.title, request.text, QMessageBox::NoButton, Parent(request));
        QList<QAbstractButton*> added;
        for (const QString& text : buttons)
            added << box.addButton(text, QMessageBox::ActionRole);
        box.exec();
        return added.indexOf(box.clickedButton());
    }

    bool ChoosePrinter(QPrinter& printer) override
    {
        QPrintDialog dialog(&printer, QApplication::activeWindow());
        return dialog.exec() == QDialog::Accepted;
    }

private:
    static QWidget* Parent(const PromptRequest& request)
    {
        return request.parent ? request.parent : QApplication::activeWindow();
    }

    static PromptResult Show(const PromptRequest& request, const QString& checkBoxText)
    {
        static const QMessageBox::Icon icons[]
            = {QMessageBox::Information, QMessageBox::Warning, QMessageBox::Critical, QMessageBox::Question};
        const bool question = request.kind == PromptKind::Question;
        QMessageBox box(icons[static_cast<int>(request.kind)], request.title, request.text,
                        question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, Parent(request));
        if (!request.iconPixmap.isEmpty())
            box.setIconPixmap(QPixmap(request.iconPixmap));
        if (!checkBoxText.isEmpty())
            box.setCheckBox(new QCheckBox(checkBoxText, &box));
        const int answer = box.exec();
        PromptResult result;
        result.checkBoxTicked = box.checkBox() && box.checkBox()->isChecked();
        if (question)
            result.answer = answer == QMessageBox::Yes ? PromptAnswer::Yes : PromptAnswer::No;
        return result;
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
