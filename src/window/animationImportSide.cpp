#include "animationImportSide.h"

#include "animationSourceFactory.h"
#include "document.h"
#include "frameCommandsHost.h"
#include "importPage.h"
#include "localFiles.h"
#include "pictureSequenceSource.h"
#include "prompts.h"
#include "undoCommands.h"

#include <QEvent>
#include <QFileInfo>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QThread>
#include <QTimer>
#include <algorithm>

namespace vistrel {

namespace {

QString ShortName(const QString& fileName) {
    return QFileInfo(fileName).fileName();
}

// Steps done in order and undone in reverse as one step of the history: an
// import into an empty document takes the place of its blank frame and sets
// its repeat count, and one Undo brings the blank document back.
class TStepGroup final : public QUndoCommand, public IStepSize {
public:
    explicit TStepGroup(const QString& text) : QUndoCommand(text) {}

    void Add(std::unique_ptr<QUndoCommand> step) { m_steps.push_back(std::move(step)); }

    void redo() override {
        for (const auto& step : m_steps)
            step->redo();
    }
    void undo() override {
        for (auto step = m_steps.rbegin(); step != m_steps.rend(); ++step)
            (*step)->undo();
    }
    qsizetype HeldBytes() const override {
        qsizetype bytes = 0;
        for (const auto& step : m_steps)
            if (const auto* sized = dynamic_cast<const IStepSize*>(step.get()))
                bytes += sized->HeldBytes();
        return bytes;
    }

private:
    std::vector<std::unique_ptr<QUndoCommand>> m_steps;
};

// A source's plays as the LCD's repeat count: forever is 255, anything else
// is played at least once and at most 254 times.
std::uint8_t RepeatCountFor(int loopCount) {
    if (loopCount == 0)
        return 255;
    return static_cast<std::uint8_t>(std::clamp(loopCount, 1, 254));
}

QString TooManyFramesReason(int room) {
    return QStringLiteral("The animation needs more than the %1 frames left free in the document "
                          "(a document holds at most %2 frames).")
        .arg(room)
        .arg(MaxDocumentFrames);
}

} // namespace

TAnimationImportSide::TAnimationImportSide(IFrameCommandsHost& host, TImportPage& page,
                                           QStatusBar* statusBar, std::function<int()> tickRate,
                                           QObject* parent)
    : QObject(parent), m_host(host), m_page(page), m_tickRate(std::move(tickRate)) {
    m_progress = new QProgressBar(statusBar);
    m_progress->setObjectName(QStringLiteral("prgbrImportAnimation"));
    // As wide as its longest text, which then never wraps onto a second line;
    // what it counts is in its tool-tip, so that the times beside it keep
    // their room in a window of the smallest width.
    m_progress->setFixedWidth(
        m_progress->fontMetrics().horizontalAdvance(tr("%1 of %1").arg(9999)) + 24);
    m_progress->hide();
    m_cancelButton = new QPushButton(tr("Cancel"), statusBar);
    m_cancelButton->setObjectName(QStringLiteral("btnImportAnimationCancel"));
    m_cancelButton->setToolTip(tr("Stop importing; the animation stays as it was"));
    m_cancelButton->setFocusPolicy(Qt::NoFocus);
    m_cancelButton->hide();
    statusBar->addPermanentWidget(m_progress);
    statusBar->addPermanentWidget(m_cancelButton);
    connect(m_cancelButton, &QPushButton::clicked, this, &TAnimationImportSide::Cancel);
    m_progressTimer = new QTimer(this);
    m_progressTimer->setInterval(100);
    connect(m_progressTimer, &QTimer::timeout, this, &TAnimationImportSide::ShowProgress);
    if (QWidget* window = m_host.DialogParent())
        window->installEventFilter(this);
}

TAnimationImportSide::~TAnimationImportSide() {
    StopWaiting();
}

bool TAnimationImportSide::ImportAnimation1Click() {
    if (m_host.Document().Closed())
        return false;
    const std::optional<QString> fileName = m_host.Prompts().OpenFileName(
        {tr("Import Animation"),
         QStringLiteral("Animations and videos (*.gif *.webp *.png *.apng *.mp4 *.webm *.mkv "
                        "*.mov *.avi);;GIF (*.gif);;WebP (*.webp);;PNG (*.png *.apng);;"
                        "Videos (*.mp4 *.webm *.mkv *.mov *.avi);;All Files (*)"),
         {}});
    if (!fileName || fileName->isEmpty())
        return false;
    return m_page.ImportAnimation(*fileName, AskSequence(*fileName));
}

bool TAnimationImportSide::AskSequence(const QString& fileName) {
    const QStringList files = SequenceFiles(fileName);
    if (files.size() < 2)
        return false;
    return m_host.Prompts().MessageBox(tr("Import all %1 numbered pictures %2 ... %3 as a "
                                          "sequence?")
                                           .arg(files.size())
                                           .arg(ShortName(files.first()), ShortName(files.last())),
                                       tr("Confirm"), PromptIcon::Question,
                                       PromptButtons::YesNo) == PromptButton::Yes;
}

bool TAnimationImportSide::EmptyDocument() {
    // A new document nobody has touched yet: one blank frame, nothing to lose.
    const TDocument& document = m_host.Document();
    const TAnimation& animation = document.Animation();
    if (document.Closed() || document.Modified() || animation.FrameCount() != 1)
        return false;
    const FramePixels& pixels = animation.Frame(0).Pixels;
    return std::all_of(pixels.begin(), pixels.end(), [](std::uint8_t dot) { return dot == 0; });
}

bool TAnimationImportSide::InsertAll(const QString& fileName, bool sequence,
                                     TAnimationImportOptions options) {
    TDocument& document = m_host.Document();
    if (Running() || document.Closed())
        return false;
    options.Fps = m_tickRate();
    options.Merge = true;
    options.MaxFrames =
        MaxDocumentFrames - document.Animation().FrameCount() + (EmptyDocument() ? 1 : 0);
    m_shortName = ShortName(fileName);
    m_cancel = false;
    m_done = 0;
    m_total = -1;
    m_openFailed = false;
    m_result = {};
    // The frames read are for this document: a document closed or replaced
    // meanwhile (which starts its history afresh) takes none of them. Saving
    // it under another name keeps them coming.
    m_documentReplaced = connect(&document.UndoStack(), &QUndoStack::indexChanged, this, [this] {
        if (m_host.Document().UndoStack().count() == 0)
            Cancel();
    });

    m_worker.reset(QThread::create([this, fileName, sequence, options] {
        // The source and the importer live and die on this thread.
        QString reason;
        const std::unique_ptr<IAnimationSource> source =
            OpenAnimationSource(fileName, sequence, &reason);
        if (!source) {
            m_openFailed = true;
            m_result.Error = reason;
            return;
        }
        m_total = source->FrameCount();
        m_result = TAnimationImport(options).Run(
            *source,
            [this](int done, int total) {
                m_done = done;
                m_total = total;
            },
            &m_cancel);
    }));
    connect(m_worker.get(), &QThread::finished, this, &TAnimationImportSide::Finish,
            Qt::QueuedConnection);
    m_progress->setRange(0, 0);
    m_progress->setFormat(tr("Importing..."));
    m_progress->setToolTip(tr("Importing the frames of %1").arg(m_shortName));
    m_progress->show();
    m_cancelButton->show();
    m_progressTimer->start();
    m_worker->start();
    return true;
}

void TAnimationImportSide::ShowProgress() {
    const int total = m_total;
    if (total > 0) {
        m_progress->setRange(0, total);
        m_progress->setValue(std::min<int>(m_done, total));
        m_progress->setFormat(tr("%v of %m"));
    }
}

void TAnimationImportSide::Cancel() {
    m_cancel = true;
}

void TAnimationImportSide::StopWaiting() {
    if (!m_worker)
        return;
    m_cancel = true;
    m_worker->wait();
}

bool TAnimationImportSide::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Close && watched == m_host.DialogParent())
        StopWaiting();
    return QObject::eventFilter(watched, event);
}

