#include "udpmon/ReceiveWindowBatch.h"

#include <utility>

void ReceiveWindowBatch::Begin(int windowLines)
{
    if (open_)
        return;
    open_ = true;
    windowLines_ = windowLines;
    pendingChars_ = 0;
    update_ = {};
}

void ReceiveWindowBatch::EmptyIfFull()
{
    if (windowLines_ <= kLineLimit)
        return;
    update_.emptyFirst = true;
    update_.lines.clear();
    windowLines_ = 0;
    pendingChars_ = 0;
}

void ReceiveWindowBatch::Append(const QString& line)
{
    update_.lines.append(line);
    ++windowLines_;
    pendingChars_ += line.size();
}

ReceiveWindowBatch::Update ReceiveWindowBatch::Take()
{
    open_ = false;
    pendingChars_ = 0;
    return std::exchange(update_, {});
}
