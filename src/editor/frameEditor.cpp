#include "frameEditor.h"

#include "editorToolBar.h"
#include "paintBox.h"
#include "toolCursors.h"

#include <QAction>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>

namespace vistrel {

TFrameEditor::TFrameEditor(IFrameEditorHost& host, QObject* parent)
    : QObject(parent), m_host(host) {}

void TFrameEditor::Attach(TPaintBox* editorBox, TPaintBox* previewBox, TEditorToolBar* toolBar,
                          QMenu* editMenu) {
    m_editorBox = editorBox;
    m_previewBox = previewBox;
    m_editorBox->OnPaint = [this](QPainter& painter) { pntbxEditorPaint(painter); };
    m_previewBox->OnPaint = [this](QPainter& painter) { pntbxPreviewPaint(painter); };
    connect(toolBar, &TEditorToolBar::ToolClicked, this, &TFrameEditor::spdbtnPenClick);
    m_editorBox->setMouseTracking(true);
    m_editorBox->setCursor(ToolCursor(m_tools.ToolCursor()));
    m_editorBox->OnMouseDown = [this](QMouseEvent& event) {
        pntbxEditorMouseDown(event.button(), event.position().toPoint());
    };
    m_editorBox->OnMouseMove = [this](QMouseEvent& event) {
        pntbxEditorMouseMove(event.position().toPoint(), event.modifiers() & Qt::ShiftModifier);
    };
    m_editorBox->OnMouseUp = [this](QMouseEvent&) { pntbxEditorMouseUp(); };
    BuildEditMenu(editMenu);
    Edit1Click();
}

void TFrameEditor::BuildEditMenu(QMenu* editMenu) {
    m_undo = editMenu->addAction(QStringLiteral("&Undo"));
    m_undo->setObjectName(QStringLiteral("Undo1"));
    m_undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    connect(m_undo, &QAction::triggered, this, &TFrameEditor::Undo1Click);
    m_redo = editMenu->addAction(QStringLiteral("&Redo"));
    m_redo->setObjectName(QStringLiteral("Redo1"));
    m_redo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y));
    connect(m_redo, &QAction::triggered, this, &TFrameEditor::Redo1Click);
    connect(editMenu, &QMenu::aboutToShow, this, &TFrameEditor::Edit1Click);
}

void TFrameEditor::ResetUndo(const TAnimation& animation, int currentFrame) {
    m_bitmaps.ResetUndo(animation, currentFrame);
    Edit1Click();
}

void TFrameEditor::RepaintEditor() {
    if (m_editorBox == nullptr)
        return;
    m_editorBox->update();
    m_previewBox->update();
    m_host.RepaintCurrentThumbnail();
}

void TFrameEditor::pntbxEditorPaint(QPainter& painter) {
    m_bitmaps.ComposeEditorPicture();
    painter.drawImage(0, 0, m_bitmaps.DisplayBitmap);
}

void TFrameEditor::pntbxPreviewPaint(QPainter& painter) {
    painter.drawImage(m_previewBox->rect(), m_bitmaps.WorkBitmap);
}

void TFrameEditor::spdbtnPenClick(TTool tool) {
    RepaintEditor();
    m_tools.SelectTool(tool);
    m_editorBox->setCursor(ToolCursor(m_tools.ToolCursor()));
}

void TFrameEditor::pntbxEditorMouseDown(Qt::MouseButton button, QPoint position) {
    if (!m_tools.MouseDown(button, TToolStateMachine::PixelAt(position)))
        return;
    m_host.SetModified(true);
    // The window's own key handlers get the keys while drawing.
    m_host.ReleaseKeyboardFocus();
    RepaintEditor();
}

void TFrameEditor::pntbxEditorMouseMove(QPoint position, bool shiftHeld) {
    const QPoint pixel = TToolStateMachine::PixelAt(position);
    m_host.ShowCursorCell(pixel);
    if (m_tools.MouseMove(pixel, shiftHeld))
        RepaintEditor();
}

void TFrameEditor::pntbxEditorMouseUp() {
    if (!m_tools.MouseUp())
        return;
    RepaintEditor();
    Edit1Click();
}

void TFrameEditor::Edit1Click() {
    if (m_undo == nullptr)
        return;
    const bool scriptPage = m_host.EditTarget() == TEditTarget::Script;
    QPlainTextEdit* memo = m_host.ScriptMemo();
    m_undo->setEnabled(scriptPage ? memo != nullptr && memo->document()->isUndoAvailable()
                                  : m_bitmaps.UndoList.CanUndo());
    m_redo->setEnabled(!scriptPage && m_bitmaps.UndoList.CanRedo());
}

void TFrameEditor::Undo1Click() {
    Edit1Click();
    if (!m_undo->isEnabled())
        return;
    if (m_host.EditTarget() == TEditTarget::Script) {
        m_host.ScriptMemo()->undo();
        return;
    }
    m_bitmaps.WorkBitmap = m_bitmaps.UndoList.Undo().copy();
    RepaintEditor();
    Edit1Click();
}

void TFrameEditor::Redo1Click() {
    Edit1Click();
    if (!m_redo->isEnabled())
        return;
    m_bitmaps.WorkBitmap = m_bitmaps.UndoList.Redo().copy();
    RepaintEditor();
    Edit1Click();
}

} // namespace vistrel
