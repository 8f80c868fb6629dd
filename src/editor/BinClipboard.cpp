#include "BinClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <memory>

namespace vistrel {

namespace {

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