void TAnimationImportSide::Finish() {
    if (!m_worker)
        return;
    m_worker->wait();
    m_worker.reset();
    disconnect(m_documentReplaced);
    m_progressTimer->stop();
    m_progress->hide();
    m_cancelButton->hide();
    const bool inserted = !m_cancel && Take(std::move(m_result));
    m_result = {};
    emit ended(inserted);
}

bool TAnimationImportSide::Take(TAnimationImportResult result) {
    if (result.Cancelled || m_host.Document().Closed())
        return false;
    if (m_openFailed) {
        ShowError(UnableToOpenMessage(m_shortName, result.Error));
        return false;
    }
    if (result.TooManyFrames || result.Frames.empty()) {
        ShowError(tr("Unable to import %1: %2")
                      .arg(m_shortName,
                           result.Error.isEmpty() ? tr("it holds no frames.") : result.Error));
        return false;
    }
    if (result.Partial && !AcceptPartial(result))
        return false;
    // Nothing may work on the frames while they change: the player stops and
    // the editor's picture goes into its frame first.
    m_host.BeforeFramesChange();
    m_host.StoreCurrentFrame();
    // The user may have added frames while the source was read.
    const int room =
        MaxDocumentFrames - m_host.Document().Animation().FrameCount() + (EmptyDocument() ? 1 : 0);
    if (static_cast<int>(result.Frames.size()) > room) {
        ShowError(tr("Unable to import %1: %2").arg(m_shortName, TooManyFramesReason(room)));
        return false;
    }
    return Insert(std::move(result.Frames), result.LoopCount);
}

