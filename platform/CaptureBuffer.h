#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class AtomicFileWriter;

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
// A save can also be made in steps (BeginSave, then SaveStep until it says
// done), so that copying a large capture into its file never holds up the
// caller for long: BeginSave seals what the buffer holds and lines appended
// afterwards go to the next file; the file appears, whole, at the last step.
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
    // A save of a file larger than this is put in place (flushed to disk
    // and renamed) on a thread of its own, so that waiting for the disk
    // never holds up the caller; a smaller one is in place at its last step.
    static constexpr qint64 kBackgroundCommitBytes = 4 << 20;

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
    // A symbolic link at that name is never followed: the save fails the
    // same way, with EInOutError("Cannot create file <name>: it is a
    // symbolic link").
    // A save in progress is finished first.
    void Save(const QString& folder, int& number, const QString& dateLine);

    // The same save in steps: BeginSave seals the lines held and starts
    // their file; each SaveStep copies at most `maxBytes` more of them and
    // returns true once the file is in place (the number then goes up by
    // one, and the sealed lines leave the buffer). A failure is thrown as by
    // Save, and the sealed lines, with the date line in front, stay for the
    // next save. A save in progress is finished first.
    // Once a large file is copied, the steps only look whether it is in
    // place yet (Committing): they do no work and never wait.
    void BeginSave(const QString& folder, int& number, const QString& dateLine);
    [[nodiscard]] bool SaveStep(qint64 maxBytes);
    [[nodiscard]] bool Saving() const { return saving_ != nullptr; }
    [[nodiscard]] bool Committing() const;
    // Takes the save in progress to its end, waiting for the disk where
    // needed; thrown as by SaveStep.
    void FinishSave();

private:
    // A spill file, unlinked from its folder as soon as it is made.
    struct Segment {
        int fd = -1;
        qint64 size = 0;
    };
    struct SaveInProgress;

    // Writes the lines waiting in memory to the spill file; false when that
    // failed (what was not written stays waiting).
    bool Spill();
    // A step of the save in progress; `wait`: until the file is in place.
    bool Step(qint64 maxBytes, bool wait);
    // The file of the save in progress is in place: the save ends.
    bool SaveDone();
    bool OpenSpillFile();
    bool WriteContent(int fd) const;
    void ReleaseSegments(std::size_t count);
    [[noreturn]] void SaveFailed();

    QString folder_;
    // Date lines of saves that failed, newest first: they head the next file.
    QStringList heads_;
    // Encoded lines, each ended by CR LF, not yet in a spill file.
    QByteArray pending_;
    // The spill files in order; lines are spilled into the last one unless
    // it is sealed for a save.
    std::vector<Segment> segments_;
    std::unique_ptr<SaveInProgress> saving_;
    // Pending bytes at which the next spill is tried.
    qsizetype spillAt_ = kMemoryBlock;
    qsizetype count_ = 0;
    bool spillFailed_ = false;
};
