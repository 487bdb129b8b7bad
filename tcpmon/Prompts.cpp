#include "tcpmon/Prompts.h"

#include "widgets/BoxParent.h"
#include "widgets/ErrorBoxApplication.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace tamrel {

Prompts DefaultPrompts()
{
    Prompts prompts;
    prompts.Message = [](const QString& text) {
        QMessageBox::information(MessageBoxParent(), QCoreApplication::applicationName(), text);
    };
    prompts.ErrorBox = [](const std::exception& error) { ShowErrorBox(error); };
    prompts.Question = [](const QString& text, const QString& title) {
        return QMessageBox::question(MessageBoxParent(), title, text, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No)
            == QMessageBox::Yes;
    };
    prompts.RunFileDialog = [](QFileDialog& dialog) {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return dialog.selectedFiles().constFirst();
    };
    return prompts;
}

} // namespace tamrel
