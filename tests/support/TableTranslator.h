#pragma once

#include <cstddef>
#include <cstring>

// A translator of a few texts, as a window's would be: the translation the
// table gives for a context and source text, or the source text itself.
struct TableText {
    const char* context;
    const char* source;
    const char* translation;
};

template <std::size_t N>
const char* TranslateByTable(const TableText (&texts)[N], const char* context, const char* source)
{
    for (const auto& t : texts)
        if (std::strcmp(context, t.context) == 0 && std::strcmp(source, t.source) == 0)
            return t.translation;
    return source;
}
