#include "platform/IniFile.h"

#include "platform/AtomicFile.h"
#include "platform/Conversions.h"
#include "platform/Exceptions.h"
#include "platform/TextCodec.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

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

// The form in which section and key names are compared.
QString Folded(QStringView name) { return TrimBlanks(name).toCaseFolded(); }

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
    QFile file(fileName_);
    Parse(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
}

IniFile::IniFile(QString path, const QByteArray& content) : fileName_(std::move(path))
{
    Parse(content);
}

void IniFile::Parse(QByteArray bytes)
{
    sections_.emplace_back();
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        bom_ = bytes.left(3);
        bytes.remove(0, 3);
    }
    // A file all UTF-8 is read as UTF-8. Any other is read line by line, each
    // line as UTF-8 when it is valid UTF-8, else as GBK: a GBK file that got
    // lines in UTF-8 (written under another locale) reads right either way.
    const bool allUtf8 = IsValidUtf8(bytes);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QStringDecoder other = NonUtf8TextDecoder();
    // UTF-8, GBK and GB18030 keep CR and LF as single bytes that never occur
    // inside a character, so lines can be split before decoding.
    bool endSeen = false;
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
        line.text = (allUtf8 || !other.isValid() || IsValidUtf8(line.raw)) ? utf8.decode(line.raw)
                                                                          : other.decode(line.raw);
        line.end = bytes.mid(stop, next - stop);
        if (!endSeen && !line.end.isEmpty()) {
            lineEnd_ = line.end;
            endSeen = true;
        }
        if (const auto name = SectionName(line.text)) {
            const QString folded = Folded(*name);
            if (!sectionIndex_.contains(folded)) {  // the first section of a name wins
                sectionIndex_.insert(folded, static_cast<int>(sections_.size()));
            }
            sections_.emplace_back();
        }
        sections_.back().lines.push_back(std::move(line));
        start = next;
    }
    for (std::size_t i = 1; i < sections_.size(); ++i) {
        IndexKeys(sections_[i]);
    }
}

void IniFile::IndexKeys(Section& section) const
{
    section.keys.clear();
    section.lastKey = 0;
    section.repeatsKeys = false;
    for (int i = 1; i < static_cast<int>(section.lines.size()); ++i) {
        const Line& line = section.lines[static_cast<std::size_t>(i)];
        const qsizetype equals = line.deleted ? -1 : EqualsPosition(line.text);
        if (equals >= 0) {
            const QString key = Folded(QStringView(line.text).left(equals));
            if (section.keys.contains(key)) {
                section.repeatsKeys = true;
            } else {
                section.keys.insert(key, i);
            }
            section.lastKey = i;
        }
    }
}

IniFile::Place IniFile::Locate(const QString& section, const QString& key) const
{
    const auto s = sectionIndex_.constFind(Folded(section));
    if (s == sectionIndex_.cend()) {
        return {};
    }
    const Section& found = sections_[static_cast<std::size_t>(*s)];
    const auto k = found.keys.constFind(Folded(key));
    if (k == found.keys.cend()) {
        return {*s, -1};
    }
    return {*s, *k};
}

const IniFile::Line* IniFile::FindKey(const QString& section, const QString& key) const
{
    const Place place = Locate(section, key);
    return place.line < 0 ? nullptr : &sections_[static_cast<std::size_t>(place.section)].lines[static_cast<std::size_t>(place.line)];
}

int IniFile::LineOf(const QString& section, const QString& key) const
{
    const Place place = Locate(section, key);
    if (place.line < 0) {
        return 0;
    }
    int number = place.line + 1;
    for (int i = 0; i < place.section; ++i) {
        for (const Line& line : sections_[static_cast<std::size_t>(i)].lines) {
            number += line.deleted ? 0 : 1;
        }
    }
    return number;
}

int IniFile::FirstStrayLine() const
{
    int number = 0;
    for (std::size_t s = 0; s < sections_.size(); ++s) {
        for (const Line& line : sections_[s].lines) {
            if (line.deleted) {
                continue;
            }
            ++number;
            const QString t = TrimBlanks(line.text);
            if (t.isEmpty() || t.startsWith(u';') || t.startsWith(u'#')) {
                continue;
            }
            const bool header = SectionName(line.text).has_value();
            if (header ? !t.endsWith(u']') : (s == 0 || EqualsPosition(line.text) <= 0)) {
                return number;
            }
        }
    }
    return 0;
}

QString IniFile::ReadString(const QString& section, const QString& key, const QString& def) const
{
    QString value = def;
    if (const Line* line = FindKey(section, key)) {
        value = TrimBlanks(QStringView(line->text).mid(EqualsPosition(line->text) + 1));
        if (IsEnclosedInQuotes(value)) {
            value = value.mid(1, value.size() - 2);
        }
    }
    return value;
}

int IniFile::ReadInteger(const QString& section, const QString& key, int def) const
{
    if (FindKey(section, key) == nullptr) {
        return def;
    }
    return TryStrToInt(ReadString(section, key, QString())).value_or(def);
}

