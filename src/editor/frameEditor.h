#pragma once

#include "editorBitmaps.h"
#include "frameEditorHost.h"
#include "toolStateMachine.h"

#include <QObject>

class QAction;
class QMenu;
class QPainter;

namespace vistrel {

class TAnimation;
class TEditorToolBar;
class TPaintBox;

// The Frame page's editor: the pictures of the current frame, the tools and
// their mouse handling, and the Edit menu's commands. The window shows its
// paint boxes and tool bar and hands it the Edit menu to fill.
class TFrameEditor : public QObject {
    Q_OBJECT

public:
    explicit TFrameEditor(IFrameEditorHost& host, QObject* parent = nullptr);

    // Connects the editor and preview paint boxes and the tool bar, and puts the
    // Edit menu's items into editMenu.
    void Attach(TPaintBox* editorBox, TPaintBox* previewBox, TEditorToolBar* toolBar,
                QMenu* editMenu);

    TEditorBitmaps& Bitmaps() { return m_bitmaps; }
    const TEditorBitmaps& Bitmaps() const { return m_bitmaps; }
    TToolStateMachine& Tools() { return m_tools; }

    // A new undo history for the frame now current (-1: none).
    void ResetUndo(const TAnimation& animation, int currentFrame);

    // Tools and mouse.
    void spdbtnPenClick(TTool tool);
    void pntbxEditorMouseDown(Qt::MouseButton button, QPoint position);
    void pntbxEditorMouseMove(QPoint position, bool shiftHeld);
    void pntbxEditorMouseUp();
    void pntbxEditorPaint(QPainter& painter);
    void pntbxPreviewPaint(QPainter& painter);

    // Edit menu.
    void Edit1Click();
    void Undo1Click();
    void Redo1Click();

    // The editor, its preview and the current thumbnail show the picture anew.
    void RepaintEditor();

private:
    void BuildEditMenu(QMenu* editMenu);

    IFrameEditorHost& m_host;
    TEditorBitmaps m_bitmaps;
    TToolStateMachine m_tools{m_bitmaps};

    TPaintBox* m_editorBox = nullptr;
    TPaintBox* m_previewBox = nullptr;
    QAction* m_undo = nullptr;
    QAction* m_redo = nullptr;
};

} // namespace vistrel
