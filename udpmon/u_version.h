#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace ostrel {

// The version dialog "版本信息": the program's name and version, the makers'
// notice and the release notes. It has no logic.
class Tf_version final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Tf_version)

public:
    explicit Tf_version(QWidget* parent = nullptr);

    QLabel* ProductLabel;
    QLabel* NoticeLabel;
    QPlainTextEdit* NotesMemo;
    QPushButton* OKButton;
};

} // namespace ostrel
