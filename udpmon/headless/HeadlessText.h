#pragma once

#include <QCoreApplication>
#include <QString>

// The headless program's own messages (option errors, --help, warnings and
// errors on standard error) are written in English and marked where they are
// written with HT_("...") (one whole sentence per message, with %1 ... for
// what goes into it): the text in the language of the translations installed
// (i18n/headless_<language>.ts), or the text itself when none is. The marker
// is read as QT_TRANSLATE_NOOP by i18n/check_texts.py, and only there, so
// the windows' translation files do not take these texts.
#define HT_(context, source) QCoreApplication::translate(context, source)
