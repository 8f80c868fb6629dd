#include "frameClipboard.h"

#include "clipboardBlock.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <memory>

namespace vistrel {

namespace {

const QMimeData* FramesOnClipboard() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data != nullptr && data->hasFormat(QLatin1String(FrameClipboardFormat)) ? data : nullptr;
}

} // namespace

bool TFrameClipboard::HasFrames() const {
    return FramesOnClipboard() != nullptr;
}

void TFrameClipboard::PutFrames(const QByteArray& payload) {
    auto data = std::make_unique<QMimeData>();
    data->setData(QLatin1String(FrameClipboardFormat), EncodeClipboardBlock(payload));
    QGuiApplication::clipboard()->setMimeData(data.release());
}

std::optional<QByteArray> TFrameClipboard::Frames() const {
    const QMimeData* data = FramesOnClipboard();
    if (data == nullptr)
        return std::nullopt;
    return DecodeClipboardBlock(data->data(QLatin1String(FrameClipboardFormat)));
}

} // namespace vistrel
