#include "formMain.h"

#include "animationExport.h"
#include "animationImportSide.h"
#include "editorToolBar.h"
#include "frameCommands.h"
#include "frameStrip.h"
#include "importPage.h"
#include "paintBox.h"
#include "playerPage.h"
#include "programFileTypes.h"
#include "timeFormat.h"
#include "undoHistoryDock.h"
#include "widgetColours.h"
#include "windowPlacement.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>

namespace vistrel {

namespace {

constexpr QPoint EditorPosition(3, 3);
constexpr int PreviewTop = 99;
constexpr QSize PreviewSize(96, 64);
constexpr int StatusPanelWidths[] = {50, 75, 125, 90, 50};

QSize PrimaryScreenSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->size() : QSize(640, 480);
}

QList<QRect> AvailableScreenAreas() {
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens())
        areas << screen->availableGeometry();
    return areas;
}

} // namespace

TfrmMain::TfrmMain(const QStringList& arguments, const QString& iniPath, QWidget* parent)
    : QMainWindow(parent), m_arguments(arguments),
      m_prompts(std::make_unique<TWidgetPrompts>(this)),
      m_preferences(std::make_unique<TVMUPreferences>(iniPath, PrimaryScreenSize())) {
    setObjectName(QStringLiteral("frmMain"));
    setMinimumSize(640, 480);
    setFocusPolicy(Qt::StrongFocus);
    Editor().DisplayGrid = m_preferences->DisplayGrid;

    BuildMenus();
    BuildPages();
    BuildStatusBar();
    m_animationExport = new TAnimationExportSide(*this, statusBar());
    m_animationImport = new TAnimationImportSide(
        *this, *m_importSide, statusBar(), [this] { return TickRate(); }, this);
    connect(m_animationImport, &TAnimationImportSide::ended, m_importSide,
            &TImportPage::UpdateButtons);
    BuildFramePopup();
    m_frameEditor.PostponeClipboard();
    m_frameEditor.Attach(m_editorBox, m_previewBox, m_toolBar, m_editMenu);

    setGeometry(PlaceOnScreens(m_preferences->WindowLeft, m_preferences->WindowTop,
                               m_preferences->WindowWidth, m_preferences->WindowHeight,
                               AvailableScreenAreas()));
    BuildReopenMenu();
    // Where the file types go is settled now; they are written once the window is on screen.
    m_fileTypes = std::make_unique<TProgramFileTypes>(QCoreApplication::applicationFilePath());

    ConnectDocument();
    m_recovery = std::make_unique<TWindowRecovery>(
        m_document, [this] { return Editor().WorkBitmap; },
        [this]() -> TPrompts& { return *m_prompts; });
    UpdateCaption();
    m_frameEditor.LoadFrame(Animation(), CurFrame());
    File1Click();
}

TfrmMain::~TfrmMain() {
    // The document's followers here go before the members they use.
    disconnect(&m_document, nullptr, this, nullptr);
    // The members go before the child widgets: a page switch the page control
    // reports while it is taken down must not reach the page steps, which use them.
    disconnect(m_pages, nullptr, this, nullptr);
    // Nothing here may ask the user anything: the window is half gone. The
    // settings were written by the accepted close; the worker ends before the
    // document it plays goes away.
    m_player->EndPlayer();
    EndBrowserConversation();
}

void TfrmMain::SetPrompts(std::unique_ptr<TPrompts> prompts) {
    m_prompts = std::move(prompts);
}

void TfrmMain::ImportAnimation1Click() {
    m_animationImport->ImportAnimation1Click();
}

QPoint TfrmMain::ReopenMenuPosition() const {
    const QRect fileTitle = menuBar()->actionGeometry(m_fileMenu->menuAction());
    const QRect reopenItem = m_fileMenu->actionGeometry(m_reopenMenu->menuAction());
    return menuBar()->mapToGlobal(fileTitle.bottomLeft() + QPoint(0, 1)) + reopenItem.topRight();
}

