#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace vistrel {

// The [Default Applications] part of a mimeapps.list, edited in place: every
// line that is not changed on purpose stays byte for byte, comments, other
// sections, line ends and all.
class TMimeAppsList {
public:
    explicit TMimeAppsList(const QByteArray& bytes = {});

    // The desktop entries named for the type, the default first; empty when the
    // type has no default line.
    QStringList Defaults(const QString& type) const;
    // Puts desktopId first in the type's line, adding the line (and the section)
    // when missing.
    void SetDefault(const QString& type, const QString& desktopId);
    // Drops desktopId from the type's line, and the line when nothing is left.
    void RemoveDefault(const QString& type, const QString& desktopId);

    QByteArray Bytes() const;

private:
    int FindDefaultLine(const QString& type) const;
    static QStringList Entries(const QByteArray& line);

    std::vector<QByteArray> m_lines; // without their "\n"
    bool m_endsWithNewline = true;
};

} // namespace vistrel
