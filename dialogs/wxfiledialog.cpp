#include "dialogs/wxfiledialog.h"

#include "dialogs/wxfilecontent.h"
#include "generation/prompter.h"
#include "platform/filename.h"
#include "platform/programfolder.h"
#include "platform/regularfile.h"

#include <QApplication>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QProgressDialog>
#include <QSaveFile>

namespace {

bool g_failWrites = false;

// The progress of one save or load: a window-modal box whose steps let pending events run.
class FileProgress
{
public:
    FileProgress(const QString& title, QWidget* parent)
        : m_dialog(title, QStringLiteral("Cancel"), 0, 5, parent)
    {
        m_dialog.setWindowModality(Qt::WindowModal);
        m_dialog.setMinimumDuration(0);
        m_dialog.show();
    }

    void Step(int value, const QString& label)
    {
        m_dialog.setValue(value);
        m_dialog.setLabelText(label);
        QApplication::processEvents();
    }

private:
    QProgressDialog m_dialog;
};

} // namespace

WxFileDialog::WxFileDialog(QWidget* parent, int mode, const QString& metar, const QString& synop, const QString& grib)
    : QDialog(parent)
    , m_mode(mode)
    , m_folder(platform::ProgramFolder() + QStringLiteral("/storedWX/"))
    , m_metar(metar)
    , m_synop(synop)
    , m_grib(grib)
{
    Q_INIT_RESOURCE(images);
    ui.setupUi(this);
    if (!QDir(m_folder).exists())
        QDir().mkdir(m_folder);

    QDialogButtonBox* buttonBox = nullptr;
    if (m_mode == Load) {
        ui.lineEdit_Title->setReadOnly(true);
        ui.textEdit_description->setReadOnly(true);
        ui.toolButton_OpenFileDlg->setText(tr("Load WX"));
        buttonBox = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Cancel, Qt::Horizontal, this);
    } else {
        ui.toolButton_OpenFileDlg->setText(tr("Save WX"));
        buttonBox = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel, Qt::Horizontal, this);
    }
    ui.gridLayout->addWidget(buttonBox, 5, 0, 1, 3);
    ui.dateTimeEdit->setDateTime(QDateTime::currentDateTimeUtc());
    connect(buttonBox, &QDialogButtonBox::accepted, this, &WxFileDialog::accept);
    connect(buttonBox, &QDialogButtonBox::rejected, this, &WxFileDialog::reject);
    connect(ui.toolButton_OpenFileDlg, &QToolButton::clicked, this, &WxFileDialog::OpenFileDlg);
}

WxFileDialog::~WxFileDialog() = default;

void WxFileDialog::SetWriteFailureForTesting(bool fail)
{
    g_failWrites = fail;
}

int WxFileDialog::exec()
{
    if (m_mode == Load && !ChooseFileToLoad().isEmpty()) {
        // The load's progress and a "No Weather File" box stand over this dialog: it is shown, modal, first.
        setWindowModality(Qt::ApplicationModal);
        show();
        LoadWxFile();
    }
    return QDialog::exec();
}

void WxFileDialog::OpenFileDlg()
{
    if (m_mode == Load) {
        if (!ChooseFileToLoad().isEmpty())
            LoadWxFile();
    } else {
        ChooseFileAndSave();
    }
}

void WxFileDialog::accept()
{
    // The dialog closes accepted also when the user cancelled the file chooser.
    if (m_mode == Save)
        ChooseFileAndSave();
    QDialog::accept();
}

void WxFileDialog::reject()
{
    QDialog::reject();
}

QString WxFileDialog::DefaultFileName() const
{
    return m_folder + platform::SafeFileName(ui.lineEdit_Title->text()) + QLatin1Char('_')
        + ui.dateTimeEdit->date().toString(QStringLiteral("yyyyMMdd")) + QStringLiteral(".ovyx");
}

