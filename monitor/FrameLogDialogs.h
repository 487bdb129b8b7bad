#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QFileDialog;
class QWidget;

namespace monitor {

// The four file dialogs of the frame logs. They live for the whole run, so
// each remembers the folder and the name last used; each lists its folder
// afresh when it opens and follows its changes only while it is open. The receive dialogs
// offer *.rcv, *.txt, *.dat and *.*, default extension "rcv"; the send
// dialogs *.snd, *.txt, *.dat and *.*, default extension "snd". Saving the
// receive text asks before replacing a file; saving the send text does not.
// Opening accepts only a file that exists. Both programs use the same four.
class FrameLogDialogs final {
public:
    explicit FrameLogDialogs(QWidget* parent);
    FrameLogDialogs(const FrameLogDialogs&) = delete;
    FrameLogDialogs& operator=(const FrameLogDialogs&) = delete;

    // A loaded receive text of more than 500 lines keeps its last 499, a
    // send text of more than 2000 lines its last 1999.
    static constexpr int kLoadedReceiveLimit = 500;
    static constexpr int kLoadedSendLimit = 2000;

    // Runs the dialog modally: the chosen file, or an empty text.
    [[nodiscard]] static QString Run(QFileDialog& dialog);
    // How a program runs its file dialogs (Run, or a test's answer).
    using Runner = std::function<QString(QFileDialog& dialog)>;

    // Save: asks for a file, then writes the lines `lines` gives at that
    // moment (the window as it is when the dialog closes); nothing when
    // cancelled.
    static void SaveLines(QFileDialog& dialog, const Runner& run, const std::function<QStringList()>& lines);
    // The window a load fills.
    enum class Window { Receive, Send };
    // Load: asks for a file and reads it first, keeping the last limit - 1
    // lines of a longer one (kLoadedReceiveLimit, kLoadedSendLimit); only a
    // regular file that could be read reaches `show`, so a failure leaves
    // the window alone. Nothing when cancelled. Lines longer than any line
    // the programs write (kLongestWrittenLineBytes) are cut as they are
    // read, and CutLinesNote follows the lines kept (besides them: the note
    // never takes a kept line's place). The memory of the text replaced is
    // given back.
    static void LoadLines(QFileDialog& dialog, const Runner& run, Window window,
                          const std::function<void(const QStringList& lines)>& show);
    // The line after loaded lines of which `cut` were cut to `bytes` bytes;
    // in the send window a comment, which sends nothing.
    [[nodiscard]] static QString CutLinesNote(Window window, qsizetype cut, qint64 bytes);

    QFileDialog* SaveDialog1; // save receive text
    QFileDialog* SaveDialog2; // save send text
    QFileDialog* OpenDialog1; // load receive text
    QFileDialog* OpenDialog2; // load send text
};

} // namespace monitor
