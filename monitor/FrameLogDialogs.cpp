#include "monitor/FrameLogDialogs.h"

#include "monitor/ReceiveLine.h"
#include "platform/FreeMemory.h"
#include "platform/TextFile.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFileDialog>
#include <QFileSystemModel>

namespace monitor {
namespace {

const QStringList kReceiveFilters{QStringLiteral("*.rcv"), QStringLiteral("*.txt"), QStringLiteral("*.dat"),
                                  QStringLiteral("*.*")};
const QStringList kSendFilters{QStringLiteral("*.snd"), QStringLiteral("*.txt"), QStringLiteral("*.dat"),
                               QStringLiteral("*.*")};

// A file dialog lists its folder afresh each time it opens and follows it
// while it is open, never while it is closed: a closed dialog that followed
// its folder would read it again at every change and keep a row for every
// file that ever appeared there (the timed save adds one at each tick), for
// as long as the program runs.
class ListFolderWhileOpen final : public QObject {
public:
    explicit ListFolderWhileOpen(QFileDialog* dialog)
        : QObject(dialog)
        , dialog_(dialog)
    {
        Follow(false);
        dialog->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == dialog_ && event->type() == QEvent::Show)
            Follow(true);
        else if (watched == dialog_ && event->type() == QEvent::Hide)
            Follow(false);
        return QObject::eventFilter(watched, event);
    }

private:
    void Follow(bool on)
    {
        auto* model = dialog_->findChild<QFileSystemModel*>();
        if (model == nullptr)
            return;
        model->setOption(QFileSystemModel::DontWatchForChanges, !on);
        if (!on)
            return;
        // The model reads a folder again only when it becomes the root
        // anew: through the computer's root and back.
        const QString folder = model->rootPath();
        model->setRootPath(QString());
        model->setRootPath(folder);
    }

    QFileDialog* dialog_;
};

QFileDialog* MakeDialog(QWidget* parent, const char* name, QFileDialog::AcceptMode mode, const QStringList& filters,
                        const QString& suffix, bool confirmReplace)
{
    auto* dialog = new QFileDialog(parent);
    dialog->setObjectName(QString::fromLatin1(name));
    dialog->setAcceptMode(mode);
    dialog->setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog->setNameFilters(filters);
    dialog->setDefaultSuffix(suffix);
    dialog->setOption(QFileDialog::DontConfirmOverwrite, !confirmReplace);
    // The toolkit's own dialog: the same on every desktop, and it can be
    // driven by tests.
    dialog->setOption(QFileDialog::DontUseNativeDialog, true);
    dialog->setSizeGripEnabled(true);
    new ListFolderWhileOpen(dialog);
    return dialog;
}

} // namespace

FrameLogDialogs::FrameLogDialogs(QWidget* parent)
    : SaveDialog1(MakeDialog(parent, "SaveDialog1", QFileDialog::AcceptSave, kReceiveFilters, QStringLiteral("rcv"), true))
    , SaveDialog2(MakeDialog(parent, "SaveDialog2", QFileDialog::AcceptSave, kSendFilters, QStringLiteral("snd"), false))
    , OpenDialog1(MakeDialog(parent, "OpenDialog1", QFileDialog::AcceptOpen, kReceiveFilters, QStringLiteral("rcv"), false))
    , OpenDialog2(MakeDialog(parent, "OpenDialog2", QFileDialog::AcceptOpen, kSendFilters, QStringLiteral("snd"), false))
{
}

void FrameLogDialogs::SaveLines(QFileDialog& dialog, const Runner& run, const std::function<QStringList()>& lines)
{
    const QString path = run(dialog);
    if (!path.isEmpty())
        SaveTextLines(path, lines());
}

void FrameLogDialogs::LoadLines(QFileDialog& dialog, const Runner& run, Window window,
                                const std::function<void(const QStringList& lines)>& show)
{
    const QString path = run(dialog);
    if (path.isEmpty())
        return;
    {
        const int limit = window == Window::Receive ? kLoadedReceiveLimit : kLoadedSendLimit;
        LoadedText loaded = LoadTrimmedTextLinesCut(path, limit, kLongestWrittenLineBytes);
        if (loaded.cutLines > 0)
            loaded.lines.append(CutLinesNote(window, loaded.cutLines, kLongestWrittenLineBytes));
        show(loaded.lines);
    }
    GiveFreedMemoryBack();
}

QString FrameLogDialogs::CutLinesNote(Window window, qsizetype cut, qint64 bytes)
{
    const QString note
        = QCoreApplication::translate("monitor::FrameLogDialogs", "有%1行过长，已截断为前%2字节").arg(cut).arg(bytes);
    return window == Window::Send ? QStringLiteral("// ") + note : note;
}

QString FrameLogDialogs::Run(QFileDialog& dialog)
{
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

} // namespace monitor
