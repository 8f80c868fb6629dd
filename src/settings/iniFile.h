#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace vistrel {

// A small INI store that keeps sections and keys in file order. Section and key
// names compare without regard to letter case; blanks around keys and values are
// not part of them. Changes stay in memory until Save.
class TIniFile {
public:
    explicit TIniFile(QString fileName);

    QString FileName() const { return m_fileName; }

    // The largest settings file read: anything larger is not ours.
    static constexpr qint64 MaxFileSize = 16 * 1024 * 1024;

    // Reads the file; a missing or unreadable file gives an empty store. Only a
    // regular file of at most MaxFileSize is read: a FIFO would wait for ever and
    // a link to /dev/zero never end.
    void Load();
    // Why the last Load read nothing from a file that is there; empty when the
    // file was read or does not exist.
    QString LoadProblem() const { return m_loadProblem; }
    // Writes the whole store through a temporary file; false when that failed,
    // the old file then being left as it was.
    bool Save() const;

    QString ReadString(const QString& section, const QString& key, const QString& fallback) const;
    // Read by ParseInteger; fallback when missing or no number.
    int ReadInteger(const QString& section, const QString& key, int fallback) const;
    bool ReadBool(const QString& section, const QString& key, bool fallback) const;
    // Every key=value line of a section, in file order.
    QStringList ReadSectionValues(const QString& section) const;
    // The names of the sections, in file order.
    QStringList SectionNames() const;

    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteInteger(const QString& section, const QString& key, int value);
    void WriteBool(const QString& section, const QString& key, bool value);
    void EraseSection(const QString& section);

    QString ToText() const;
    void FromText(const QString& text);
    // The file's bytes. They are read as file names are (FileNameFromBytes), so a
    // recent file whose name is not UTF-8, or any other byte that is not, is
    // written back as it was.
    QByteArray ToBytes() const;
    void FromBytes(const QByteArray& bytes);

private:
    struct Entry {
        QString key;
        QString value;
    };
    struct Section {
        QString name;
        std::vector<Entry> entries;
    };

    const Section* FindSection(const QString& name) const;
    Section& FindOrAddSection(const QString& name);
    std::optional<QString> Value(const QString& section, const QString& key) const;

    QString m_fileName;
    QString m_loadProblem;
    std::vector<Section> m_sections;
};

} // namespace vistrel
