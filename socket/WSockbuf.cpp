#include "socket/WSockbuf.h"

#include <algorithm>
#include <cstring>

TBuffer::TBuffer(int size)
    : size_(size > 0 ? size : ChunkSize)
    , bytes_(new char[static_cast<size_t>(size_)])
{
}

int TBuffer::Append(const void* data, int len)
{
    const int copied = std::clamp(size_ - writeCount_, 0, std::max(len, 0));
    if (copied > 0) {
        std::memcpy(bytes_.get() + writeCount_, data, static_cast<size_t>(copied));
        writeCount_ += copied;
    }
    return copied;
}

const char* TBuffer::Front(int& len) const
{
    len = writeCount_ - readCount_;
    return len > 0 ? bytes_.get() + readCount_ : nullptr;
}

int TBuffer::Consume(int n)
{
    n = std::clamp(n, 0, writeCount_ - readCount_);
    readCount_ += n;
    if (readCount_ == writeCount_) {
        readCount_ = 0;
        writeCount_ = 0;
    }
    return n;
}
