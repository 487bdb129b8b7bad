#pragma once

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTextEdit>
#include <QWidget>

// The controls below `root` that assistive tools cannot name: buttons, text
// fields, spin boxes and lists whose accessible name is empty. The toolkit's
// own parts (object names starting with "qt_") and the insides of file
// dialogs and message boxes, which name their controls themselves, are not
// looked at. Each entry reads "class objectName".
inline QStringList ControlsWithoutAccessibleName(const QWidget* root)
{
    QStringList unnamed;
    for (QWidget* widget : root->findChildren<QWidget*>()) {
        const bool control = qobject_cast<QAbstractButton*>(widget) || qobject_cast<QLineEdit*>(widget)
            || qobject_cast<QAbstractSpinBox*>(widget) || qobject_cast<QComboBox*>(widget)
            || qobject_cast<QPlainTextEdit*>(widget) || qobject_cast<QTextEdit*>(widget);
        if (!control || widget->objectName().startsWith(QLatin1String("qt_")))
            continue;
        bool inside = false;
        for (QWidget* up = widget->parentWidget(); up != nullptr && !inside; up = up->parentWidget())
            inside = qobject_cast<QFileDialog*>(up) != nullptr || qobject_cast<QMessageBox*>(up) != nullptr
                || qobject_cast<QComboBox*>(up) != nullptr || qobject_cast<QAbstractSpinBox*>(up) != nullptr;
        if (inside)
            continue;
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
        if (face == nullptr || face->text(QAccessible::Name).trimmed().isEmpty())
            unnamed.append(QString::fromLatin1(widget->metaObject()->className()) + QLatin1Char(' ')
                           + widget->objectName());
    }
    return unnamed;
}
