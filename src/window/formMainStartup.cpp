#include "ddeClient.h"
#include "desktopIcons.h"
#include "formMain.h"
#include "formRecover.h"
#include "frameCommands.h"
#include "frameStrip.h"
#include "playerPage.h"
#include "startupArguments.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTimer>
#include <QWindow>
#include <algorithm>

namespace vistrel {

namespace {

constexpr int AfterFirstPaintAtLatest = 2000; // milliseconds after show

const QString BrowserService = QStringLiteral("iexplore");
const QString BrowserTopic = QStringLiteral("WWW_GetWindowInfo");

} // namespace

void TfrmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!m_afterFirstPaintPosted && windowHandle() != nullptr) {
        windowHandle()->installEventFilter(this);
        // A window that starts hidden from view is never painted: the rest of
        // its start-up runs all the same.
        QTimer::singleShot(AfterFirstPaintAtLatest, this, &TfrmMain::AfterFirstPaint);
    }
    // The start-up work runs once the window is on screen, so that its messages
    // stand in front of it.
    if (!m_startupDone)
        QTimer::singleShot(0, this, &TfrmMain::FormActivate);
}

void TfrmMain::RequestBrowserWindowInfo(const QString& browserWindowId) {
    // The browser may take seconds to start or to answer: the window goes on
    // painting and answering meanwhile, under a busy cursor.
    m_browserConversation = new TDdeClientConv(BrowserService, BrowserTopic, this);
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    connect(m_browserConversation, &TDdeClientConv::Finished, this, [this](const TDdeReply& reply) {
        EndBrowserConversation();
        if (!reply.Linked)
            ShowError(QStringLiteral("Unable to open DDE conversation."));
        else if (reply.Text)
            m_prompts->MessageBox(*reply.Text, QLatin1String(ApplicationTitle), PromptIcon::None,
                                  PromptButtons::Ok);
    });
    m_browserConversation->Request(browserWindowId);
}

void TfrmMain::EndBrowserConversation() {
    if (m_browserConversation == nullptr)
        return;
    m_browserConversation->deleteLater();
    m_browserConversation = nullptr;
    QGuiApplication::restoreOverrideCursor();
}

void TfrmMain::FormActivate() {
    if (m_startupDone)
        return;
    m_startupDone = true;
    m_activating = true;
    // Said once, first: settings that could not be read leave the program on its
    // defaults, and their file is left as it is.
    if (const QString note = m_preferences->LoadNote(); !note.isEmpty())
        m_prompts->MessageBox(note, QLatin1String(ApplicationTitle), PromptIcon::Warning,
                              PromptButtons::Ok);
    // Work a crash left behind comes first: a file named on the command line is
    // opened after it, through the usual question about unsaved changes.
    int startFrame = 0;
    const bool recovered = OfferRecovery(&startFrame);
    const TStartupArguments arguments = TStartupArguments::Parse(m_arguments);
    bool play = arguments.Play;
    if (!arguments.FileName.isEmpty()) {
        if (arguments.FileName.toUpper().endsWith(QLatin1String(".VMI"))) {
            // An information file is not read: the browser is asked about the page
            // it came from, and the user gets a blank animation.
            RequestBrowserWindowInfo(arguments.BrowserWindowID);
            if (!recovered)
                m_document.Animation().AddFrame();
            play = false;
        } else {
            OpenDocument(arguments.FileName);
            if (!m_document.Modified())
                startFrame = 0;
        }
    } else {
        if (!recovered)
            m_document.Animation().AddFrame();
        play = false;
    }
    m_frameStrip->UpdateStripScrollBar();
    if (!m_document.Closed()) {
        // The first frame, or the one the recovered document was on, becomes
        // current with the full refresh, also when it was current already; a
        // file without frames leaves no current frame.
        SetCurFrame(-1);
        if (m_document.Animation().FrameCount() > 0)
            SetCurFrame(m_document.Animation().IsValidIndex(startFrame) ? startFrame : 0);
    }
    m_document.SetMultipleSel(false);
    m_document.SetSelRange(0, 0);
    // /P plays at once on the Player page; a file that could not be opened
    // leaves no frames and nothing to play.
    if (play && m_document.Animation().FrameCount() > 0) {
        ShowPage(m_playerPage);
        m_player->tlbtnPlayClick();
    } else {
        ShowPage(m_framePage);
    }
    // A recovered document may be on a frame far along the strip.
    m_frameStrip->ScrollToCurrent();
    m_frameStrip->RefreshFrameStrip();
    m_activating = false;
    // A registration that failed while a question of the start-up was open.
    ReportStartupRegistration();
}

