#include "widgets/BoxParent.h"

#include <QApplication>
#include <QMainWindow>

QWidget* MessageBoxParent()
{
    if (QWidget* active = QApplication::activeWindow())
        return active;
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMainWindow*>(window) != nullptr && window->isVisible())
            return window;
    }
    return nullptr;
}
