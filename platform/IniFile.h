#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <vector>

// A settings file of bracketed sections and key=value lines.
//
// The file is read once by the constructor (a missing or unreadable file is
// an empty one) and kept in memory line by line; UpdateFile writes it back
// whole (Content). Lines that no Write touched are written back byte for byte, so
// comments, blank lines, spacing, line endings, encodings (GBK, UTF-8, bytes
// valid in neither) and every other section and key stay as they were. Lines
// a Write touched are written in the locale's character set (EncodeText).
// A line is read as UTF-8 when it is valid UTF-8, else as GBK (DecodeText).
//
// Lookup follows the classic profile rules: section and key names are
// compared case-insensitively and without surrounding blanks; the first
// matching section and key win; a value loses surrounding blanks and one
// pair of enclosing quotes ("..." or '...'). A value is read back whole,
// however long it was written (a long send line must not come back cut).
// Keys are written literally, spaces included ("Server Port=1888").
class IniFile {
public:
    explicit IniFile(QString path);
    // The settings that `content` holds, as if read from the file `path`
    // (which is not read); UpdateFile writes them to `path`.
    IniFile(QString path, const QByteArray& content);

    [[nodiscard]] QString ReadString(const QString& section, const QString& key, const QString& def) const;
    // The value as an integer (decimal, "$" or "0x" hexadecimal); def when
    // the key is absent or its value is not an integer.
    [[nodiscard]] int ReadInteger(const QString& section, const QString& key, int def) const;

    // Changes the key's value in place, or adds the key at the end of its
    // section, or adds the section at the end of the file. A value with
    // surrounding blanks or enclosing quotes is written quoted so that it
    // reads back unchanged; a line break inside a value is written as a
    // blank.
    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteInteger(const QString& section, const QString& key, int value);
    // Removes the key's line; nothing when it is absent.
    void DeleteKey(const QString& section, const QString& key);

    // The names of the keys of a section, as written, in file order (each
    // name once); empty when the section is absent.
    [[nodiscard]] QStringList ReadSection(const QString& section) const;
    [[nodiscard]] bool SectionExists(const QString& section) const;
    [[nodiscard]] bool ValueExists(const QString& section, const QString& key) const;

    // The number of the key's line in the file (the first line is 1), as
    // read or written so far; 0 when the key is absent.
    [[nodiscard]] int LineOf(const QString& section, const QString& key) const;
    // The number of the first line that is none of a blank line, a comment
    // (";" or "#"), a section header (closed by "]") or a key line inside a
    // section; 0 when every line is one of them.
    [[nodiscard]] int FirstStrayLine() const;

    // The bytes of the whole file as UpdateFile writes them.
    [[nodiscard]] QByteArray Content() const;
    // Writes Content() to the file atomically (a temporary file in the same
    // folder, then a rename). Throws EInOutError("Unable to write to <path>")
    // when that fails; the old file is then left as it was. A symbolic link
    // at the path is followed only when it belongs to this user or to root;
    // another user's link fails the write, the message naming it.
    void UpdateFile();

    [[nodiscard]] const QString& FileName() const;

private:
    struct Line {
        QString text;       // decoded text, without the line end
        QByteArray raw;     // the bytes read, written back while untouched
        QByteArray end;     // "\r\n", "\n", "\r", or "" for a last line without one
        bool touched = false;
        bool deleted = false;  // removed by DeleteKey: kept in place, never written
    };
    // The lines from one section header up to the next; the first entry of
    // sections_ holds the lines before the first header and has no name.
    struct Section {
        std::vector<Line> lines;
        QHash<QString, int> keys;  // case-folded key -> index of its first line
        int lastKey = 0;           // index of the last key line (0: none)
        bool repeatsKeys = false;  // some key stands on more than one line
    };

    // Where a key is: section -1 when the section is absent, line -1 when
    // only the key is.
    struct Place {
        int section = -1;
        int line = -1;
    };

    void Parse(QByteArray bytes);
    // The file's bytes; `encoded` gets the bytes of the touched lines, in
    // file order.
    [[nodiscard]] QByteArray Compose(std::vector<QByteArray>& encoded) const;
    [[nodiscard]] Place Locate(const QString& section, const QString& key) const;
    [[nodiscard]] const Line* FindKey(const QString& section, const QString& key) const;
    void IndexKeys(Section& section) const;
    void AppendLine(Section& section, int at, const QString& text);
    [[nodiscard]] Line* LastLine();

    QString fileName_;
    QByteArray bom_;                  // a UTF-8 byte-order mark the file began with
    QByteArray lineEnd_ = "\n";      // the file's own line end, for new lines
    std::vector<Section> sections_;
    QHash<QString, int> sectionIndex_;  // case-folded name -> first section of that name
};
