#include "monitor/PlainTranslator.h"

#include <QCoreApplication>

#include <cstring>
#include <mutex>
#include <string>
#include <unordered_map>

namespace monitor {

namespace {

std::mutex cacheLock;
// By context and source, both with their terminating zero; a node's value
// never moves, so its text can be handed out.
std::unordered_map<std::string, std::string> cache;

} // namespace

const char* PlainTranslation(const char* context, const char* source)
{
    if (source == nullptr || *source == '\0')
        return source;
    std::string key(context);
    key += '\0';
    key += source;
    const std::lock_guard lock(cacheLock);
    auto it = cache.find(key);
    if (it == cache.end()) {
        const QByteArray text = QCoreApplication::translate(context, source).toUtf8();
        it = cache.emplace(std::move(key), std::string(text.constData(), static_cast<std::size_t>(text.size()))).first;
    }
    return it->second == source ? source : it->second.c_str();
}

} // namespace monitor
