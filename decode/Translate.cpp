#include "decode/Translate.h"

namespace decode {

namespace {

thread_local Translator current = nullptr;

} // namespace

TranslatorScope::TranslatorScope(Translator translator) : previous_(current)
{
    current = translator;
}

TranslatorScope::~TranslatorScope()
{
    current = previous_;
}

Translator CurrentTranslator()
{
    return current;
}

const char* C_(const char* context, const char* source)
{
    return current ? current(context, source) : source;
}

std::string_view TableText(std::string_view source, const char* context)
{
    // A table's text is a whole literal, so its view ends where the
    // literal's terminating zero is.
    return current && !source.empty() ? std::string_view(current(context, source.data())) : source;
}

std::string Arg(std::string_view pattern, std::initializer_list<std::string_view> args)
{
    std::string out;
    out.reserve(pattern.size() + 16 * args.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
            const auto n = static_cast<std::size_t>(pattern[i + 1] - '1');
            if (n < args.size()) {
                out += *(args.begin() + n);
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

} // namespace decode
