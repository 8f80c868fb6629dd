#include "frameCommands.h"

#include "document.h"
#include "frameCommandsHost.h"
#include "localFiles.h"
#include "prompts.h"
#include "undoCommands.h"
#include "unitAnimation.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QWidget>
#include <utility>

namespace vistrel {

namespace {

QString FrameLimitText(const char* text) {
    return QString::fromLatin1(text).arg(MaxDocumentFrames);
}

QString InsertFrameText() {
    return TFrameCommands::tr("Insert Frame");
}

// A frame as a copy of it travels: its picture and duration. The layer marks
// stay where they are, since each is on one frame at most, and so does the
// range mark.
TFrame PictureAndDuration(const TFrame& source) {
    TFrame frame;
    frame.SetDuration(source.Duration());
    frame.Pixels = source.Pixels;
    return frame;
}

} // namespace

TFrameCommands::TFrameCommands(IFrameCommandsHost& host, QMenu& menu, QWidget& shortcutOwner)
    : QObject(&menu), m_host(host), m_menu(&menu) {
    QMenu* insertFrame = menu.addMenu(QStringLiteral("&Insert Frame"));
    insertFrame->setObjectName(QStringLiteral("InsertFrame1"));
    m_insertFrame = insertFrame->menuAction();
    m_insertFrame->setObjectName(QStringLiteral("InsertFrame1"));
    m_beforeCurrent1 = AddItem(*insertFrame, "BeforeCurrent1", QStringLiteral("Be&fore Current"),
                               &TFrameCommands::BeforeCurrent1Click);
    m_afterCurrent1 = AddItem(*insertFrame, "AfterCurrent1", QStringLiteral("&After Current"),
                              &TFrameCommands::AfterCurrent1Click);
    m_duplicateFrames = AddItem(menu, "DuplicateFrames1", QStringLiteral("D&uplicate Frame(s)"),
                                &TFrameCommands::DuplicateFrames1Click);
    m_deleteFrame = AddItem(menu, "DeleteFrame1", QStringLiteral("&Delete Frame(s)"),
                            &TFrameCommands::DeleteFrame1Click);
    menu.addSeparator();
    m_cutFrame = AddItem(menu, "CutFrame1", QStringLiteral("Cu&t Frame(s)"),
                         &TFrameCommands::CutFrame1Click);
    m_copyFrame = AddItem(menu, "CopyFrame1", QStringLiteral("&Copy Frame(s)"),
                          &TFrameCommands::CopyFrame1Click);
    m_pasteFrame = AddItem(menu, "PasteFrame1", QStringLiteral("&Paste Frame(s)"),
                           &TFrameCommands::PasteFrame1Click);
    menu.addSeparator();
    QMenu* insertAnimation = menu.addMenu(QStringLiteral("Insert &Animation"));
    insertAnimation->setObjectName(QStringLiteral("PasteFrom1"));
    m_insertAnimation = insertAnimation->menuAction();
    m_insertAnimation->setObjectName(QStringLiteral("PasteFrom1"));
    AddItem(*insertAnimation, "BeforeCurrent2", QStringLiteral("Be&fore Current"),
            &TFrameCommands::BeforeCurrent2Click);
    AddItem(*insertAnimation, "AfterCurrent2", QStringLiteral("&After Current"),
            &TFrameCommands::AfterCurrent2Click);
    menu.addSeparator();
    BuildSpeedMenu(menu);
    m_properties = AddItem(menu, "Properties1", QStringLiteral("P&roperties"),
                           &TFrameCommands::Properties1Click);

    AddShortcut(shortcutOwner, m_beforeCurrent1, QKeySequence(Qt::SHIFT | Qt::Key_Insert));
    AddShortcut(shortcutOwner, m_afterCurrent1, QKeySequence(Qt::Key_Insert));
    AddShortcut(shortcutOwner, m_duplicateFrames, QKeySequence(Qt::CTRL | Qt::Key_D));
    m_deleteKey = AddShortcut(shortcutOwner, m_deleteFrame, QKeySequence(Qt::Key_Delete));
    connect(&menu, &QMenu::aboutToShow, this, &TFrameCommands::Animation1Click);
}

QAction* TFrameCommands::AddItem(QMenu& menu, const char* name, const QString& caption,
                                 void (TFrameCommands::*handler)()) {
    QAction* item = menu.addAction(caption);
    item->setObjectName(QLatin1String(name));
    connect(item, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    return item;
}

QAction* TFrameCommands::AddShortcut(QWidget& owner, QAction* item, const QKeySequence& key) {
    // The item shows its key, but only acts on it from inside the open menu; the
    // window's key runs the menu's enabling first, so that a key never acts on a
    // state the menu would refuse.
    item->setShortcut(key);
    item->setShortcutContext(Qt::WidgetShortcut);
    auto* windowKey = new QAction(&owner);
    windowKey->setShortcut(key);
    windowKey->setShortcutContext(Qt::WindowShortcut);
    connect(windowKey, &QAction::triggered, this, [this, item] { RunShortcut(item); });
    owner.addAction(windowKey);
    return windowKey;
}

void TFrameCommands::SetDeleteKeyActive(bool active) {
    const QKeySequence key = active ? QKeySequence(Qt::Key_Delete) : QKeySequence();
    m_deleteFrame->setShortcut(key);
    m_deleteKey->setShortcut(key);
}

void TFrameCommands::RunShortcut(QAction* item) {
    if (m_host.Document().Closed())
        return;
    Animation1Click();
    if (!item->isEnabled())
        return;
    // Del deletes frames only from the Frame page; elsewhere it belongs to the
    // page. On the Frame page a floating selection or typed text takes it first.
    if (item == m_deleteFrame && (!m_host.FramePageActive() || m_host.EditorTakesDeleteKey()))
        return;
    item->trigger();
}

void TFrameCommands::Animation1Click() {
    TAnimation& animation = m_host.Document().Animation();
    const bool current = animation.IsValidIndex(m_host.Document().CurFrame());
    m_duplicateFrames->setEnabled(current);
    m_deleteFrame->setEnabled(current);
    m_cutFrame->setEnabled(current);
    m_copyFrame->setEnabled(current);
    m_pasteFrame->setEnabled(m_clipboard.HasFrames());
    m_adjustSpeed->setEnabled(animation.FrameCount() >= 1);
}

void TFrameCommands::BeforeFramesChange() {
    m_host.BeforeFramesChange();
}

void TFrameCommands::EndRange() {
    // Marks are taken off every frame, not only SelFirst..SelLast: an insert may
    // have moved marked frames out of that range.
    m_host.Document().Animation().ClearSelectedMarks();
    m_host.Document().SetMultipleSel(false);
}

void TFrameCommands::ShowError(const QString& text) {
    m_host.Prompts().MessageBox(text, QStringLiteral("Error"), PromptIcon::Error,
                                PromptButtons::Ok);
}

bool TFrameCommands::PushInsert(int index, std::vector<TFrame> frames, const QString& text) {
    TAnimation& animation = m_host.Document().Animation();
    const int countBefore = animation.FrameCount();
    // A refused insert is dropped by the history before push returns.
    m_host.Document().Push(
        new TInsertFramesCommand(m_host.Document(), index, std::move(frames), text));
    return animation.FrameCount() > countBefore;
}

bool TFrameCommands::InsertFrameAfterCurrent() {
    BeforeFramesChange();
    EndRange();
    m_host.StoreCurrentFrame();
    // After the last frame, or as the first one, this appends.
    const int index = m_host.Document().CurFrame() + 1;
    const bool inserted = PushInsert(index, std::vector<TFrame>(1), InsertFrameText());
    if (inserted)
        m_host.SetCurFrame(index);
    else
        ShowError(FrameLimitText("Unable to insert new frame (maximum = %1)."));
    m_host.RefreshFrames(true);
    return inserted;
}

void TFrameCommands::AfterCurrent1Click() {
    InsertFrameAfterCurrent();
}

void TFrameCommands::BeforeCurrent1Click() {
    BeforeFramesChange();
    EndRange();
    m_host.StoreCurrentFrame();
    TAnimation& animation = m_host.Document().Animation();
    const int current = m_host.Document().CurFrame();
    // The new frame takes the current index, so CurFrame then names it.
    const bool hasCurrent = animation.IsValidIndex(current);
    const bool inserted =
        PushInsert(hasCurrent ? current : 0, std::vector<TFrame>(1), InsertFrameText());
    if (inserted && !hasCurrent)
        m_host.SetCurFrame(0);
    if (!inserted)
        ShowError(FrameLimitText("Unable to insert new frame (maximum = %1)."));
    m_host.ShowCurrentFrame();
    m_host.RefreshFrames(true);
}

std::vector<int> TFrameCommands::ChosenFrames(bool range, int current) const {
    if (!range)
        return {current};
    const TAnimation& animation = m_host.Document().Animation();
    std::vector<int> chosen;
    for (int index = 0; index < animation.FrameCount(); ++index)
        if (animation.Frame(index).Selected())
            chosen.push_back(index);
    return chosen;
}

void TFrameCommands::DuplicateFrames1Click() {
    const TAnimation& animation = m_host.Document().Animation();
    const int current = m_host.Document().CurFrame();
    if (!animation.IsValidIndex(current))
        return;
    BeforeFramesChange();
    m_host.StoreCurrentFrame();
    const std::vector<int> chosen = ChosenFrames(m_host.Document().MultipleSel(), current);
    if (chosen.empty())
        return;
    std::vector<TFrame> copies;
    for (const int index : chosen)
        copies.push_back(PictureAndDuration(animation.Frame(index)));
    // The copies follow the last frame copied, so a range comes out twice in a row.
    const int first = chosen.back() + 1;
    if (!PushInsert(first, std::move(copies), tr("Duplicate Frames"))) {
        ShowError(FrameLimitText("Unable to insert new frame (maximum = %1)."));
        return;
    }
    EndRange();
    m_host.SetCurFrame(first);
    m_host.RefreshFrames(true);
}

QUndoCommand* TFrameCommands::RemoveStep(bool range, int current, const QString& text) {
    if (!range)
        return new TRemoveFramesCommand(m_host.Document(), current, current, text);
    // The marked frames as runs of neighbours, each its first and last index.
    const TAnimation& animation = m_host.Document().Animation();
    std::vector<std::pair<int, int>> runs;
    for (int index = 0; index < animation.FrameCount(); ++index) {
        if (!animation.Frame(index).Selected())
            continue;
        if (!runs.empty() && runs.back().second == index - 1)
            runs.back().second = index;
        else
            runs.emplace_back(index, index);
    }
    if (runs.empty())
        return nullptr;
    if (runs.size() == 1)
        return new TRemoveFramesCommand(m_host.Document(), runs[0].first, runs[0].second, text);
    // The last run goes first, so the indexes of the others still hold.
    auto* step = new QUndoCommand(text);
    for (auto run = runs.rbegin(); run != runs.rend(); ++run)
        new TRemoveFramesCommand(m_host.Document(), run->first, run->second, text, step);
    return step;
}

void TFrameCommands::RemoveFrames(bool toClipboard) {
    TAnimation& animation = m_host.Document().Animation();
    const int current = m_host.Document().CurFrame();
    if (!animation.IsValidIndex(current))
        return;
    BeforeFramesChange();
    m_host.StoreCurrentFrame();
    const bool range = m_host.Document().MultipleSel();
    bool red = false;
    bool blue = false;
    for (const int index : ChosenFrames(range, current)) {
        red = red || animation.Frame(index).RedLayer();
        blue = blue || animation.Frame(index).BlueLayer();
    }
    if (toClipboard)
        CopyFrames(range, current);
    if (QUndoCommand* step =
            RemoveStep(range, current, toClipboard ? tr("Cut Frames") : tr("Delete Frames")))
        m_host.Document().Push(step);
    if (red || blue)
        m_host.ClearLayerPictures(red, blue);
    // The range ends before the current frame moves, so nothing reads the old
    // range's indexes past the new end.
    EndRange();
    if (animation.FrameCount() <= current)
        m_host.SetCurFrame(animation.FrameCount() - 1);
    m_host.ShowCurrentFrame();
    m_host.RefreshFrames(toClipboard);
}

void TFrameCommands::DeleteFrame1Click() {
    RemoveFrames(false);
}

void TFrameCommands::CutFrame1Click() {
    RemoveFrames(true);
}

void TFrameCommands::CopyFrames(bool range, int current) {
    const TAnimation& animation = m_host.Document().Animation();
    const QByteArray payload =
        range ? animation.SelectedFramesPayload() : animation.FramePayload(current);
    // A range with no frame marked leaves what the clipboard holds.
    if (!payload.isEmpty())
        m_clipboard.PutFrames(payload);
}

void TFrameCommands::CopyFrame1Click() {
    const int current = m_host.Document().CurFrame();
    if (!m_host.Document().Animation().IsValidIndex(current))
        return;
    m_host.StoreCurrentFrame();
    CopyFrames(m_host.Document().MultipleSel(), current);
}

void TFrameCommands::PasteFrame1Click() {
    TAnimation& animation = m_host.Document().Animation();
    if (!m_clipboard.HasFrames())
        return;
    BeforeFramesChange();
    EndRange();
    m_host.StoreCurrentFrame();
    const int current = m_host.Document().CurFrame();
    const int countBefore = animation.FrameCount();
    try {
        // Frames that do not all fit are refused whole; broken data throws.
        const std::optional<QByteArray> payload = m_clipboard.Frames();
        if (payload) {
            TAnimation pasted;
            // The frames are read whole before any goes in; none at all is no paste.
            const bool read = pasted.InsertFramePayload(-1, *payload);
            if (!read || (pasted.FrameCount() > 0 &&
                          !PushInsert(current, pasted.TakeFrames(0, pasted.FrameCount() - 1),
                                      tr("Paste Frames"))))
                ShowError(FrameLimitText("Unable to insert all frames (maximum = %1)."));
        }
    } catch (const EBinClipboardError& error) {
        ShowError(QString::fromLocal8Bit(error.what()));
    }
    // A refused paste leaves the document as it was: not modified, and the
    // current frame keeps its picture and its undo steps in the editor.
    if (animation.FrameCount() > countBefore) {
        if (!animation.IsValidIndex(current))
            m_host.SetCurFrame(countBefore);
        else
            m_host.ShowCurrentFrame();
    }
    m_host.RefreshFrames(true);
}

void TFrameCommands::BeforeCurrent2Click() {
    InsertAnimationFile(false);
}

void TFrameCommands::AfterCurrent2Click() {
    InsertAnimationFile(true);
}

void TFrameCommands::InsertAnimationFile(bool after) {
    const std::optional<QString> fileName = m_host.AskAnimationFileName();
    if (!fileName)
        return;
    // Read before anything changes: a file that cannot be read is named as such,
    // and leaves the document as it was.
    TAnimation source;
    QString reason;
    if (!source.LoadFromFile(*fileName, &reason)) {
        ShowError(UnableToOpenMessage(QFileInfo(*fileName).fileName(), reason));
        return;
    }
    BeforeFramesChange();
    EndRange();
    m_host.StoreCurrentFrame();
    TAnimation& animation = m_host.Document().Animation();
    const int current = m_host.Document().CurFrame();
    const int countBefore = animation.FrameCount();
    const bool hasCurrent = animation.IsValidIndex(current);
    const bool append = !hasCurrent || (after && current == countBefore - 1);
    // The frames come in with their durations and pictures only.
    std::vector<TFrame> frames;
    frames.reserve(static_cast<std::size_t>(source.FrameCount()));
    for (int i = 0; i < source.FrameCount(); ++i)
        frames.push_back(PictureAndDuration(source.Frame(i)));
    const bool inserted = frames.empty() || PushInsert(append ? -1 : current + (after ? 1 : 0),
                                                       std::move(frames), tr("Insert Animation"));
    if (!inserted) {
        // Appending after the last frame says so with a full stop; inserting
        // before later frames without.
        ShowError(FrameLimitText(append && after ? "Unable to insert all frames (maximum = %1)."
                                                 : "Unable to insert all frames (maximum = %1)"));
    }
    const bool added = animation.FrameCount() > countBefore;
    if (!hasCurrent && added)
        m_host.SetCurFrame(after ? animation.FrameCount() - 1 : 0);
    else if (append && after && inserted && added)
        m_host.SetCurFrame(animation.FrameCount() - 1);
    else
        m_host.ShowCurrentFrame();
    m_host.RefreshFrames(true);
}

} // namespace vistrel
