#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <QString>

#include <string>

// A filter dialog field as a fuzz target types it: mostly a short number,
// decimal or hexadecimal, sometimes any text.
inline QString FilterField(FuzzedDataProvider& input)
{
    if (input.ConsumeBool()) {
        const std::string bytes = input.ConsumeRandomLengthString(24);
        return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    }
    return QString::number(input.ConsumeIntegralInRange<int>(-3, 300), input.ConsumeBool() ? 10 : 16);
}
