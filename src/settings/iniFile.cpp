#include "iniFile.h"

#include "fileNames.h"
#include "integerText.h"
#include "localFiles.h"

#include <algorithm>

namespace vistrel {

namespace {

bool SameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Blanks and control characters around a key or value are not part of it.
QString Stripped(QStringView text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first].unicode() <= ' ')
        ++first;
    while (last > first && text[last - 1].unicode() <= ' ')
        --last;
    return text.mid(first, last - first).toString();
}

} // namespace

TIniFile::TIniFile(QString fileName) : m_fileName(std::move(fileName)) {}

void TIniFile::Load() {
    m_sections.clear();
    m_loadProblem.clear();
    QByteArray bytes;
    QString reason;
    if (ReadLocalFile(m_fileName, MaxFileSize, bytes, &reason))
        FromBytes(bytes);
    else if (LocalFileExists(m_fileName))
        m_loadProblem = reason;
}

void TIniFile::FromBytes(const QByteArray& bytes) {
    // A byte order mark starts the file, not its first section.
    const QByteArray mark("\xEF\xBB\xBF");
    FromText(FileNameFromBytes(bytes.startsWith(mark) ? bytes.mid(mark.size()) : bytes));
}

QByteArray TIniFile::ToBytes() const {
    return FileNameToBytes(ToText());
}

void TIniFile::FromText(const QString& text) {
    m_sections.clear();
    Section* current = nullptr;
    for (const QStringView rawLine : QStringView(text).split(u'\n')) {
        const QString line = Stripped(rawLine);
        if (line.isEmpty() || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[')) {
            const qsizetype close = line.indexOf(u']');
            current =
                &FindOrAddSection(Stripped(QStringView(line).mid(1, close < 0 ? -1 : close - 1)));
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (current == nullptr || equals < 0)
            continue;
        current->entries.push_back({Stripped(QStringView(line).left(equals)),
                                    Stripped(QStringView(line).mid(equals + 1))});
    }
}

QString TIniFile::ToText() const {
    QString text;
    for (const Section& section : m_sections) {
        if (!text.isEmpty())
            text += u'\n';
        text += QLatin1Char('[') + section.name + QLatin1String("]\n");
        for (const Entry& entry : section.entries)
            text += entry.key + u'=' + entry.value + u'\n';
    }
    return text;
}

bool TIniFile::Save() const {
    return SaveLocalFile(m_fileName, ToBytes());
}

const TIniFile::Section* TIniFile::FindSection(const QString& name) const {
    const auto found = std::find_if(m_sections.begin(), m_sections.end(),
                                    [&](const Section& s) { return SameName(s.name, name); });
    return found == m_sections.end() ? nullptr : &*found;
}

TIniFile::Section& TIniFile::FindOrAddSection(const QString& name) {
    if (const Section* found = FindSection(name))
        return const_cast<Section&>(*found);
    return m_sections.emplace_back(Section{name, {}});
}

std::optional<QString> TIniFile::Value(const QString& section, const QString& key) const {
    const Section* found = FindSection(section);
    if (found == nullptr)
        return std::nullopt;
    for (const Entry& entry : found->entries)
        if (SameName(entry.key, key))
            return entry.value;
    return std::nullopt;
}

QString TIniFile::ReadString(const QString& section, const QString& key,
                             const QString& fallback) const {
    return Value(section, key).value_or(fallback);
}

int TIniFile::ReadInteger(const QString& section, const QString& key, int fallback) const {
    const std::optional<QString> text = Value(section, key);
    return text ? ParseInteger(*text).value_or(fallback) : fallback;
}

bool TIniFile::ReadBool(const QString& section, const QString& key, bool fallback) const {
    return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

QStringList TIniFile::ReadSectionValues(const QString& section) const {
    QStringList lines;
    if (const Section* found = FindSection(section))
        for (const Entry& entry : found->entries)
            lines << entry.key + u'=' + entry.value;
    return lines;
}

QStringList TIniFile::SectionNames() const {
    QStringList names;
    for (const Section& section : m_sections)
        names << section.name;
    return names;
}

void TIniFile::WriteString(const QString& section, const QString& key, const QString& value) {
    Section& target = FindOrAddSection(section);
    for (Entry& entry : target.entries)
        if (SameName(entry.key, key)) {
            entry.value = value;
            return;
        }
    target.entries.push_back({key, value});
}

void TIniFile::WriteInteger(const QString& section, const QString& key, int value) {
    WriteString(section, key, QString::number(value));
}

void TIniFile::WriteBool(const QString& section, const QString& key, bool value) {
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TIniFile::EraseSection(const QString& section) {
    std::erase_if(m_sections, [&](const Section& s) { return SameName(s.name, section); });
}

} // namespace vistrel
