#pragma once

class QFileDialog;
class QString;
class QWidget;

namespace monitor {

// The four file dialogs of the frame logs. They live for the whole run, so
// each remembers the folder and the name last used. The receive dialogs
// offer *.rcv, *.txt, *.dat and *.*, default extension "rcv"; the send
// dialogs *.snd, *.txt, *.dat and *.*, default extension "snd". Saving the
// receive text asks before replacing a file; saving the send text does not.
// Opening accepts only a file that exists. Both programs use the same four.
class FrameLogDialogs final {
public:
    explicit FrameLogDialogs(QWidget* parent);
    FrameLogDialogs(const FrameLogDialogs&) = delete;
    FrameLogDialogs& operator=(const FrameLogDialogs&) = delete;

    // Runs the dialog modally: the chosen file, or an empty text.
    [[nodiscard]] static QString Run(QFileDialog& dialog);

    QFileDialog* SaveDialog1; // save receive text
    QFileDialog* SaveDialog2; // save send text
    QFileDialog* OpenDialog1; // load receive text
    QFileDialog* OpenDialog2; // load send text
};

} // namespace monitor