QString WxFileDialog::ChooseFileToLoad()
{
    m_filePath
        = Prompter().Choose({ChooserKind::OpenFile, tr("Load Aerovane WX-File"), m_folder, tr("WX Files (*.ovyx)")});
    return m_filePath;
}

void WxFileDialog::ChooseFileAndSave()
{
    m_filePath = Prompter().Choose(
        {ChooserKind::SaveFile, tr("Save Aerovane WX-File"), DefaultFileName(), tr("WX Files (*.ovyx)")});
    if (!m_filePath.isEmpty())
        SaveWxFile();
}

void WxFileDialog::SaveWxFile()
{
    FileProgress progress(QStringLiteral("Aerovane - Save Weather"), this);
    progress.Step(0, QStringLiteral("prepare Metar"));
    const StoredWeather weather{ui.lineEdit_Title->text(),
                                ui.textEdit_description->toPlainText(),
                                ui.lineEdit_airport->text(),
                                ui.dateTimeEdit->dateTime(),
                                m_metar,
                                m_synop,
                                m_grib};
    progress.Step(1, QStringLiteral("Compress File"));
    const QByteArray packed = PackStoredWeather(BuildStoredWeatherText(weather));
    progress.Step(1, QStringLiteral("Write File"));
    QString error;
    if (!WriteStoredFile(packed, error)) {
        progress.Step(2, QStringLiteral("Failed"));
        Prompter().Ask(
            {PromptKind::Warning,
             QStringLiteral("Aerovane - Save Weather"),
             QStringLiteral("Could not save the weather file %1:\n%2").arg(QDir::toNativeSeparators(m_filePath), error),
             {}});
        return;
    }
    progress.Step(2, QStringLiteral("Success"));
}

bool WxFileDialog::WriteStoredFile(const QByteArray& data, QString& error) const
{
    QSaveFile file(m_filePath);
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.errorString();
        return false;
    }
    if (file.write(data) != data.size()) {
        error = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (g_failWrites)
        file.cancelWriting();
    if (!file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

void WxFileDialog::LoadWxFile()
{
    FileProgress progress(QStringLiteral("Aerovane - Load Weather"), this);
    progress.Step(0, QStringLiteral("reading file"));
    const QString notStored = QStringLiteral("it is not a stored weather file");
    QString cause;
    QFile file(m_filePath);
    QByteArray packed;
    if (platform::OpenRegularFile(file, cause)) {
        // No stored file is larger than the limit: such a file is not read at all, and one that grows meanwhile is
        // read one byte beyond it, which the unpacking refuses.
        if (file.size() > kMaxStoredWeatherSize)
            cause = notStored;
        else
            packed = file.read(kMaxStoredWeatherSize + 1);
        if (file.error() != QFileDevice::NoError)
            cause = file.errorString();
    }
    progress.Step(1, QStringLiteral("unpack File"));
    QByteArray content;
    if (cause.isEmpty() && !UnpackStoredWeather(packed, content))
        cause = notStored;
    progress.Step(2, QStringLiteral("prepare File"));
    StoredWeatherFound found;
    if (cause.isEmpty() && !ParseStoredWeatherText(QString::fromUtf8(content), found))
        cause = notStored;
    if (!cause.isEmpty()) {
        Prompter().Ask(
            {PromptKind::Information,
             QStringLiteral("Aerovane - Weather"),
             QStringLiteral("No Weather File\n") + platform::FileRefusal(m_filePath, QStringLiteral("loaded"), cause),
             {},
             this});
        return;
    }

    m_metar = found.metar;
    if (found.synop)
        m_synop = *found.synop;
    if (found.grib)
        m_grib = *found.grib;
    if (found.title)
        ui.lineEdit_Title->setText(*found.title);
    // Plain text: what was typed comes back as typed, markup included.
    if (found.description)
        ui.textEdit_description->setPlainText(*found.description);
    if (found.location)
        ui.lineEdit_airport->setText(*found.location);
    if (found.date && found.date->isValid())
        ui.dateTimeEdit->setDateTime(*found.date);
}