void TfrmMain::BuildMenus() {
    m_fileMenu = menuBar()->addMenu(QStringLiteral("&File"));
    m_fileMenu->setObjectName(QStringLiteral("File1"));
    const auto add = [this](const char* name, const QString& caption, QKeySequence shortcut,
                            void (TfrmMain::*handler)()) {
        QAction* action = m_fileMenu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(shortcut);
        if (handler)
            connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
        return action;
    };
    m_new = add("New1", QStringLiteral("&New"), QKeySequence(Qt::CTRL | Qt::Key_N),
                &TfrmMain::New1Click);
    m_open = add("Open1", QStringLiteral("&Open"), QKeySequence(Qt::CTRL | Qt::Key_O),
                 &TfrmMain::Open1Click);
    m_reopenMenu = m_fileMenu->addMenu(QStringLiteral("&Reopen..."));
    m_reopenMenu->setObjectName(QStringLiteral("Reopen1"));
    m_reopenMenu->menuAction()->setObjectName(QStringLiteral("Reopen1"));
    // Ctrl+R opens the submenu where the File menu shows it; it runs no command
    // of its own. The File menu lists the shortcut beside the item.
    QAction* reopenItem = m_reopenMenu->menuAction();
    reopenItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    reopenItem->setShortcutContext(Qt::WindowShortcut);
    addAction(reopenItem);
    connect(reopenItem, &QAction::triggered, this, [this] {
        File1Click();
        if (m_reopenMenu->menuAction()->isEnabled())
            m_reopenMenu->popup(ReopenMenuPosition());
    });
    m_fileMenu->addSeparator();
    m_save = add("Save1", QStringLiteral("&Save"), QKeySequence(Qt::CTRL | Qt::Key_S),
                 &TfrmMain::Save1Click);
    m_saveAs = add("SaveAs1", QStringLiteral("Save &As..."), {}, &TfrmMain::SaveAs1Click);
    m_close = add("Close1", QStringLiteral("&Close"), {}, &TfrmMain::Close1Click);
    m_fileMenu->addSeparator();
    m_import = add("Import1", QStringLiteral("&Import Frame"), {}, &TfrmMain::Import1Click);
    QAction* importAnimation = add("ImportAnimation1", QStringLiteral("Import Ani&mation..."), {},
                                   &TfrmMain::ImportAnimation1Click);
    connect(m_fileMenu, &QMenu::aboutToShow, importAnimation,
            [this, importAnimation] { importAnimation->setEnabled(!m_document.Closed()); });
    m_export = add("Export1", QStringLiteral("&Export Frame"), {}, &TfrmMain::Export1Click);
    m_exportAnimation = add("ExportAnimation1", QStringLiteral("Expor&t Animation..."), {},
                            &TfrmMain::ExportAnimation1Click);
    m_fileMenu->addSeparator();
    m_preferencesAction =
        add("Preferences1", QStringLiteral("&Preferences"), {}, &TfrmMain::Preferences1Click);
    m_fileMenu->addSeparator();
    m_exit = add("Exit1", QStringLiteral("E&xit"), {}, &TfrmMain::Exit1Click);
    connect(m_fileMenu, &QMenu::aboutToShow, this, &TfrmMain::File1Click);

    m_editMenu = menuBar()->addMenu(QStringLiteral("&Edit"));
    m_editMenu->setObjectName(QStringLiteral("Edit1"));
    m_editMenu->menuAction()->setObjectName(QStringLiteral("Edit1"));
    BuildViewMenu();
    m_animationMenu = menuBar()->addMenu(QStringLiteral("&Animation"));
    m_animationMenu->setObjectName(QStringLiteral("Animation1"));
    m_animationMenu->menuAction()->setObjectName(QStringLiteral("Animation1"));
    m_commands = new TFrameCommands(*this, *m_animationMenu, *this);
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("Help1"));
    help->menuAction()->setObjectName(QStringLiteral("Help1"));
    BuildHelpMenu(help);
}

void TfrmMain::BuildViewMenu() {
    m_viewMenu = menuBar()->addMenu(QStringLiteral("&View"));
    m_viewMenu->setObjectName(QStringLiteral("View1"));
    m_viewMenu->menuAction()->setObjectName(QStringLiteral("View1"));
    // The history window is built the first time it is asked for; until then
    // its item stands in for the window's own show-and-hide item.
    m_undoHistoryItem = m_viewMenu->addAction(TUndoHistoryDock::ItemText());
    m_undoHistoryItem->setObjectName(QStringLiteral("UndoHistory1"));
    m_undoHistoryItem->setCheckable(true);
    connect(m_undoHistoryItem, &QAction::triggered, this, &TfrmMain::UndoHistory1Click);
    // The onion skin is the editor's; whether it is shown is kept with the settings.
    QAction* onionSkin = m_frameEditor.OnionSkinAction();
    m_viewMenu->addAction(onionSkin);
    ApplyOnionSkinSettings();
    onionSkin->setChecked(m_preferences->OnionSkin);
    connect(onionSkin, &QAction::toggled, this,
            [this](bool shown) { m_preferences->OnionSkin = shown; });
}

