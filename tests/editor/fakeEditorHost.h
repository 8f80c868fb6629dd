#pragma once

#include "document.h"
#include "editorToolBar.h"
#include "frameEditor.h"
#include "paintBox.h"
#include "prompts.h"

#include <QDialog>
#include <QMenu>
#include <QPlainTextEdit>
#include <deque>
#include <memory>

namespace vistrel::testing {

// Prompts that answer the font dialog from a list and record messages.
class TRecordingPrompts : public TPrompts {
public:
    std::deque<std::optional<QFont>> fontAnswers;
    std::vector<QFont> fontsOffered;
    QStringList messages;

    PromptButton MessageBox(const QString& text, const QString&, PromptIcon,
                            PromptButtons) override {
        messages << text;
        return PromptButton::Ok;
    }
    std::optional<QString> InputQuery(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    std::optional<QString> OpenFileName(const TOpenFileRequest&) override { return std::nullopt; }
    std::optional<QString> SaveFileName(const TSaveFileRequest&) override { return std::nullopt; }
    std::optional<QFont> ChooseFont(const QFont& initial) override {
        fontsOffered.push_back(initial);
        if (fontAnswers.empty())
            return std::nullopt;
        std::optional<QFont> answer = fontAnswers.front();
        fontAnswers.pop_front();
        return answer;
    }
    // The editor opens no dialog of its own: one shown is cancelled and recorded.
    bool ShowDialog(QDialog& dialog) override {
        messages << QStringLiteral("dialog: ") + dialog.objectName();
        return false;
    }
};

// The frame editor with its real paint boxes, tool bar and Edit menu, in a
// window of its own instead of the main window.
class TFakeEditorHost : public IFrameEditorHost {
public:
    TFakeEditorHost() {
        m_widget.resize(500, 300);
        toolBar = new TEditorToolBar(&m_widget);
        editorBox = new TPaintBox(&m_widget);
        editorBox->setGeometry(60, 0, TEditorBitmaps::EditorWidth, TEditorBitmaps::EditorHeight);
        previewBox = new TPaintBox(&m_widget);
        previewBox->setGeometry(450, 0, 48, 32);
        memo = new QPlainTextEdit(&m_widget);
        memo->hide();
        editMenu = new QMenu(&m_widget);
        editor = std::make_unique<TFrameEditor>(*this);
        editor->Attach(editorBox, previewBox, toolBar, editMenu);
        // Shortcuts act in the window that holds their actions.
        m_widget.addActions(editMenu->actions());
        document.Animation().AddFrame();
        document.SetCurFrame(0);
        Opened({});
    }

    // The document as opened: one frame with these pixels black, shown in the
    // editor, no history and not modified.
    void Opened(std::initializer_list<QPoint> black) {
        QImage& work = editor->Bitmaps().WorkBitmap;
        work = NewFrameBitmap(Qt::white);
        for (const QPoint pixel : black)
            work.setPixel(pixel, 0xFF000000);
        document.Animation().StoreFrame(0, work);
        document.ClearHistory();
        editor->Edit1Click();
    }
    bool Modified() const { return document.Modified(); }
    int Undos() const { return document.UndoStack().count(); }

    TDocument& Document() override { return document; }
    void ReleaseKeyboardFocus() override {}
    void ShowCursorCell(QPoint pixel) override { cursorCell = pixel; }
    void RepaintCurrentThumbnail() override {}
    TEditTarget EditTarget() const override { return target; }
    QPlainTextEdit* ScriptMemo() override { return memo; }
    TPrompts& Prompts() override { return prompts; }

    QWidget& Widget() { return m_widget; }
    QAction* Item(const char* name) const { return m_widget.findChild<QAction*>(name); }

    TDocument document;
    QPoint cursorCell;
    TEditTarget target = TEditTarget::Frame;
    TRecordingPrompts prompts;

private:
    QWidget m_widget;

public:
    TEditorToolBar* toolBar = nullptr;
    TPaintBox* editorBox = nullptr;
    TPaintBox* previewBox = nullptr;
    QPlainTextEdit* memo = nullptr;
    QMenu* editMenu = nullptr;
    std::unique_ptr<TFrameEditor> editor;
};

} // namespace vistrel::testing