IniFile::Line* IniFile::LastLine()
{
    for (auto s = sections_.rbegin(); s != sections_.rend(); ++s) {
        if (!s->lines.empty()) {
            return &s->lines.back();
        }
    }
    return nullptr;
}

void IniFile::AppendLine(Section& section, int at, const QString& text)
{
    Line* last = LastLine();
    if (last != nullptr && last->end.isEmpty()) {
        last->end = lineEnd_;
    }
    Line line;
    line.text = text;
    line.end = lineEnd_;
    line.touched = true;
    section.lines.insert(section.lines.begin() + at, std::move(line));
}

void IniFile::WriteString(const QString& section, const QString& key, const QString& value)
{
    const QString stored = StoredValue(value);
    Place place = Locate(section, key);
    if (place.line >= 0) {
        Line& line = sections_[static_cast<std::size_t>(place.section)].lines[static_cast<std::size_t>(place.line)];
        qsizetype valueStart = EqualsPosition(line.text) + 1;
        while (valueStart < line.text.size() && IsBlank(line.text.at(valueStart))) {
            ++valueStart;
        }
        line.text = line.text.left(valueStart) + stored;
        line.touched = true;
        return;
    }
    if (place.section < 0) {
        sections_.emplace_back();
        AppendLine(sections_.back(), 0, u'[' + TrimBlanks(section) + u']');
        place.section = static_cast<int>(sections_.size() - 1);
        sectionIndex_.insert(Folded(section), place.section);
    }
    // New keys follow the section's last key; only non-key lines come after
    // it, so the key index stays valid.
    Section& target = sections_[static_cast<std::size_t>(place.section)];
    const int at = target.lastKey + 1;
    AppendLine(target, at, TrimBlanks(key) + u'=' + stored);
    target.keys.insert(Folded(key), at);
    target.lastKey = at;
}

void IniFile::WriteInteger(const QString& section, const QString& key, int value)
{
    WriteString(section, key, QString::number(value));
}

void IniFile::DeleteKey(const QString& section, const QString& key)
{
    // The line stays in place, so that no index moves; only a section with
    // a repeated key is indexed again, to bring the next line of that key
    // forward.
    const Place place = Locate(section, key);
    if (place.line >= 0) {
        Section& found = sections_[static_cast<std::size_t>(place.section)];
        found.lines[static_cast<std::size_t>(place.line)].deleted = true;
        found.keys.remove(Folded(key));
        if (found.repeatsKeys) {
            IndexKeys(found);
        }
    }
}

QStringList IniFile::ReadSection(const QString& section) const
{
    QStringList names;
    const auto s = sectionIndex_.constFind(Folded(section));
    if (s == sectionIndex_.cend()) {
        return names;
    }
    const Section& found = sections_[static_cast<std::size_t>(*s)];
    std::vector<int> keyLines(found.keys.cbegin(), found.keys.cend());
    std::sort(keyLines.begin(), keyLines.end());
    for (const int index : keyLines) {
        const QString& text = found.lines[static_cast<std::size_t>(index)].text;
        names << QString(TrimBlanks(QStringView(text).left(EqualsPosition(text))));
    }
    return names;
}

bool IniFile::SectionExists(const QString& section) const
{
    return sectionIndex_.contains(Folded(section));
}

bool IniFile::ValueExists(const QString& section, const QString& key) const
{
    return FindKey(section, key) != nullptr;
}

QByteArray IniFile::Compose(std::vector<QByteArray>& encoded) const
{
    QStringEncoder encoder = WrittenTextEncoder();
    QByteArray bytes = bom_;
    for (const Section& section : sections_) {
        for (const Line& line : section.lines) {
            if (line.deleted) {
                continue;
            }
            if (line.touched) {
                encoded.push_back(encoder.encode(line.text));
                bytes += encoded.back();
            } else {
                bytes += line.raw;
            }
            bytes += line.end;
        }
    }
    return bytes;
}

QByteArray IniFile::Content() const
{
    std::vector<QByteArray> encoded;
    return Compose(encoded);
}

void IniFile::UpdateFile()
{
    std::vector<QByteArray> encoded;
    const QByteArray content = Compose(encoded);
    // The file may be reached through the user's own links (or root's), not
    // through one another user planted.
    AtomicFileWriter file(fileName_, LinkAtName::FollowOwnOrRoot);
    const bool written = file.Fd() >= 0 && WriteAll(file.Fd(), content.constData(), content.size()) && file.Commit();
    if (!file.RefusedLink().isEmpty()) {
        throw EInOutError(QStringLiteral("Unable to write to %1: the symbolic link %2 belongs to another user")
                              .arg(fileName_, file.RefusedLink()));
    }
    if (!written) {
        throw EInOutError(QStringLiteral("Unable to write to %1").arg(fileName_));
    }
    auto next = encoded.begin();
    for (Section& section : sections_) {
        for (Line& line : section.lines) {
            if (line.touched && !line.deleted) {
                line.raw = std::move(*next++);
                line.touched = false;
            }
        }
    }
}

const QString& IniFile::FileName() const
{
    return fileName_;
}