TUndoHistoryDock& TfrmMain::UndoHistory() {
    if (m_undoHistory == nullptr) {
        m_undoHistory = new TUndoHistoryDock(m_document.UndoStack(), this);
        m_undoHistory->hide();
        addDockWidget(Qt::RightDockWidgetArea, m_undoHistory);
        // Closed from its own title bar, the item follows.
        connect(m_undoHistory->toggleViewAction(), &QAction::toggled, m_undoHistoryItem,
                &QAction::setChecked);
    }
    return *m_undoHistory;
}

void TfrmMain::UndoHistory1Click(bool shown) {
    TUndoHistoryDock& dock = UndoHistory();
    if (shown == dock.isHidden()) {
        if (shown)
            dock.show();
        else
            dock.close();
    }
    // The history docks beside the pages: the window grows by its width rather
    // than squeezing the editor, as far as the screen allows.
    if (!shown || dock.isFloating())
        return;
    const QRect screen = this->screen()->availableGeometry();
    resize(std::min(width() + dock.minimumWidth(), screen.width()), height());
}

void TfrmMain::BuildPages() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_pages = new QTabWidget(central);
    m_pages->setObjectName(QStringLiteral("pgcntlMain"));
    m_pages->setFocusPolicy(Qt::NoFocus);

    // Frame page: the tool bar at the left, the grey editing area beside it.
    m_framePage = new QWidget;
    m_framePage->setObjectName(QStringLiteral("tbshtFrameEdit"));
    auto* frameLayout = new QHBoxLayout(m_framePage);
    frameLayout->setContentsMargins(0, 0, 0, 0);
    frameLayout->setSpacing(0);
    m_toolBar = new TEditorToolBar(m_framePage);
    frameLayout->addWidget(m_toolBar);
    m_mainPanel = NewPanel("pnlMain", m_framePage, QColor(0x80, 0x80, 0x80));
    m_mainPanel->installEventFilter(this);
    frameLayout->addWidget(m_mainPanel, 1);

    m_editorPanel = NewPanel("pnlEditor", m_mainPanel, Qt::white);
    m_editorPanel->setGeometry(
        QRect(EditorPosition, QSize(TEditorBitmaps::EditorWidth, TEditorBitmaps::EditorHeight)));
    m_editorBox = new TPaintBox(m_editorPanel);
    m_editorBox->setObjectName(QStringLiteral("pntbxEditor"));
    m_editorBox->setGeometry(m_editorPanel->rect());

    m_previewPanel = NewPanel("pnlPreview", m_mainPanel, Qt::white);
    m_previewPanel->setGeometry(QRect(QPoint(0, PreviewTop), PreviewSize));
    m_previewBox = new TPaintBox(m_previewPanel);
    m_previewBox->setObjectName(QStringLiteral("pntbxPreview"));
    m_previewBox->setGeometry(m_previewPanel->rect());
    m_pages->addTab(m_framePage, QStringLiteral("Frame"));

    m_importPage = new QWidget;
    m_importPage->setObjectName(QStringLiteral("tbshtImport"));
    auto* importLayout = new QVBoxLayout(m_importPage);
    importLayout->setContentsMargins(0, 0, 0, 0);
    m_importSide = new TImportPage(*this, m_importPage);
    importLayout->addWidget(m_importSide);
    m_pages->addTab(m_importPage, QStringLiteral("Import"));

    m_scriptPage = new QWidget;
    m_scriptPage->setObjectName(QStringLiteral("tbshtScript"));
    auto* scriptLayout = new QVBoxLayout(m_scriptPage);
    m_memoScript = new QPlainTextEdit(m_scriptPage);
    m_memoScript->setObjectName(QStringLiteral("memoScript"));
    // Its fixed-width font (a font file of its own) is loaded when the page first shows.
    m_scriptPage->installEventFilter(this);
    scriptLayout->addWidget(m_memoScript);
    m_pages->addTab(m_scriptPage, QStringLiteral("Script"));

    // The Player page is pnlPlayer filling the tab; it applies the stored zoom.
    m_playerPage = new QWidget;
    m_playerPage->setObjectName(QStringLiteral("tbshtPlayer"));
    auto* playerLayout = new QVBoxLayout(m_playerPage);
    playerLayout->setContentsMargins(0, 0, 0, 0);
    m_player = new TPlayerPage(*this, m_playerPage);
    playerLayout->addWidget(m_player);
    m_pages->addTab(m_playerPage, QStringLiteral("Player"));

    m_pages->setTabVisible(m_pages->indexOf(m_importPage), false);
    m_pages->setTabVisible(m_pages->indexOf(m_scriptPage), false);
    m_pages->setCurrentWidget(m_framePage);
    m_activePage = m_pages->currentIndex();
    connect(m_pages, &QTabWidget::currentChanged, this, [this](int index) {
        const int leaving = m_activePage;
        m_activePage = index;
        if (m_programSwitchesPage)
            return;
        pgcntlMainChanging(leaving);
        pgcntlMainChange();
    });
    layout->addWidget(m_pages, 1);

    m_frameStrip = new TFrameStrip(*this, central);
    layout->addWidget(m_frameStrip);
    setCentralWidget(central);
}

