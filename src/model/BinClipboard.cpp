#include "BinClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QtEndian>
#include <memory>

namespace vistrel {

namespace {

constexpr qsizetype LengthFieldSize = 4;

QClipboard* SystemClipboard() {
    // The model may run without a GUI application (vistrel-cli); there is no
    // system clipboard to talk to then.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
        throw EBinClipboardError("Error! No clipboard?");
    return QGuiApplication::clipboard();
}

} // namespace

TBinClipboard::TBinClipboard(QObject* parent) : QObject(parent) {}

bool TBinClipboard::HasData() const {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
        return false;
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data != nullptr && data->hasFormat(m_formatName);
}

QByteArray TBinClipboard::EncodeBlock(const QByteArray& payload) {
    QByteArray block(LengthFieldSize + payload.size(), Qt::Uninitialized);
    qToLittleEndian<quint32>(static_cast<quint32>(payload.size()), block.data());
    std::copy(payload.cbegin(), payload.cend(), block.begin() + LengthFieldSize);
    return block;
}

QByteArray TBinClipboard::DecodeBlock(const QByteArray& block) {
    if (block.size() < LengthFieldSize)
        throw EBinClipboardError("Invalid data in Clipboard!");
    const quint32 length = qFromLittleEndian<quint32>(block.constData());
    // The holder may hand back a larger block than was put; the length field says
    // where the payload ends. A length beyond the block is refused before any copy.
    if (static_cast<quint64>(length) > static_cast<quint64>(block.size() - LengthFieldSize))
        throw EBinClipboardError("Invalid data in Clipboard!");
    return block.mid(LengthFieldSize, static_cast<qsizetype>(length));
}

void TBinClipboard::PutStream(const QByteArray& stream, const TAlongside& alongside) {
    QClipboard* clipboard = SystemClipboard();
    auto data = std::make_unique<QMimeData>();
    data->setData(m_formatName, EncodeBlock(stream));
    for (const auto& [format, bytes] : alongside)
        data->setData(format, bytes);
    clipboard->setMimeData(data.release());
}

bool TBinClipboard::GetStream(QByteArray& stream) const {
    if (!HasData())
        return false;
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (data == nullptr)
        throw EBinClipboardError("Error! No memory?");
    stream = DecodeBlock(data->data(m_formatName));
    return true;
}

} // namespace vistrel
