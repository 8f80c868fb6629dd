#include "editorToolBar.h"
#include "formMain.h"
#include "frameStrip.h"
#include "paintBox.h"
#include "toolCursors.h"

#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTabWidget>

namespace vistrel {

void TfrmMain::BuildEditMenu() {
    m_undo = m_editMenu->addAction(QStringLiteral("&Undo"));
    m_undo->setObjectName(QStringLiteral("Undo1"));
    m_undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    connect(m_undo, &QAction::triggered, this, &TfrmMain::Undo1Click);
    m_redo = m_editMenu->addAction(QStringLiteral("&Redo"));
    m_redo->setObjectName(QStringLiteral("Redo1"));
    m_redo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y));
    connect(m_redo, &QAction::triggered, this, &TfrmMain::Redo1Click);
    connect(m_editMenu, &QMenu::aboutToShow, this, &TfrmMain::Edit1Click);
}

void TfrmMain::ConnectEditor() {
    connect(m_toolBar, &TEditorToolBar::ToolClicked, this, &TfrmMain::spdbtnPenClick);
    m_editorBox->setMouseTracking(true);
    m_editorBox->setCursor(ToolCursor(m_tools.ToolCursor()));
    m_editorBox->OnMouseDown = [this](QMouseEvent& event) {
        pntbxEditorMouseDown(event.button(), event.position().toPoint());
    };
    m_editorBox->OnMouseMove = [this](QMouseEvent& event) {
        pntbxEditorMouseMove(event.position().toPoint(), event.modifiers() & Qt::ShiftModifier);
    };
    m_editorBox->OnMouseUp = [this](QMouseEvent&) { pntbxEditorMouseUp(); };
    Edit1Click();
}

void TfrmMain::spdbtnPenClick(TTool tool) {
    RepaintEditor();
    m_tools.SelectTool(tool);
    m_editorBox->setCursor(ToolCursor(m_tools.ToolCursor()));
}

void TfrmMain::ShowStatusCell(QPoint pixel) {
    if (pixel == m_statusCell)
        return;
    m_statusCell = pixel;
    m_panels[0]->setText(QStringLiteral("%1, %2").arg(pixel.x() + 1).arg(pixel.y() + 1));
}

void TfrmMain::pntbxEditorMouseDown(Qt::MouseButton button, QPoint position) {
    if (!m_tools.MouseDown(button, TToolStateMachine::PixelAt(position)))
        return;
    SetModified(true);
    // The window's own key handlers get the keys while drawing.
    ReleaseKeyboardFocus();
    RepaintEditor();
}

void TfrmMain::pntbxEditorMouseMove(QPoint position, bool shiftHeld) {
    const QPoint pixel = TToolStateMachine::PixelAt(position);
    ShowStatusCell(pixel);
    if (m_tools.MouseMove(pixel, shiftHeld))
        RepaintEditor();
}

void TfrmMain::pntbxEditorMouseUp() {
    if (!m_tools.MouseUp())
        return;
    RepaintEditor();
    Edit1Click();
}

void TfrmMain::Edit1Click() {
    const bool scriptPage = m_pages->currentWidget() == m_scriptPage;
    m_undo->setEnabled(scriptPage ? m_memoScript->document()->isUndoAvailable()
                                  : m_editor.UndoList.CanUndo());
    m_redo->setEnabled(!scriptPage && m_editor.UndoList.CanRedo());
}

void TfrmMain::Undo1Click() {
    Edit1Click();
    if (!m_undo->isEnabled())
        return;
    if (m_pages->currentWidget() == m_scriptPage) {
        m_memoScript->undo();
        return;
    }
    m_editor.WorkBitmap = m_editor.UndoList.Undo().copy();
    RepaintEditor();
    Edit1Click();
}

void TfrmMain::Redo1Click() {
    Edit1Click();
    if (!m_redo->isEnabled())
        return;
    m_editor.WorkBitmap = m_editor.UndoList.Redo().copy();
    RepaintEditor();
    Edit1Click();
}

} // namespace vistrel
