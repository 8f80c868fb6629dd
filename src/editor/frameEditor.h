#pragma once

#include "BinClipboard.h"
#include "editorBitmaps.h"
#include "frameEditorHost.h"
#include "onionSkin.h"
#include "pixelPrimitives.h"
#include "toolStateMachine.h"

#include <QFont>
#include <QObject>
#include <QTimer>
#include <optional>

class QAction;
class QMenu;
class QPainter;
class QPlainTextEdit;

namespace vistrel {

class TAnimation;
class TEditorToolBar;
class TPaintBox;

// The Frame page's editor: the pictures of the current frame, the tools and
// their mouse handling, the floating selection and the pixel clipboard, the
// text tool, undo, and the Edit menu's commands. The window shows its paint
// boxes and tool bar and hands it the Edit menu to fill.
class TFrameEditor : public QObject {
    Q_OBJECT

public:
    static constexpr int CaretInterval = 500; // ms between caret blinks
    static constexpr int MinFontPoints = 7;
    static constexpr int MaxFontPoints = 12;

    explicit TFrameEditor(IFrameEditorHost& host, QObject* parent = nullptr);

    // Connects the editor and preview paint boxes and the tool bar, and puts the
    // Edit menu's items into editMenu.
    void Attach(TPaintBox* editorBox, TPaintBox* previewBox, TEditorToolBar* toolBar,
                QMenu* editMenu);

    TEditorBitmaps& Bitmaps() { return m_bitmaps; }
    const TEditorBitmaps& Bitmaps() const { return m_bitmaps; }
    TToolStateMachine& Tools() { return m_tools; }
    TSelection& Selection() { return m_tools.Selection(); }
    TBinClipboard& ImageClipboard() { return m_clipboard; }

    // Another frame is now current, or another frame stands at the current
    // index: editing ends and the editor shows the frame as stored (-1: none).
    void LoadFrame(const TAnimation& animation, int currentFrame);
    // Ends text mode, drops the floating selection and forgets a drag in
    // progress. Whatever changes or reloads the current frame calls this
    // first, so that no stale picture is written over the new one.
    void EndEditing();
    // Leaving the Frame page ends editing and takes up the Selection tool.
    void FramePageLeft();

    // Tools and mouse.
    void spdbtnPenClick(TTool tool);
    void pntbxEditorMouseDown(Qt::MouseButton button, QPoint position);
    void pntbxEditorMouseMove(QPoint position, bool shiftHeld);
    void pntbxEditorMouseUp(std::optional<QPoint> position = std::nullopt);
    void pntbxEditorPaint(QPainter& painter);
    void pntbxPreviewPaint(QPainter& painter);
    void spdbtnInvertClick();
    // X and the indicator on the tool bar: which mouse button draws black.
    void SwapButtonsClick();
    // A key the window did not use on the Frame page: a tool's key, X, or an
    // arrow moving the floating selection (one dot, eight with Shift). False
    // when the editor has no use for it; while text is typed it has none.
    bool EditorKeyPress(int key, Qt::KeyboardModifiers modifiers);

    // Text tool. Text mode lasts from a press with the Text tool until editing
    // ends; only then do typed characters reach the picture.
    bool TextMode() const;
    // Typed characters; false when not in text mode (the key is not used).
    // The whole text is one undo step.
    // Escape ends text mode; other control characters are ignored.
    bool FormKeyPress(const QString& text);
    void tmrTextCursorTimer();
    // The Del key on the Frame page: a floating selection is cleared as Clear
    // Selection does; while text is typed the key does nothing. False when
    // neither is the case and the key is free for other uses.
    bool DeleteKeyPress();
    QFont TextFont() const { return m_textFont; }
    QString TypedText() const { return m_typed; }
    // The caret's left bar and bottom bar in editor screen pixels, whether shown
    // at the moment or not.
    QRect CaretRect() const { return m_caretRect.translated(m_caretOffset); }
    bool CaretShown() const { return TextMode() && m_caretShown; }

    // Edit menu.
    void Edit1Click();
    // Until WatchClipboard (or the Edit menu opening), Paste takes the
    // clipboard as empty: the first look at the system's clipboard loads every
    // image plugin, which the window leaves until it is on screen.
    void PostponeClipboard() { m_clipboardPostponed = true; }
    void WatchClipboard();
    void Undo1Click();
    void Redo1Click();
    void Cut1Click();
    void Copy1Click();
    void Paste1Click();
    void ClearSelection1Click();
    void SelectAll1Click();
    // On the floating selection when there is one, else on the whole frame.
    void FlipHorizontal1Click();
    void FlipVertical1Click();
    void Rotate1801Click();

