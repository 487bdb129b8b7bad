#pragma once

#include <QDialog>

namespace tamrel {

// The about box "版本信息": the program's title line and a short note of
// what this version added.
class Tf_version final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Tf_version)

public:
    Tf_version(const QString& titleLine, const QString& note, QWidget* parent = nullptr);
};

} // namespace tamrel
