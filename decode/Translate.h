#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

// The decoders write English; the decode window shows their texts in the
// user's language. The analyses (`analysis/`) mark theirs the same way, with
// the context "analysis". Every text a decoder writes is marked where it is
// written, so that lupdate finds it (both markers are read as
// QT_TRANSLATE_NOOP, context "decode"):
//
//  - NC_("decode", "spontaneous") in a table: the text itself;
//  - C_("decode", "%1 bytes") in code: the text in the language of the
//    translator in force on this thread, or the text itself when none is.
//
// A translator is put in force only for one call (`Options::translate`,
// `TranslatorScope`), so that every other caller (the point table, the link
// supervision, the program without a display, the tests) gets the English
// texts whatever a window does. The translator gets whole literals, never
// pieces of them, and what it gives back must live as long as the program.
#define NC_(context, source) source

namespace decode {

// Gives the translation of `source` in `context`, or `source` itself.
using Translator = const char* (*)(const char* context, const char* source);

// Puts `translator` in force on this thread while the scope lives (nullptr:
// none); scopes nest.
class TranslatorScope {
public:
    explicit TranslatorScope(Translator translator);
    ~TranslatorScope();
    TranslatorScope(const TranslatorScope&) = delete;
    TranslatorScope& operator=(const TranslatorScope&) = delete;

private:
    Translator previous_;
};

// The translator in force on this thread, nullptr when none is.
[[nodiscard]] Translator CurrentTranslator();

// A text written by code: its translation by the translator in force.
[[nodiscard]] const char* C_(const char* context, const char* source);

// A text of a table marked with NC_(context, ...), held as a view of the
// whole literal: its translation by the translator in force. An empty text
// stays empty.
[[nodiscard]] std::string_view TableText(std::string_view source, const char* context = "decode");

// `pattern` with "%1" ... "%9" replaced by the arguments, so that a
// translation may put them in another order; a "%" followed by anything
// else stays as it is.
[[nodiscard]] std::string Arg(std::string_view pattern, std::initializer_list<std::string_view> args);

} // namespace decode
