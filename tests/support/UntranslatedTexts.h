#pragma once

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDockWidget>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStringList>
#include <QWidget>

// Whether a text holds a Chinese character (CJK ideographs, CJK and
// full-width punctuation).
inline bool HasChinese(const QString& text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u >= 0x4E00 && u <= 0x9FFF) || (u >= 0x3000 && u <= 0x303F) || (u >= 0xFF00 && u <= 0xFFEF))
            return true;
    }
    return false;
}

// The texts a user reads or hears below `root` (and in the windows it owns:
// dialogs, docks, menus) that still hold Chinese: window titles, captions,
// labels, hints, accessible names, placeholders, choosers' items, notes in
// text areas, and every action's caption and hints. Each entry reads
// "class objectName: text". Text areas' contents are looked at only where
// they are read-only notes (a receive window holds what was received).
inline QStringList ChineseTexts(const QWidget* root)
{
    QStringList found;
    const auto check = [&found](const QObject* owner, const QString& text) {
        if (HasChinese(text))
            found.append(QString::fromLatin1(owner->metaObject()->className()) + QLatin1Char(' ') + owner->objectName()
                         + QStringLiteral(": ") + text);
    };
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets.prepend(const_cast<QWidget*>(root));
    for (const QWidget* w : widgets) {
        if (w->objectName().startsWith(QLatin1String("qt_")))
            continue;
        if (w->isWindow() || qobject_cast<const QDockWidget*>(w) != nullptr)
            check(w, w->windowTitle());
        check(w, w->toolTip());
        check(w, w->accessibleName());
        if (const auto* label = qobject_cast<const QLabel*>(w))
            check(w, label->text());
        if (const auto* button = qobject_cast<const QAbstractButton*>(w))
            check(w, button->text());
        if (const auto* group = qobject_cast<const QGroupBox*>(w))
            check(w, group->title());
        if (const auto* edit = qobject_cast<const QLineEdit*>(w))
            check(w, edit->placeholderText());
        if (const auto* menu = qobject_cast<const QMenu*>(w))
            check(w, menu->title());
        if (const auto* note = qobject_cast<const QPlainTextEdit*>(w); note != nullptr && note->isReadOnly())
            check(w, note->toPlainText());
        if (const auto* box = qobject_cast<const QComboBox*>(w))
            for (int i = 0; i < box->count(); ++i)
                check(w, box->itemText(i));
    }
    for (const QAction* action : root->findChildren<QAction*>()) {
        check(action, action->text());
        check(action, action->toolTip());
        check(action, action->statusTip());
        if (action->menu() != nullptr)
            check(action, action->menu()->title());
    }
    return found;
}