    // The picture the editor shows: frame, layers, grid, the selection's
    // outline or the rubber band, and the caret.
    const QImage& ComposeEditorPicture();

    // The editor, its preview and the current thumbnail show the picture anew.
    void RepaintEditor();

    // View > Onion Skin (F3), also the tool bar's button: the frames around the
    // current one shown faintly under it. The action is the editor's so that
    // the menu item and the button are always in the same state.
    QAction* OnionSkinAction() const { return m_onionSkin; }
    bool OnionSkinShown() const;
    void SetOnionSkinShown(bool shown);
    const TOnionSkinSettings& OnionSkinSettings() const { return m_onionSkinSettings; }
    void SetOnionSkinSettings(const TOnionSkinSettings& settings);

protected:
    // While text is typed, keys that type a character reach the text even
    // where an Edit menu item (Shift+H) has them as its shortcut.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildEditMenu(QMenu* editMenu);
    QAction* AddEditItem(QMenu* menu, const char* name, const QString& caption,
                         QKeySequence shortcut, void (TFrameEditor::*handler)());
    // Runs the menu's enabling first, as a shortcut must; true when the item may act.
    bool Allowed(QAction* item);
    // Runs an Edit command's Script-page branch on the memo; true when the
    // Frame page's branch is to run instead.
    bool FrameBranch(QAction* item, void (*script)(QPlainTextEdit& memo));
    void EndTextMode();
    // The font dialog of the Text tool, asked until it gives a size the tool
    // takes or is cancelled.
    void ChooseTextFont();
    void StartText(QPoint pixel);
    // A number no step of the editor has used, for steps that merge.
    int NewSession() { return ++m_lastSession; }
    // A stroke or drag under way when a key acts ends as a step of its own,
    // so that the key's step holds only its own change.
    void EndMouseOperation();
    void FlipPicture(QAction* item, TFlip flip, const QString& text);
    void NudgeSelection(QPoint by);
    // Draws the typed text afresh over the picture at the click.
    void RenderTypedText();
    void ShowToolCursor();
    // The picture changed: it goes into the document as the undo step named
    // text (nothing when no dot changed).
    void Record(const QString& text, int session = 0);
    // A stroke, shape or move just ended: its step's name.
    QString MouseStepText() const;
    // The document's frames changed (an undo or redo, a frame command): a
    // current frame whose stored picture is no longer the one edited is shown
    // anew.
    void DocumentFramesChanged();
    // Undo and Redo on the Frame page and the pages without a text of their own.
    void StepDocument(bool undo);
    void PutSelectionOnClipboard();
    bool CanPastePixels() const;
    // The picture on the clipboard in black and white, or nothing; bad data is
    // reported to the user.
    std::optional<QImage> ReadPastedPicture();
    void TakeUpSelectionTool();
    // The onion skin's picture around current, from the frames as stored.
    void BuildOnionSkin(const TAnimation& animation, int current);
    // The same for the document's current frame, and the editor shows it.
    void OnionSkinChanged();

    IFrameEditorHost& m_host;
    TEditorBitmaps m_bitmaps;
    TToolStateMachine m_tools{m_bitmaps};
    TBinClipboard m_clipboard; // clpbrdImage
    bool m_clipboardPostponed = false;

    // Text mode.
    QTimer m_caretTimer; // tmrTextCursor
    int m_lastSession = 0;
    // Each text typed is its own undo step: the letters of one share a session.
    int m_textSession = 0;
    // The arrow-key moves of one floating block share a session, so that a
    // run of them is one step.
    int m_nudgeSession = 0;
    int m_nudgeGeneration = 0;
    // The mouse operation under way drags the floating selection.
    bool m_movedSelection = false;
    QFont m_textFont;
    QString m_typed;
    QPoint m_textOrigin;
    QRgb m_textColour = 0xFF000000;
    QRect m_caretRect;
    QPoint m_caretOffset;
    bool m_caretShown = false;

    TPaintBox* m_editorBox = nullptr;
    TPaintBox* m_previewBox = nullptr;
    TEditorToolBar* m_toolBar = nullptr;
    QAction* m_undo = nullptr;
    QAction* m_redo = nullptr;
    QAction* m_cut = nullptr;
    QAction* m_copy = nullptr;
    QAction* m_paste = nullptr;
    QAction* m_clearSelection = nullptr;
    QAction* m_selectAll = nullptr;
    QAction* m_flipHorizontal = nullptr;
    QAction* m_flipVertical = nullptr;
    QAction* m_rotate180 = nullptr;
    QAction* m_onionSkin = nullptr;
    TOnionSkinSettings m_onionSkinSettings;
};

} // namespace vistrel
