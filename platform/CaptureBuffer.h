#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The hidden capture buffer of received lines (`SMemo1`): while timed saving
// runs, every line received is appended here, and each timed save writes
// what it holds to the next numbered file and empties it.
//
// Memory stays bounded whatever the period and the rate: the lines are kept
// as the bytes the file will hold, and once kMemoryBlock of them gather they
// are written in one block to a spill file in the folder of the capture
// files. The spill file is removed from the folder as soon as it is made: it
// can never be taken for a capture, and it goes with the buffer (or the
// program) whatever way that ends. Lines kept across a pause of timed saving
// stay in it for the next file.
//
// A spill file that cannot be made or written is reported by the next Save,
// as a timed save that cannot create its file: the lines not yet written
// wait in memory up to kMaxPendingBytes and are retried with the next block;
// lines beyond that are lost, and that Save says so by failing.
//
// Not thread-safe: the owner's thread only.
class CaptureBuffer final {
public:
    static constexpr qsizetype kMemoryBlock = 64 * 1024;
    static constexpr qsizetype kMaxPendingBytes = 16 * kMemoryBlock;

    // The spill file goes into `folder`; empty means the current directory
    // at the moment the file is made.
    explicit CaptureBuffer(QString folder = QString());
    ~CaptureBuffer();
    CaptureBuffer(const CaptureBuffer&) = delete;
    CaptureBuffer& operator=(const CaptureBuffer&) = delete;

    void Append(const QString& line);
    // The lines held, the date lines of failed saves in front included.
    [[nodiscard]] qsizetype Count() const { return heads_.size() + count_; }
    [[nodiscard]] bool IsEmpty() const { return Count() == 0; }
    // Every line held, in the order the next file gets them (the spill file
    // read back).
    [[nodiscard]] QStringList Lines() const;
    // The bytes this object holds in memory (the spill file not counted).
    [[nodiscard]] qsizetype MemoryBytes() const;

    // One timed save: dateLine, then the lines held, written atomically
    // (CR LF lines) to TimedSaveFileName(folder, number), replacing a file of
    // that name. On success the number goes up by one and the buffer is
    // emptied. When the file cannot be written, or the spill file could not
    // be written since the last save, EInOutError("Cannot create file
    // <name>") is thrown, no file of that name is left half-written, the
    // number stays and the buffer keeps its lines with the date line in
    // front of them, so that the next save tries the same name again.
    void Save(const QString& folder, int& number, const QString& dateLine);

private:
    // Writes the lines waiting in memory to the spill file; false when that
    // failed (what was not written stays waiting).
    bool Spill();
    bool OpenSpillFile();
    bool WriteContent(int fd) const;
    void ReleaseSpillFile();

    QString folder_;
    // Date lines of saves that failed, newest first: they head the next file.
    QStringList heads_;
    // Encoded lines, each ended by CR LF, not yet in the spill file.
    QByteArray pending_;
    int spillFd_ = -1;
    qint64 spillSize_ = 0;
    // Pending bytes at which the next spill is tried.
    qsizetype spillAt_ = kMemoryBlock;
    qsizetype count_ = 0;
    bool spillFailed_ = false;
};
