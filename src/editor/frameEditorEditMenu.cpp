// The frame editor's Edit menu: enabling the items for the page shown, and the
// commands, which act on the script's text on the Script page and on the
// picture's selection on the Frame page.

#include "document.h"
#include "frameEditor.h"
#include "paintBox.h"
#include "pixelClipboard.h"
#include "prompts.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPlainTextEdit>

namespace vistrel {

void TFrameEditor::Edit1Click() {
    if (m_undo == nullptr)
        return;
    const TEditTarget target = m_host.EditTarget();
    if (target == TEditTarget::Script) {
        const QPlainTextEdit* memo = m_host.ScriptMemo();
        const bool selected = memo->textCursor().hasSelection();
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        m_undo->setText(tr("&Undo"));
        m_redo->setText(tr("&Redo"));
        m_undo->setEnabled(memo->document()->isUndoAvailable());
        m_redo->setEnabled(false);
        m_cut->setEnabled(selected);
        m_copy->setEnabled(selected);
        m_clearSelection->setEnabled(selected);
        m_paste->setEnabled(data != nullptr && data->hasText());
        m_selectAll->setEnabled(true);
        m_flipHorizontal->setEnabled(false);
        m_flipVertical->setEnabled(false);
        m_rotate180->setEnabled(false);
        return;
    }
    // Undo and Redo name the step they take: "Undo Delete Frames".
    const QUndoStack& history = m_host.Document().UndoStack();
    const bool open = target != TEditTarget::None;
    m_undo->setText(history.canUndo() ? tr("&Undo %1").arg(history.undoText()) : tr("&Undo"));
    m_redo->setText(history.canRedo() ? tr("&Redo %1").arg(history.redoText()) : tr("&Redo"));
    m_undo->setEnabled(open && history.canUndo());
    m_redo->setEnabled(open && history.canRedo());
    const bool frame = target == TEditTarget::Frame;
    const bool selection = frame && Selection().Active();
    m_cut->setEnabled(selection);
    m_copy->setEnabled(selection);
    m_clearSelection->setEnabled(selection);
    m_paste->setEnabled(frame && CanPastePixels());
    m_selectAll->setEnabled(frame);
    m_flipHorizontal->setEnabled(frame);
    m_flipVertical->setEnabled(frame);
    m_rotate180->setEnabled(frame);
}

bool TFrameEditor::Allowed(QAction* item) {
    Edit1Click();
    return item->isEnabled();
}

bool TFrameEditor::FrameBranch(QAction* item, void (*script)(QPlainTextEdit& memo)) {
    if (!Allowed(item))
        return false;
    if (m_host.EditTarget() != TEditTarget::Script)
        return true;
    script(*m_host.ScriptMemo());
    return false;
}

void TFrameEditor::Undo1Click() {
    if (!FrameBranch(m_undo, [](QPlainTextEdit& memo) { memo.undo(); }))
        return;
    StepDocument(true);
}

void TFrameEditor::Redo1Click() {
    if (!Allowed(m_redo))
        return;
    StepDocument(false);
}

void TFrameEditor::EndMouseOperation() {
    if (m_tools.MouseState() == TMouseState::msIdle)
        return;
    const QString text = MouseStepText();
    m_tools.Cancel();
    Record(text);
}

void TFrameEditor::StepDocument(bool undo) {
    // Typing, a drag or a floating selection end first; a stroke cut short by
    // the key is a step of its own, so Undo takes back exactly what is shown.
    EndMouseOperation();
    EndEditing();
    QUndoStack& history = m_host.Document().UndoStack();
    if (undo)
        history.undo();
    else
        history.redo();
    RepaintEditor();
    Edit1Click();
}

void TFrameEditor::PutSelectionOnClipboard() {
    const QImage& pixels = m_bitmaps.SelectionBitmap;
    m_clipboard.PutStream(PictureAsBmp(pixels),
                          {{QString::fromLatin1(StandardImageFormat), PictureAsPng(pixels)}});
}

void TFrameEditor::Cut1Click() {
    if (!FrameBranch(m_cut, [](QPlainTextEdit& memo) { memo.cut(); }))
        return;
    PutSelectionOnClipboard();
    // What lay under the pixels shows again, also after a move or a paste; a
    // drag of them under way ends, so that no later move draws them again.
    m_tools.Cancel();
    Selection().Remove();
    ShowToolCursor();
    Record(tr("Cut"));
}

void TFrameEditor::Copy1Click() {
    if (!FrameBranch(m_copy, [](QPlainTextEdit& memo) { memo.copy(); }))
        return;
    PutSelectionOnClipboard();
    m_tools.Cancel();
    Edit1Click();
}

void TFrameEditor::WatchClipboard() {
    m_clipboardPostponed = false;
    Edit1Click();
}

bool TFrameEditor::CanPastePixels() const {
    if (m_clipboardPostponed)
        return false;
    if (m_clipboard.HasData())
        return true;
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data != nullptr && (data->hasFormat(QLatin1String(StandardImageFormat)) ||
                               data->hasFormat(QLatin1String(StandardBmpFormat)));
}

std::optional<QImage> TFrameEditor::ReadPastedPicture() {
    QString error;
    std::optional<QImage> picture;
    try {
        QByteArray stream;
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        if (m_clipboard.GetStream(stream))
            picture = DecodePastedPicture(stream, "BMP", error);
        else if (data != nullptr && data->hasFormat(QLatin1String(StandardImageFormat)))
            picture =
                DecodePastedPicture(data->data(QLatin1String(StandardImageFormat)), "PNG", error);
        else if (data != nullptr && data->hasFormat(QLatin1String(StandardBmpFormat)))
            picture =
                DecodePastedPicture(data->data(QLatin1String(StandardBmpFormat)), "BMP", error);
    } catch (const EBinClipboardError& failure) {
        error = QString::fromLatin1(failure.what());
    }
    if (!picture && !error.isEmpty())
        m_host.Prompts().MessageBox(error, QStringLiteral("Error"), PromptIcon::Error,
                                    PromptButtons::Ok);
    return picture;
}

void TFrameEditor::Paste1Click() {
    if (!FrameBranch(m_paste, [](QPlainTextEdit& memo) { memo.paste(); }))
        return;
    const std::optional<QImage> picture = ReadPastedPicture();
    if (!picture)
        return;
    // The earlier selection is dropped where it lies; the new one floats at
    // the top-left corner over the unchanged picture.
    TakeUpSelectionTool();
    Selection().Float(*picture);
    ShowToolCursor();
    Record(tr("Paste"));
}

void TFrameEditor::ClearSelection1Click() {
    if (!FrameBranch(m_clearSelection,
                     [](QPlainTextEdit& memo) { memo.textCursor().removeSelectedText(); }))
        return;
    m_tools.Cancel();
    Selection().Remove();
    ShowToolCursor();
    Record(tr("Clear Selection"));
}

void TFrameEditor::FlipPicture(QAction* item, TFlip flip, const QString& text) {
    if (!Allowed(item))
        return;
    // The text typed so far stays as it is drawn; typing would go on from the
    // picture before the flip.
    EndTextMode();
    EndMouseOperation();
    if (Selection().Active())
        Selection().Flip(flip);
    else
        FlipImage(m_bitmaps.WorkBitmap, flip);
    Record(text);
}

void TFrameEditor::FlipHorizontal1Click() {
    FlipPicture(m_flipHorizontal, TFlip::Horizontal, tr("Flip Horizontal"));
}

void TFrameEditor::FlipVertical1Click() {
    FlipPicture(m_flipVertical, TFlip::Vertical, tr("Flip Vertical"));
}

void TFrameEditor::Rotate1801Click() {
    FlipPicture(m_rotate180, TFlip::Turn, tr("Rotate 180\u00B0"));
}

void TFrameEditor::SelectAll1Click() {
    if (!FrameBranch(m_selectAll, [](QPlainTextEdit& memo) { memo.selectAll(); }))
        return;
    TakeUpSelectionTool();
    Selection().SelectAll();
    if (m_editorBox != nullptr)
        m_editorBox->update();
    Edit1Click();
}

} // namespace vistrel