void TfrmMain::BuildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("stsbrMain"));
    bar->setSizeGripEnabled(true);
    const QString initial[] = {QStringLiteral("1, 1"), QString(),
                               QStringLiteral("0:00:00.00 to 0:00:00.00"),
                               QStringLiteral("Total: 0:00:00.00"), QString()};
    for (int i = 0; i < 5; ++i) {
        QLabel* panel = new QLabel(initial[i], bar);
        m_panels[i] = panel;
        panel->setObjectName(QStringLiteral("stsbrMainPanel%1").arg(i));
        panel->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        // The times keep room for their longest text whatever the font, even
        // when a progress bar shares the bar; the last panel takes what is left.
        const int textWidth = panel->fontMetrics().horizontalAdvance(initial[i]) +
                              2 * (panel->frameWidth() + panel->margin()) + 4;
        panel->setMinimumWidth(i == 4 ? 0 : std::max(StatusPanelWidths[i], textWidth));
        bar->addWidget(panel, i == 4 ? 1 : 0);
    }
}

void TfrmMain::UpdateCaption() {
    setWindowTitle(m_document.Closed() ? QStringLiteral("Vistrel")
                                       : QStringLiteral("Vistrel - ") + m_document.Title());
}

void TfrmMain::ConnectDocument() {
    connect(&m_document, &TDocument::modifiedChanged, this, [this](bool modified) {
        m_panels[1]->setText(modified ? QStringLiteral("Modified") : QString());
        File1Click();
    });
    connect(&m_document, &TDocument::closedChanged, this, [this](bool closed) {
        m_editMenu->setEnabled(!closed);
        m_animationMenu->setEnabled(!closed);
        File1Click();
        UpdateCaption();
    });
    connect(&m_document, &TDocument::titleChanged, this, &TfrmMain::UpdateCaption);
    connect(&m_document, &TDocument::currentFrameChanged, this, &TfrmMain::CurrentFrameChanged);
    connect(&m_document, &TDocument::framesChanged, this, &TfrmMain::DocumentFramesChanged);
    // The player's run reads the frames on its own thread: it ends before any
    // step (also one taken from the history window) changes them.
    connect(&m_document, &TDocument::aboutToStep, this, [this] { m_player->HaltPlayer(); });
    connect(&m_document, &TDocument::multipleSelChanged, this, [this](bool multipleSel) {
        m_player->MultipleSelChanged(multipleSel);
        RefreshTimePanels();
    });
}

void TfrmMain::DocumentFramesChanged() {
    // The layers show the frames as stored, wherever the marks now are.
    Editor().RedLayerBitmap.fill(Qt::black);
    Editor().BlueLayerBitmap.fill(Qt::black);
    const TAnimation& animation = Animation();
    for (int index = 0; index < animation.FrameCount(); ++index) {
        const TFrame& frame = animation.Frame(index);
        if (!frame.RedLayer() && !frame.BlueLayer())
            continue;
        QImage stored = NewFrameBitmap(Qt::white);
        animation.DrawFrame(index, stored);
        if (frame.RedLayer())
            Editor().BuildRedLayer(stored);
        else
            Editor().BuildBlueLayer(stored);
    }
    m_frameStrip->UpdateStripScrollBar();
    m_frameStrip->RefreshFrameStrip();
    RefreshTimePanels();
    RepaintEditor();
}

void TfrmMain::SetModified(bool value) {
    m_document.SetModified(value);
}

void TfrmMain::SetCurFrame(int index) {
    const int leaving = m_document.CurFrame();
    if (index == leaving)
        return;
    if (index != -1) {
        // The picture being edited goes back into the frame it belongs to, and a
        // layer showing that frame takes on its latest strokes.
        m_document.CommitPicture(Editor().WorkBitmap);
        if (Animation().IsValidIndex(leaving)) {
            const TFrame& left = Animation().Frame(leaving);
            if (left.RedLayer())
                Editor().BuildRedLayer(Editor().WorkBitmap);
            else if (left.BlueLayer())
                Editor().BuildBlueLayer(Editor().WorkBitmap);
        }
    } else {
        // Typing or a floating selection would go on drawing the picture of a
        // frame that is no longer there, and mark a closed document modified.
        m_frameEditor.EndEditing();
    }
    m_document.SetCurFrame(index);
}

