#include "formMain.h"
#include "frameStrip.h"
#include "paintBox.h"
#include "undoCommands.h"

#include <QMenu>

namespace vistrel {

void TfrmMain::BuildFramePopup() {
    m_frameMenu = new QMenu(this);
    m_frameMenu->setObjectName(QStringLiteral("mnuFrame"));
    m_redLayer = m_frameMenu->addAction(QStringLiteral("&Red Layer"));
    m_redLayer->setObjectName(QStringLiteral("RedLayer1"));
    m_redLayer->setCheckable(true);
    connect(m_redLayer, &QAction::triggered, this, &TfrmMain::RedLayer1Click);
    m_blueLayer = m_frameMenu->addAction(QStringLiteral("&Blue Layer"));
    m_blueLayer->setObjectName(QStringLiteral("BlueLayer1"));
    m_blueLayer->setCheckable(true);
    connect(m_blueLayer, &QAction::triggered, this, &TfrmMain::BlueLayer1Click);
}

void TfrmMain::PopupFrameMenu(int frame, QPoint globalPosition) {
    if (!m_document.Animation().IsValidIndex(frame))
        return;
    m_popupFrame = frame;
    m_redLayer->setChecked(m_document.Animation().Frame(frame).RedLayer());
    m_blueLayer->setChecked(m_document.Animation().Frame(frame).BlueLayer());
    m_frameMenu->popup(globalPosition);
}

// The layers show the frame as stored in the animation, not the editor's
// unsaved strokes; a layer frame that is being edited catches up when another
// frame becomes current.
void TfrmMain::ToggleLayer(bool red) {
    if (!m_document.Animation().IsValidIndex(m_popupFrame))
        return;
    TFrame& frame = m_document.Animation().Frame(m_popupFrame);
    const bool checked = (red ? m_redLayer : m_blueLayer)->isChecked();
    QImage& layer = red ? Editor().RedLayerBitmap : Editor().BlueLayerBitmap;
    if (checked) {
        // The frame gives up the other layer, whose picture goes with it.
        if (red ? frame.BlueLayer() : frame.RedLayer())
            (red ? Editor().BlueLayerBitmap : Editor().RedLayerBitmap).fill(Qt::black);
        QImage stored = NewFrameBitmap(Qt::white);
        m_document.Animation().DrawFrame(m_popupFrame, stored);
        if (red)
            Editor().BuildRedLayer(stored);
        else
            Editor().BuildBlueLayer(stored);
    } else {
        layer.fill(Qt::black);
    }
    if ((red ? frame.RedLayer() : frame.BlueLayer()) != checked) {
        using Layer = TLayerMarkCommand::Layer;
        m_document.Push(new TLayerMarkCommand(m_document, m_popupFrame,
                                              red ? Layer::Red : Layer::Blue, checked));
    }
    m_editorBox->update();
    m_frameStrip->RefreshFrameStrip();
}

void TfrmMain::RedLayer1Click() {
    ToggleLayer(true);
}
void TfrmMain::BlueLayer1Click() {
    ToggleLayer(false);
}

} // namespace vistrel
