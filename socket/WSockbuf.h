#pragma once

#include <memory>

// The size of every chunk of the send queue: one full Ethernet frame.
inline constexpr int ChunkSize = 1514;

// One chunk of the send queue: a fixed byte array filled at its write count
// and drained from its read count. When everything written has been read,
// both counts return to 0 and the chunk is filled again from its start.
class TBuffer {
public:
    // A size of 0 or less means ChunkSize.
    explicit TBuffer(int size = ChunkSize);

    TBuffer(const TBuffer&) = delete;
    TBuffer& operator=(const TBuffer&) = delete;

    // Copies as much of data as fits behind the written bytes; returns the
    // number of bytes copied (0 when the chunk is full).
    int Append(const void* data, int len);

    // The unread bytes; len is their number (0 and nullptr when none).
    [[nodiscard]] const char* Front(int& len) const;

    // Marks n unread bytes as read (n limited to the unread count); returns
    // the number marked.
    int Consume(int n);

    [[nodiscard]] int Unread() const { return writeCount_ - readCount_; }
    [[nodiscard]] int Size() const { return size_; }

private:
    int size_;
    int writeCount_ = 0;
    int readCount_ = 0;
    std::unique_ptr<char[]> bytes_;
};