void TfrmMain::AfterFirstPaint() {
    if (m_afterFirstPaintDone)
        return;
    m_afterFirstPaintDone = true;
    if (windowHandle() != nullptr)
        windowHandle()->removeEventFilter(this);
    m_frameEditor.WatchClipboard();
    // The program's icon in its seven sizes, for this window and every dialog:
    // the task bar shows it a moment after the window, which need not wait.
    QApplication::setWindowIcon(DesktopIcon(TDesktopIcon::Program));
    RegisterFileTypesAtStartup();
    // Its failure waits for the start-up's own questions to be answered.
    if (!m_activating)
        ReportStartupRegistration();
}

bool TfrmMain::OfferRecovery(int* currentFrame) {
    // Nearly every start has nothing to recover: no dialog is built for that.
    if (m_recovery->Store().List().empty())
        return false;
    TfrmRecover dialog(m_recovery->Store(), *m_prompts, this);
    if (!dialog.HasEntries() || !m_prompts->ShowDialog(dialog))
        return false;
    const std::optional<TRecoveryEntry> chosen = dialog.Chosen();
    return chosen && OpenRecoveredDocument(*chosen, currentFrame);
}

bool TfrmMain::OpenRecoveredDocument(const TRecoveryEntry& entry, int* currentFrame) {
    QString reason;
    std::unique_ptr<TRecoverySlot> slot = m_recovery->Store().Claim(entry.Id, &reason);
    TRecoveryInfo info;
    TAnimation loaded;
    // Read again: the file may have changed since the dialog listed it. A file
    // that fails now stays where it is for another try.
    if (!slot || !LoadRecoveryFile(slot->FilePath(), loaded, info, &reason)) {
        ShowError(QStringLiteral("Unable to recover %1: %2").arg(entry.Info.DisplayName(), reason));
        return false;
    }
    // Under its old name, or its old untitled number, so that Save writes where
    // the user expects; modified, since none of it is in that file.
    if (!m_lifecycle.OpenRecovered(loaded, info.FileName, std::max(info.UntitledNumber, 1),
                                   info.CurrentFrame))
        return false;
    // Its changes go on into the same recovery file.
    m_recovery->Adopt(std::move(slot), info.LastChange);
    *currentFrame = info.CurrentFrame;
    return true;
}

void TfrmMain::ShowPage(QWidget* page) {
    m_programSwitchesPage = true;
    m_pages->setCurrentWidget(page);
    m_programSwitchesPage = false;
    // The page's keys, menus and panels follow the page shown, whoever chose it.
    pgcntlMainChange();
}

void TfrmMain::pgcntlMainChanging(int leavingPage) {
    QWidget* page = m_pages->widget(leavingPage);
    if (page == m_framePage) {
        m_frameEditor.FramePageLeft();
        m_document.CommitPicture(Editor().WorkBitmap);
    } else if (page == m_playerPage)
        StopPlayer();
}

void TfrmMain::pgcntlMainChange() {
    const bool framePage = FramePageActive();
    if (framePage) {
        ReleaseKeyboardFocus();
        m_panels[0]->setText(QStringLiteral("1, 1"));
    } else {
        m_panels[0]->clear();
    }
    m_frameStrip->SetPopupButtonsEnabled(framePage);
    m_commands->SetDeleteKeyActive(framePage);
    File1Click();
    Edit1Click();
}

void TfrmMain::keyPressEvent(QKeyEvent* event) {
    // The editor's keys first: with a block floating the arrows move it, not
    // the current frame.
    if (FramePageActive() && m_frameEditor.EditorKeyPress(event->key(), event->modifiers())) {
        event->accept();
        return;
    }
    if (FramePageActive() && m_frameStrip->HandleNavigationKey(event->key(), event->modifiers())) {
        event->accept();
        return;
    }
    // Characters type text; with Ctrl held they are commands, never text.
    if (FramePageActive() && !(event->modifiers() & Qt::ControlModifier) &&
        FormKeyPress(event->text())) {
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

} // namespace vistrel
