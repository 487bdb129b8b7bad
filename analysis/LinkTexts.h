#pragma once

#include "decode/Translate.h"

#include <array>
#include <concepts>
#include <cstdint>
#include <string>
#include <string_view>

// The sentences of the link supervisor's events, in one table (LinkTexts.cpp)
// so that a translation can take them all at once. "{0}", "{1}", ... stand
// for the arguments. They are English, in the language of the translator in
// force (decode/Translate.h, context "analysis") where one is.

namespace analysis {

enum class TextId {
    Connection,
    NoFrameStart,
    FrameCut,
    BadCrc,
    UFunctions,
    UNotZero,
    SNotZero,
    NoAsdu,
    Gap,
    Duplicate,
    OutOfOrder,
    AckUnsent,
    AckBackwards,
    KExceeded,
    WReached,
    NotStarted,
    Stopped,
    ActDone,
    ConWithoutAct,
    ConLate,
    ActExpired,
    IExpired,
    T2Exceeded,
    T3Exceeded,
    ClockAhead,
    ClockBehind,
    ClockSentAhead,
    ClockSentBehind,
    Request,
    RequestTcp,
    NoResponse,
    NoResponseNext,
    LateResponse,
    Unsolicited,
    Transaction,
    Mismatch,
    Exception,
    DuplicateRequest,
    Count
};

[[nodiscard]] std::string_view TextOf(TextId id);
// The name of a MODBUS exception code ("illegal data address"), "" for none.
[[nodiscard]] std::string_view ExceptionName(unsigned code);
// A duration as the events write it: "0.42 ms", "12.5 ms", "15.000 s".
[[nodiscard]] std::string DurationText(std::int64_t us);

// The text with its "{n}" replaced by the n-th argument.
[[nodiscard]] std::string Fill(std::string_view pattern, const std::string* args, std::size_t count);

inline std::string ArgText(std::string_view s)
{
    return std::string(s);
}
inline std::string ArgText(const std::string& s)
{
    return s;
}
inline std::string ArgText(const char* s)
{
    return s;
}
template <std::integral T>
std::string ArgText(T n)
{
    return std::to_string(n);
}

template <typename... Args>
std::string Text(TextId id, const Args&... args)
{
    const std::array<std::string, sizeof...(Args)> texts{ArgText(args)...};
    return Fill(TextOf(id), texts.data(), texts.size());
}

} // namespace analysis