bool TAnimationImportSide::AcceptPartial(const TAnimationImportResult& result) {
    return m_host.Prompts().MessageBox(
               tr("%1 could be read only as far as frame %2 (%3). Insert the %4 frames that "
                  "could be read?")
                   .arg(m_shortName)
                   .arg(result.FramesRead)
                   .arg(result.Error)
                   .arg(result.Frames.size()),
               tr("Confirm"), PromptIcon::Question, PromptButtons::YesNo) == PromptButton::Yes;
}

bool TAnimationImportSide::Insert(std::vector<TFrame> frames, int loopCount) {
    TDocument& document = m_host.Document();
    TAnimation& animation = document.Animation();
    const QString text = tr("Import Animation");
    const bool empty = EmptyDocument();
    // Frames marked for a range would move under the inserted ones.
    animation.ClearSelectedMarks();
    document.SetMultipleSel(false);
    const int index = empty ? 1 : document.CurFrame() + 1;
    const int countBefore = animation.FrameCount();
    const int count = static_cast<int>(frames.size());
    if (empty) {
        // The source's frames take the blank frame's place and play as often
        // as the source asks.
        auto group = std::make_unique<TStepGroup>(text);
        group->Add(
            std::make_unique<TInsertFramesCommand>(document, index, std::move(frames), text));
        group->Add(std::make_unique<TRemoveFramesCommand>(document, 0, 0, text));
        group->Add(std::make_unique<TRepeatCountCommand>(document, RepeatCountFor(loopCount)));
        document.Push(group.release());
    } else {
        document.Push(new TInsertFramesCommand(document, index, std::move(frames), text));
    }
    const bool inserted = animation.FrameCount() == countBefore + count - (empty ? 1 : 0);
    if (inserted)
        m_host.SetCurFrame(empty ? 0 : index);
    m_host.RefreshFrames(true);
    return inserted;
}

void TAnimationImportSide::ShowError(const QString& text) {
    m_host.Prompts().MessageBox(text, tr("Error"), PromptIcon::Error, PromptButtons::Ok);
}

} // namespace vistrel
