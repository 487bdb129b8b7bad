#pragma once

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QHash>
#include <QStringList>
#include <QTextEdit>
#include <QWidget>

// The controls below `root` that assistive tools cannot tell apart: buttons,
// text fields, spin boxes and choosers whose accessible name is empty, a
// chooser named only by its current value (no name of its own), and two
// controls of one window (a dialog, or the main window with what is docked
// in it) with the same name. The toolkit's own parts (object names starting
// with "qt_") and the insides of file dialogs and message boxes, which name
// their controls themselves, are not looked at. Each entry reads "class
// objectName", a duplicate "class objectName: same name as class objectName".
inline QStringList ControlsWithoutAccessibleName(const QWidget* root)
{
    QStringList unnamed;
    QHash<QPair<const QWidget*, QString>, QWidget*> named; // (window, name) -> first control
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
        const auto label = [](const QWidget* w) {
            return QString::fromLatin1(w->metaObject()->className()) + QLatin1Char(' ') + w->objectName();
        };
        // On Linux a chooser's accessible name is its current value: its own
        // name (with its label as the label's buddy) is what tells it apart.
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
        const QString name = qobject_cast<QComboBox*>(widget) != nullptr ? widget->accessibleName().trimmed()
            : face == nullptr                                            ? QString()
                                                                         : face->text(QAccessible::Name).trimmed();
        if (name.isEmpty()) {
            unnamed.append(label(widget));
            continue;
        }
        const QPair<const QWidget*, QString> key(widget->window(), name);
        if (const auto first = named.constFind(key); first != named.constEnd())
            unnamed.append(label(widget) + QStringLiteral(": same name as ") + label(first.value()));
        else
            named.insert(key, widget);
    }
    return unnamed;
}