void TfrmMain::CurrentFrameChanged(int current, int previous) {
    if (current != -1) {
        if (previous == -1) {
            m_editorPanel->show();
            m_previewPanel->show();
        }
        RefreshTimePanels();
        m_frameEditor.LoadFrame(Animation(), current);
        m_player->CurrentFrameChanged();
        m_importSide->UpdateButtons();
        return;
    }
    Editor().ClearForNoFrame();
    m_editorPanel->hide();
    m_previewPanel->hide();
    RefreshTimePanels();
    m_importSide->UpdateButtons();
}

void TfrmMain::RefreshTimePanels() {
    const int rate = TickRate();
    if (m_document.CurFrame() == -1 ||
        !m_document.Animation().IsValidIndex(m_document.CurFrame())) {
        m_panels[2]->setText(QStringLiteral("0:00:00.00 to 0:00:00.00"));
    } else {
        const bool range = m_document.MultipleSel() &&
                           m_document.Animation().IsValidIndex(m_document.SelFirst()) &&
                           m_document.Animation().IsValidIndex(m_document.SelLast());
        const int start = m_document.Animation()
                              .Frame(range ? m_document.SelFirst() : m_document.CurFrame())
                              .StartTime();
        const int end = m_document.Animation()
                            .Frame(range ? m_document.SelLast() : m_document.CurFrame())
                            .EndTime();
        m_panels[2]->setText(FormatTime(start, rate) + QStringLiteral(" to ") +
                             FormatTime(end, rate));
    }
    const int count = m_document.Animation().FrameCount();
    m_panels[3]->setText(
        QStringLiteral("Total: ") +
        FormatTime(count == 0 ? 0 : m_document.Animation().Frame(count - 1).EndTime(), rate));
}

void TfrmMain::StopPlayer() {
    m_player->StopPlayer();
}

void TfrmMain::RepaintCurrentThumbnail() {
    m_frameStrip->RepaintCurrentThumbnail();
}

void TfrmMain::ShowCursorCell(QPoint pixel) {
    if (pixel == m_statusCell)
        return;
    m_statusCell = pixel;
    // (-1, -1): the mouse is off the frame.
    m_panels[0]->setText(
        pixel.x() < 0 ? QString() : QStringLiteral("%1, %2").arg(pixel.x() + 1).arg(pixel.y() + 1));
}

TEditTarget TfrmMain::EditTarget() const {
    if (m_document.Closed())
        return TEditTarget::None;
    if (m_pages->currentWidget() == m_scriptPage)
        return TEditTarget::Script;
    return FramePageActive() && m_document.CurFrame() != -1 ? TEditTarget::Frame
                                                            : TEditTarget::Document;
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_mainPanel && event->type() == QEvent::Resize)
        pnlMainResize();
    if (watched == m_scriptPage && event->type() == QEvent::Show) {
        m_scriptPage->removeEventFilter(this);
        m_memoScript->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    }
    // The window paints itself as it takes this event; what is left of the
    // start-up runs once that is done.
    if (watched == windowHandle() && event->type() == QEvent::Expose &&
        windowHandle()->isExposed() && !m_afterFirstPaintPosted) {
        m_afterFirstPaintPosted = true;
        QTimer::singleShot(0, this, &TfrmMain::AfterFirstPaint);
    }
    return QMainWindow::eventFilter(watched, event);
}

void TfrmMain::pnlMainResize() {
    // Only the preview moves: centred in the room right of the editor.
    const int editorRight = m_editorPanel->geometry().right() + 1;
    const int left =
        editorRight + (m_mainPanel->width() - editorRight - m_previewPanel->width()) / 2;
    m_previewPanel->move(left, PreviewTop);
}

void TfrmMain::ReleaseKeyboardFocus() {
    setFocus(Qt::OtherFocusReason);
}

bool TfrmMain::FramePageActive() const {
    return m_pages->currentWidget() == m_framePage;
}

void TfrmMain::ShowError(const QString& text) {
    m_prompts->MessageBox(text, QStringLiteral("Error"), PromptIcon::Error, PromptButtons::Ok);
}

} // namespace vistrel
