#include "platform/IniFile.h"

#include "platform/AtomicFile.h"
#include "platform/Conversions.h"
#include "platform/Exceptions.h"
#include "platform/TextCodec.h"

#include <QFile>
#include <QStringDecoder>

#include <optional>
#include <utility>

namespace {

bool IsBlank(QChar c) { return c == u' ' || c == u'\t'; }

QString TrimBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsBlank(text.at(begin))) {
        ++begin;
    }
    while (end > begin && IsBlank(text.at(end - 1))) {
        --end;
    }
    return text.mid(begin, end - begin).toString();
}

bool IsQuote(QChar c) { return c == u'"' || c == u'\''; }

bool IsEnclosedInQuotes(const QString& value)
{
    return value.size() >= 2 && IsQuote(value.front()) && value.back() == value.front();
}

bool SameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// The name of a section header line ("[name]"), or nothing.
std::optional<QString> SectionName(const QString& line)
{
    const QString t = TrimBlanks(line);
    if (!t.startsWith(u'[')) {
        return std::nullopt;
    }
    const qsizetype close = t.indexOf(u']', 1);
    return TrimBlanks(QStringView(t).mid(1, close < 0 ? -1 : close - 1));
}

// Position of the "=" of a key line, or -1 for comments and other lines.
qsizetype EqualsPosition(const QString& line)
{
    const QString t = TrimBlanks(line);
    if (t.isEmpty() || t.startsWith(u';') || t.startsWith(u'[')) {
        return -1;
    }
    return line.indexOf(u'=');
}

QString KeyOf(const QString& line, qsizetype equals) { return TrimBlanks(QStringView(line).left(equals)); }

// The text to put after "=" so that ReadString gives `value` back.
QString StoredValue(QString value)
{
    value.replace(u'\r', u' ');
    value.replace(u'\n', u' ');
    if (value.isEmpty()) {
        return value;
    }
    if (IsBlank(value.front()) || IsBlank(value.back()) || IsEnclosedInQuotes(value)) {
        return u'"' + value + u'"';
    }
    return value;
}

} // namespace

IniFile::IniFile(QString path) : fileName_(std::move(path))
{
    Load();
}

void IniFile::Load()
{
    QFile file(fileName_);
    if (!file.open(QIODevice::ReadOnly)) {
        return;
    }
    QByteArray bytes = file.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        bom_ = bytes.left(3);
        bytes.remove(0, 3);
    }
    rawIsUtf8_ = IsValidUtf8(bytes);
    QStringDecoder decoder = rawIsUtf8_ ? QStringDecoder(QStringDecoder::Utf8) : QStringDecoder("GBK");
    if (!decoder.isValid()) {
        decoder = QStringDecoder(QStringDecoder::Utf8);
    }
    // Both encodings keep CR and LF as single bytes that never occur inside
    // a character, so lines can be split before decoding.
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    while (start < n) {
        qsizetype stop = start;
        while (stop < n && bytes.at(stop) != '\r' && bytes.at(stop) != '\n') {
            ++stop;
        }
        qsizetype next = stop;
        if (next + 1 < n && bytes.at(next) == '\r' && bytes.at(next + 1) == '\n') {
            next += 2;
        } else if (next < n) {
            ++next;
        }
        Line line;
        line.raw = bytes.mid(start, stop - start);
        line.text = decoder.decode(line.raw);
        line.end = bytes.mid(stop, next - stop);
        lines_.push_back(std::move(line));
        start = next;
    }
}

