#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <stdexcept>
#include <utility>
#include <vector>

namespace vistrel {

class EBinClipboardError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Puts a byte stream on the system clipboard under a private format name, as a
// 4-byte little-endian length followed by the bytes, and gets it back. The format
// name is the MIME type, so another running program sees the same named format.
class TBinClipboard : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString FormatName READ FormatName WRITE SetFormatName)

public:
    explicit TBinClipboard(QObject* parent = nullptr);

    QString FormatName() const { return m_formatName; }
    void SetFormatName(const QString& name) { m_formatName = name; }

    bool HasData() const;
    // Other formats offered alongside, raw, for programs that do not know ours.
    using TAlongside = std::vector<std::pair<QString, QByteArray>>;
    void PutStream(const QByteArray& stream, const TAlongside& alongside = {});
    // Replaces stream with the payload; false when no data of the format is there.
    bool GetStream(QByteArray& stream) const;

    // The block layout, shared with anything that hands blocks to the clipboard.
    static QByteArray EncodeBlock(const QByteArray& payload);
    static QByteArray DecodeBlock(const QByteArray& block); // throws EBinClipboardError

private:
    QString m_formatName;
};

} // namespace vistrel
