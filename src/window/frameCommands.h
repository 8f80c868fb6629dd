#pragma once

#include "frameClipboard.h"

#include <QObject>
#include <vector>

class QAction;
class QMenu;
class QUndoCommand;
class QWidget;

namespace vistrel {

class IFrameCommandsHost;
class TFrame;

// The Animation menu (Animation1): inserting blank frames, deleting, cutting,
// copying and pasting frames (it owns their way to the system clipboard),
// inserting other animation files, the speed submenu and the Properties dialog.
// Everything it needs of the document goes through IFrameCommandsHost.
class TFrameCommands : public QObject {
    Q_OBJECT

public:
    // Fills menu with the items. The shortcut keys are taken on shortcutOwner (the
    // main window), where they first run the same enabling as the opening menu.
    TFrameCommands(IFrameCommandsHost& host, QMenu& menu, QWidget& shortcutOwner);

    // The menu opens: enables its items for the document as it is now.
    void Animation1Click();
    // Del deletes frames only on the Frame page, and there only while no
    // selection floats and no text is typed; elsewhere the key belongs to the
    // page's own controls and the item shows no key.
    void SetDeleteKeyActive(bool active);

    void BeforeCurrent1Click();
    void AfterCurrent1Click();
    // Ctrl+D: copies of the current frame, or of the marked range, go right
    // after it with their pictures and durations; the first copy becomes current.
    void DuplicateFrames1Click();
    void DeleteFrame1Click();
    void CutFrame1Click();
    void CopyFrame1Click();
    void PasteFrame1Click();
    void BeforeCurrent2Click();
    void AfterCurrent2Click();
    // Shared by the speed items; the item's data is its speed in percent, 0 asks.
    void mnuitmRateCustomClick(const QAction* item);
    void Properties1Click();

    // Insert Frame > After Current for other parts of the window: a blank frame
    // goes after the current one and becomes current, the range ends, the strip
    // and the panels follow and the document is marked modified. False, after
    // the frame-limit message, when the animation is full.
    bool InsertFrameAfterCurrent();

private:
    QAction* AddItem(QMenu& menu, const char* name, const QString& caption,
                     void (TFrameCommands::*handler)());
    QAction* AddShortcut(QWidget& owner, QAction* item, const QKeySequence& key);
    void RunShortcut(QAction* item);
    void BuildSpeedMenu(QMenu& menu);
    // The speed items name the marked range when they act on it alone.
    void ShowSpeedScope(bool range);

    // Every command that changes the frame list or the durations starts here.
    void BeforeFramesChange();
    // Puts frames in before index (-1: after the last) as one step of the
    // history. False, with the document and the history as they were, when they
    // do not all fit.
    bool PushInsert(int index, std::vector<TFrame> frames, const QString& text);
    // The step that takes out the current frame or the marked range; nothing
    // when a range is on but no frame is marked.
    QUndoCommand* RemoveStep(bool range, int current, const QString& text);
    // The frames a command acts on: the marked ones in order while a range is
    // on (none when no frame is marked), else the current frame.
    std::vector<int> ChosenFrames(bool range, int current) const;
    void EndRange();
    // Copy and Cut: the marked range, or else the current frame, goes on the clipboard.
    void CopyFrames(bool range, int current);
    // Delete and Cut: the current frame or the marked range leaves the animation.
    void RemoveFrames(bool toClipboard);
    // Insert Animation: asks for a file and inserts its frames.
    void InsertAnimationFile(bool after);
    void ShowError(const QString& text);

    IFrameCommandsHost& m_host;
    TFrameClipboard m_clipboard;
    QMenu* m_menu = nullptr;
    QAction* m_insertFrame = nullptr;
    QAction* m_beforeCurrent1 = nullptr;
    QAction* m_afterCurrent1 = nullptr;
    QAction* m_duplicateFrames = nullptr;
    QAction* m_deleteFrame = nullptr;
    QAction* m_cutFrame = nullptr;
    QAction* m_copyFrame = nullptr;
    QAction* m_pasteFrame = nullptr;
    QAction* m_insertAnimation = nullptr;
    QAction* m_adjustSpeed = nullptr;
    std::vector<QAction*> m_speedItems; // in the order of the submenu
    QAction* m_properties = nullptr;
    QAction* m_deleteKey = nullptr; // the window's Del
};

} // namespace vistrel
