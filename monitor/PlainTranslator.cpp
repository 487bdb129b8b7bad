#include "monitor/PlainTranslator.h"

#include <QCoreApplication>

#include <cstring>
#include <mutex>
#include <string>
#include <unordered_map>

namespace monitor {

namespace {

std::mutex cacheLock;
// By the translations' generation, context and source, each with its
// terminating zero; a node's value never moves, so its text can be handed
// out, also after the translations change.
std::unordered_map<std::string, std::string> cache;
unsigned generation = 0;

} // namespace

const char* PlainTranslation(const char* context, const char* source)
{
    if (source == nullptr || *source == '\0')
        return source;
    const std::lock_guard lock(cacheLock);
    std::string key = std::to_string(generation);
    key += '\0';
    key += context;
    key += '\0';
    key += source;
    auto it = cache.find(key);
    if (it == cache.end()) {
        const QByteArray text = QCoreApplication::translate(context, source).toUtf8();
        it = cache.emplace(std::move(key), std::string(text.constData(), static_cast<std::size_t>(text.size()))).first;
    }
    return it->second == source ? source : it->second.c_str();
}

void PlainTranslationsChanged()
{
    const std::lock_guard lock(cacheLock);
    ++generation;
}

} // namespace monitor
