#pragma once

#include "clipboardBlock.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <utility>
#include <vector>

namespace vistrel {

// Puts a byte stream on the system clipboard under a private format name, as a
// clipboard block (clipboardBlock.h), and gets it back. The frame editor's pixel
// clipboard holds one; the document itself never touches the system clipboard. The format
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
    static QByteArray EncodeBlock(const QByteArray& payload) {
        return EncodeClipboardBlock(payload);
    }
    // throws EBinClipboardError
    static QByteArray DecodeBlock(const QByteArray& block) { return DecodeClipboardBlock(block); }

private:
    QString m_formatName;
};

} // namespace vistrel