int IniFile::FindSection(const QString& section) const
{
    const QString wanted = TrimBlanks(section);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const auto name = SectionName(lines_[i].text);
        if (name && SameName(*name, wanted)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int IniFile::SectionEnd(int header) const
{
    std::size_t i = static_cast<std::size_t>(header) + 1;
    while (i < lines_.size() && !SectionName(lines_[i].text)) {
        ++i;
    }
    return static_cast<int>(i);
}

int IniFile::FindKey(const QString& section, const QString& key) const
{
    const int header = FindSection(section);
    if (header < 0) {
        return -1;
    }
    const QString wanted = TrimBlanks(key);
    const int end = SectionEnd(header);
    for (int i = header + 1; i < end; ++i) {
        const QString& text = lines_[static_cast<std::size_t>(i)].text;
        const qsizetype equals = EqualsPosition(text);
        if (equals >= 0 && SameName(KeyOf(text, equals), wanted)) {
            return i;
        }
    }
    return -1;
}

QString IniFile::ReadString(const QString& section, const QString& key, const QString& def) const
{
    const int at = FindKey(section, key);
    QString value = def;
    if (at >= 0) {
        const QString& text = lines_[static_cast<std::size_t>(at)].text;
        value = TrimBlanks(QStringView(text).mid(EqualsPosition(text) + 1));
        if (IsEnclosedInQuotes(value)) {
            value = value.mid(1, value.size() - 2);
        }
    }
    if (value.size() > kMaxValueLength) {
        const bool splitsPair = value.at(kMaxValueLength - 1).isHighSurrogate();
        value.truncate(splitsPair ? kMaxValueLength - 1 : kMaxValueLength);
    }
    return value;
}

int IniFile::ReadInteger(const QString& section, const QString& key, int def) const
{
    if (FindKey(section, key) < 0) {
        return def;
    }
    return TryStrToInt(ReadString(section, key, QString())).value_or(def);
}

QByteArray IniFile::NewLineEnd() const
{
    for (const Line& line : lines_) {
        if (!line.end.isEmpty()) {
            return line.end;
        }
    }
    return "\n";
}

void IniFile::InsertLine(int at, const QString& text)
{
    const QByteArray end = NewLineEnd();
    if (at > 0 && lines_[static_cast<std::size_t>(at - 1)].end.isEmpty()) {
        lines_[static_cast<std::size_t>(at - 1)].end = end;
    }
    Line line;
    line.text = text;
    line.end = end;
    line.touched = true;
    lines_.insert(lines_.begin() + at, std::move(line));
}

void IniFile::WriteString(const QString& section, const QString& key, const QString& value)
{
    const QString stored = StoredValue(value);
    const int at = FindKey(section, key);
    if (at >= 0) {
        Line& line = lines_[static_cast<std::size_t>(at)];
        qsizetype valueStart = EqualsPosition(line.text) + 1;
        while (valueStart < line.text.size() && IsBlank(line.text.at(valueStart))) {
            ++valueStart;
        }
        line.text = line.text.left(valueStart) + stored;
        line.touched = true;
        return;
    }
    const QString keyLine = TrimBlanks(key) + u'=' + stored;
    const int header = FindSection(section);
    if (header < 0) {
        const int end = static_cast<int>(lines_.size());
        InsertLine(end, u'[' + TrimBlanks(section) + u']');
        InsertLine(end + 1, keyLine);
        return;
    }
    int after = header;
    const int end = SectionEnd(header);
    for (int i = header + 1; i < end; ++i) {
        if (EqualsPosition(lines_[static_cast<std::size_t>(i)].text) >= 0) {
            after = i;
        }
    }
    InsertLine(after + 1, keyLine);
}

void IniFile::WriteInteger(const QString& section, const QString& key, int value)
{
    WriteString(section, key, QString::number(value));
}

void IniFile::DeleteKey(const QString& section, const QString& key)
{
    const int at = FindKey(section, key);
    if (at >= 0) {
        lines_.erase(lines_.begin() + at);
    }
}

bool IniFile::SectionExists(const QString& section) const
{
    return FindSection(section) >= 0;
}

bool IniFile::ValueExists(const QString& section, const QString& key) const
{
    return FindKey(section, key) >= 0;
}

void IniFile::UpdateFile()
{
    QByteArray bytes = bom_;
    for (const Line& line : lines_) {
        bytes += (line.touched || !rawIsUtf8_) ? EncodeText(line.text) : line.raw;
        bytes += line.end;
    }
    if (!WriteFileAtomically(fileName_, bytes)) {
        throw EInOutError(QStringLiteral("Unable to write to %1").arg(fileName_));
    }
    for (Line& line : lines_) {
        if (line.touched || !rawIsUtf8_) {
            line.raw = EncodeText(line.text);
            line.touched = false;
        }
    }
    rawIsUtf8_ = true;
}

const QString& IniFile::FileName() const
{
    return fileName_;
}
