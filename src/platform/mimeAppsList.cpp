#include "mimeAppsList.h"

namespace vistrel {

namespace {

const QByteArray DefaultSection = "[Default Applications]";

QByteArray WithoutCarriageReturn(const QByteArray& line) {
    return line.endsWith('\r') ? line.chopped(1) : line;
}

bool IsSection(const QByteArray& line) {
    return WithoutCarriageReturn(line).trimmed().startsWith('[');
}

QByteArray KeyOf(const QByteArray& line) {
    const QByteArray text = WithoutCarriageReturn(line);
    const int equals = text.indexOf('=');
    if (equals < 0 || text.trimmed().startsWith('#'))
        return {};
    return text.left(equals).trimmed();
}

} // namespace

TMimeAppsList::TMimeAppsList(const QByteArray& bytes) {
    if (bytes.isEmpty())
        return;
    const QList<QByteArray> lines = bytes.split('\n');
    m_lines.assign(lines.begin(), lines.end());
    // split() leaves an empty piece after a final "\n".
    m_endsWithNewline = bytes.endsWith('\n');
    if (m_endsWithNewline)
        m_lines.pop_back();
}

QStringList TMimeAppsList::Entries(const QByteArray& line) {
    const QByteArray text = WithoutCarriageReturn(line);
    const QString value = QString::fromUtf8(text.mid(text.indexOf('=') + 1)).trimmed();
    QStringList entries;
    for (const QString& entry : value.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        if (!entry.trimmed().isEmpty())
            entries << entry.trimmed();
    return entries;
}

int TMimeAppsList::FindDefaultLine(const QString& type) const {
    const QByteArray key = type.toUtf8();
    bool inDefaults = false;
    for (int i = 0; i < static_cast<int>(m_lines.size()); ++i) {
        const QByteArray& line = m_lines[static_cast<size_t>(i)];
        if (IsSection(line))
            inDefaults = WithoutCarriageReturn(line).trimmed() == DefaultSection;
        else if (inDefaults && KeyOf(line) == key)
            return i;
    }
    return -1;
}

QStringList TMimeAppsList::Defaults(const QString& type) const {
    const int index = FindDefaultLine(type);
    return index < 0 ? QStringList() : Entries(m_lines[static_cast<size_t>(index)]);
}

void TMimeAppsList::SetDefault(const QString& type, const QString& desktopId) {
    const int index = FindDefaultLine(type);
    QStringList entries;
    if (index >= 0) {
        entries = Entries(m_lines[static_cast<size_t>(index)]);
        if (entries.value(0) == desktopId)
            return;
        entries.removeAll(desktopId);
    }
    entries.prepend(desktopId);
    QByteArray line = type.toUtf8() + '=' + entries.join(QLatin1Char(';')).toUtf8() + ';';
    if (index >= 0) {
        if (m_lines[static_cast<size_t>(index)].endsWith('\r'))
            line += '\r';
        m_lines[static_cast<size_t>(index)] = line;
        return;
    }
    // A new line goes after the last key of the first defaults section.
    int insertAt = -1;
    bool inDefaults = false;
    for (int i = 0; i < static_cast<int>(m_lines.size()); ++i) {
        const QByteArray& current = m_lines[static_cast<size_t>(i)];
        if (IsSection(current)) {
            if (inDefaults)
                break;
            inDefaults = WithoutCarriageReturn(current).trimmed() == DefaultSection;
            if (inDefaults)
                insertAt = i + 1;
        } else if (inDefaults && !WithoutCarriageReturn(current).trimmed().isEmpty()) {
            insertAt = i + 1;
        }
    }
    if (insertAt < 0) {
        if (!m_lines.empty() && !WithoutCarriageReturn(m_lines.back()).trimmed().isEmpty())
            m_lines.emplace_back();
        m_lines.push_back(DefaultSection);
        insertAt = static_cast<int>(m_lines.size());
    }
    m_lines.insert(m_lines.begin() + insertAt, line);
    // Lines added at the end still end with "\n".
    if (insertAt == static_cast<int>(m_lines.size()) - 1)
        m_endsWithNewline = true;
}

void TMimeAppsList::RemoveDefault(const QString& type, const QString& desktopId) {
    const int index = FindDefaultLine(type);
    if (index < 0)
        return;
    QByteArray& line = m_lines[static_cast<size_t>(index)];
    QStringList entries = Entries(line);
    if (!entries.contains(desktopId))
        return;
    entries.removeAll(desktopId);
    if (entries.isEmpty()) {
        m_lines.erase(m_lines.begin() + index);
        return;
    }
    const bool carriageReturn = line.endsWith('\r');
    line = type.toUtf8() + '=' + entries.join(QLatin1Char(';')).toUtf8() + ';';
    if (carriageReturn)
        line += '\r';
}

QByteArray TMimeAppsList::Bytes() const {
    QByteArray bytes;
    for (size_t i = 0; i < m_lines.size(); ++i) {
        bytes += m_lines[i];
        if (i + 1 < m_lines.size() || m_endsWithNewline)
            bytes += '\n';
    }
    return bytes;
}

} // namespace vistrel
