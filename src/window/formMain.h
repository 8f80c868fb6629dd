#pragma once

#include "URL.h"
#include "animationExportHost.h"
#include "applicationTitle.h"
#include "document.h"
#include "documentLifecycle.h"
#include "frameCommandsHost.h"
#include "frameEditor.h"
#include "frameStripHost.h"
#include "importHost.h"
#include "playerHost.h"
#include "prompts.h"
#include "unitAnimation.h"
#include "unitPreferences.h"
#include "windowLifecycleHost.h"
#include "windowRecovery.h"

#include <QMainWindow>
#include <QStringList>
#include <memory>

class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QTabWidget;

namespace vistrel {

class TDdeClientConv;
class TEditorToolBar;
class TFrameCommands;
class TFrameStrip;
class TUndoHistoryDock;
class TImportPage;
class TPaintBox;
class TPlayerPage;
class TAnimationExportSide;
class TAnimationImportSide;
class TProgramFileTypes;

// The program's window: it holds the one open document, the menus, the status
// bar and the pages, wires the frame strip, the editor and the other sides
// together, and follows the document's signals in its caption, menus and panels.
class TfrmMain : public QMainWindow,
                 public IFrameStripHost,
                 public IPlayerHost,
                 public IFrameEditorHost,
                 public IImportHost,
                 public IAnimationExportHost,
                 public IFrameCommandsHost {
    Q_OBJECT

public:
    static constexpr const char* ApplicationTitle = ProgramTitle;

    // arguments: the command line without the program name; iniPath: the
    // preferences file.
    TfrmMain(const QStringList& arguments, const QString& iniPath, QWidget* parent = nullptr);
    ~TfrmMain() override;

    // Replaces the user prompts (tests answer them with a script).
    void SetPrompts(std::unique_ptr<TPrompts> prompts);

    // Document state.
    TDocument& Document() override { return m_document; }
    TAnimation& Animation() { return m_document.Animation(); }
    TVMUPreferences& Preferences() override { return *m_preferences; }
    TFrameEditor& FrameEditor() { return m_frameEditor; }
    TEditorBitmaps& Editor() { return m_frameEditor.Bitmaps(); }
    QString FileName() const { return m_document.FileName(); }
    bool Modified() const { return m_document.Modified(); }
    void SetModified(bool value);
    bool Closed() const { return m_document.Closed(); }

    // Current frame and range selection.
    int CurFrame() const { return m_document.CurFrame(); }
    // Stores the editor's picture into the frame being left, then makes index current.
    void SetCurFrame(int index) override;
    bool MultipleSel() const { return m_document.MultipleSel(); }
    const QImage& WorkBitmap() const override { return m_frameEditor.Bitmaps().WorkBitmap; }
    void RefreshTimePanels() override;
    void EndTextCaret() override { m_frameEditor.EndEditing(); }
    void PopupFrameMenu(int frame, QPoint globalPosition) override;
    void ReleaseKeyboardFocus() override;
    TFrameStrip& FrameStrip() { return *m_frameStrip; }
    // The history window, built the first time it is asked for.
    TUndoHistoryDock& UndoHistory();
    // View > Undo History: shows or hides it.
    void UndoHistory1Click(bool shown);
    TPlayerPage& PlayerPage() { return *m_player; }

    // File menu: New, Open, Save and Close are the lifecycle's, under the
    // handler names.
    TDocumentLifecycle& Lifecycle() { return m_lifecycle; }
    void New1Click();
    void Open1Click();
    void Save1Click();
    void SaveAs1Click();
    void Close1Click();
    void Exit1Click();
    void File1Click();
    bool SaveDocument(bool askName);
    void OpenDocument(const QString& name);
    bool CloseDocument();
    bool PromptSaveChanges();
    void BuildReopenMenu();
    void ReopenItemClick(QString name);

    // Exporting the whole animation.
    void ExportAnimation1Click();
    const TAnimation& AnimationToExport() override;
    TAnimationExportSide& AnimationExport() { return *m_animationExport; }

    // File > Import Animation...: a moving picture on the Import page, whose
    // Insert All puts its frames in after the current one.
    void ImportAnimation1Click();
    TAnimationImportSide& AnimationImport() { return *m_animationImport; }

    // The Animation menu.
    TFrameCommands& FrameCommands() { return *m_commands; }
    void Animation1Click();
    void AfterCurrent2Click();
    // Insert Frame > After Current for the other pages: see TFrameCommands.
    bool InsertFrameAfterCurrent();

    // What the Animation menu needs of the window.
    bool FramePageActive() const override;
    bool EditorTakesDeleteKey() override { return m_frameEditor.DeleteKeyPress(); }
    void BeforeFramesChange() override;
    void StoreCurrentFrame() override;
    void ShowCurrentFrame() override;
    void ClearLayerPictures(bool red, bool blue) override;
    void RefreshFrames(bool scrollToCurrent) override;
    std::optional<QString> AskAnimationFileName() override;
    QWidget* DialogParent() override { return this; }

    // The frame popup menu and its reference layers.
    void RedLayer1Click();
    void BlueLayer1Click();

    // Preferences and the file types they register.
    void Preferences1Click();
    TProgramFileTypes& FileTypes() { return *m_fileTypes; }
    // View > Onion Skin is the editor's; its counts and wrap come from the settings.
    void ApplyOnionSkinSettings();

    // The Help menu: the user guide and the about box.
    void VistrelHomePage1Click();
    void About1Click();
    // Replaces how addresses are opened (tests record them instead).
    void SetUrlOpener(TURL::TOpener opener);
    static QString UserGuidePath();

    // Start-up and pages.
    void FormActivate();
    bool StartupDone() const { return m_startupDone; }
    // What the first view does not need, run once the window has painted
    // itself: the file types' registration (a failure reported) and the
    // clipboard's state for Paste.
    void AfterFirstPaint();
    bool AfterFirstPaintDone() const { return m_afterFirstPaintDone; }
    void pgcntlMainChanging(int leavingPage);
    void pgcntlMainChange();
    // Switches pages as the program does: the page handlers do not run.
    void ShowPage(QWidget* page);

    // The frame editor's handlers under the window's names.
    TToolStateMachine& Tools() { return m_frameEditor.Tools(); }
    bool FormKeyPress(const QString& text) { return m_frameEditor.FormKeyPress(text); }
    void Edit1Click() { m_frameEditor.Edit1Click(); }
    void Undo1Click() { m_frameEditor.Undo1Click(); }
    void Redo1Click() { m_frameEditor.Redo1Click(); }
    void RepaintEditor() { m_frameEditor.RepaintEditor(); }

    // What the frame editor asks of the window.
    void ShowCursorCell(QPoint pixel) override;
    void RepaintCurrentThumbnail() override;
    TEditTarget EditTarget() const override;
    QPlainTextEdit* ScriptMemo() override { return m_memoScript; }
    TPrompts& Prompts() override { return *m_prompts; }

    // The Import page and File > Import Frame, Export Frame.
    TImportPage& ImportPage() { return *m_importSide; }
    void Import1Click();
    void Export1Click();
    // What the Import page asks of the window.
    QString ApplicationCaption() const override { return QLatin1String(ApplicationTitle); }
    bool CanReplaceFrame() const override;
    bool CanInsertFrame() const override;
    bool InsertBlankFrameAfterCurrent() override;
    void ReplaceCurrentFrame(const QImage& frame) override;
    void ShowImportPage() override;
    void ImportDone() override;
    void InsertAnimation(const QString& fileName, bool sequence,
                         const TAnimationImportOptions& options) override;
    bool AnimationImportRunning() const override;
    QString ExportFrameName() const override;
    void FrameExported(const QString& fileName) override;
    // Switches pages as the user does: the steps for leaving and entering run.
    void SwitchPage(QWidget* page);

    // Editor views.
    void pnlMainResize();

    // Ticks per second wherever ticks become time.
    int TickRate() const override { return m_preferences->EffectivePlayerFPS(); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildMenus();
    // Where the Reopen submenu opens for Ctrl+R: beside its item of the File menu.
    QPoint ReopenMenuPosition() const;
    void BuildPages();
    void BuildStatusBar();
    void BuildFramePopup();
    void ToggleLayer(bool red);
    void ConnectDocument();
    void UpdateCaption();
    // Shows the frame that became current, or hides the editor when none is.
    void CurrentFrameChanged(int current, int previous);
    // The frames changed (a command, an undo or redo): the strip, the time
    // panels and the layer pictures follow them.
    void DocumentFramesChanged();
    void BuildViewMenu();
    void ShowError(const QString& text);
    void StopPlayer();
    bool EmptyOwnClipboard();
    void RequestBrowserWindowInfo(const QString& browserWindowId);
    void EndBrowserConversation();
    void RegisterFileTypesAtStartup();
    void BuildHelpMenu(QMenu* help);
    void ReportStartupRegistration();

    QStringList m_arguments;
    std::unique_ptr<TPrompts> m_prompts;

    // Created in this order: the editor with its bitmaps, the document with its
    // lifecycle, the preferences.
    TFrameEditor m_frameEditor{*this};
    TDocument m_document;
    TWindowLifecycleHost m_lifecycleHost{*this};
    TDocumentLifecycle m_lifecycle{m_document, m_lifecycleHost};
    std::unique_ptr<TVMUPreferences> m_preferences;
    std::unique_ptr<TProgramFileTypes> m_fileTypes;
    QStringList m_startupRegistrationErrors;
    TURL m_urlHomepage;
    QPoint m_statusCell{-1, -1};

    bool m_startupDone = false;
    bool m_activating = false; // FormActivate under way, maybe in one of its questions
    bool m_afterFirstPaintPosted = false;
    bool m_afterFirstPaintDone = false;
    bool m_programSwitchesPage = false;
    int m_activePage = 0;
    int m_popupFrame = 0;
    QMenu* m_frameMenu = nullptr;
    QAction* m_redLayer = nullptr;
    QAction* m_blueLayer = nullptr;

    QMenu* m_fileMenu = nullptr;
    QMenu* m_editMenu = nullptr;
    QMenu* m_animationMenu = nullptr;
    QMenu* m_viewMenu = nullptr;
    TUndoHistoryDock* m_undoHistory = nullptr;
    QAction* m_undoHistoryItem = nullptr;
    TFrameCommands* m_commands = nullptr;
    QMenu* m_reopenMenu = nullptr;
    QAction* m_new = nullptr;
    QAction* m_open = nullptr;
    QAction* m_save = nullptr;
    QAction* m_saveAs = nullptr;
    QAction* m_close = nullptr;
    QAction* m_import = nullptr;
    QAction* m_export = nullptr;
    QAction* m_preferencesAction = nullptr;
    QAction* m_exit = nullptr;
    TEditorToolBar* m_toolBar = nullptr;

    QTabWidget* m_pages = nullptr;
    QWidget* m_framePage = nullptr;
    QWidget* m_importPage = nullptr;
    QWidget* m_scriptPage = nullptr;
    QWidget* m_playerPage = nullptr;
    QWidget* m_mainPanel = nullptr;
    QWidget* m_editorPanel = nullptr;
    QWidget* m_previewPanel = nullptr;
    TPaintBox* m_editorBox = nullptr;
    TPaintBox* m_previewBox = nullptr;
    QPlainTextEdit* m_memoScript = nullptr;
    TFrameStrip* m_frameStrip = nullptr;
    TPlayerPage* m_player = nullptr;
    TImportPage* m_importSide = nullptr;
    TAnimationExportSide* m_animationExport = nullptr;
    QAction* m_exportAnimation = nullptr;
    TAnimationImportSide* m_animationImport = nullptr;
    QLabel* m_panels[5] = {};
    TDdeClientConv* m_browserConversation = nullptr; // while the browser is asked

    // Recovery files: the document's own, and at start-up what a crash left.
public:
    TWindowRecovery& Recovery() { return *m_recovery; }

private:
    // Offers the documents left to recover; true when one is now the document,
    // with *currentFrame the frame it was on.
    bool OfferRecovery(int* currentFrame);
    bool OpenRecoveredDocument(const TRecoveryEntry& entry, int* currentFrame);
    // Last: it is gone before the document it keeps.
    std::unique_ptr<TWindowRecovery> m_recovery;
};

} // namespace vistrel
