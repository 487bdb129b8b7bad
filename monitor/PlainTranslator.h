#pragma once

// The translator the windows give the plain C++ libraries below them (the
// decoders' `decode::Options::translate`, the link supervision's and the
// point table's texts): a text marked in those libraries, in the language of
// the translations installed in the application (QCoreApplication::translate),
// as UTF-8. A text without a translation is given back as it is. The
// translations are kept for the program's life, so the pointer stays valid;
// safe to call from any thread.

namespace monitor {

[[nodiscard]] const char* PlainTranslation(const char* context, const char* source);

// Called when the installed translations change: texts are looked up again
// (the ones handed out before stay valid).
void PlainTranslationsChanged();

} // namespace monitor
