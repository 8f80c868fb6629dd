#pragma once

#include "animationImport.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>

class QProgressBar;
class QPushButton;
class QStatusBar;
class QThread;
class QTimer;

namespace vistrel {

class IFrameCommandsHost;
class TImportPage;

// File > Import Animation... and the Import page's Insert All. The command
// opens a moving picture (an animated GIF, WebP or PNG, a numbered picture
// sequence, a video clip) on the Import page; Insert All reads the part the
// user took on a worker thread, with a progress bar and Cancel in the status
// bar, and puts its frames in after the current one as one step of the
// history. Nothing touches the document until the reading has ended, so Cancel
// leaves it as it was.
class TAnimationImportSide : public QObject {
    Q_OBJECT

public:
    // tickRate: the player's ticks a second when Insert All starts.
    TAnimationImportSide(IFrameCommandsHost& host, TImportPage& page, QStatusBar* statusBar,
                         std::function<int()> tickRate, QObject* parent);
    ~TAnimationImportSide() override;

    // Asks for the file and shows it on the Import page; true when it is shown.
    bool ImportAnimation1Click();

    // Starts reading the source in the file; the window's own options (speed,
    // merging, the room left) go over those given. False when it cannot start.
    bool InsertAll(const QString& fileName, bool sequence, TAnimationImportOptions options);
    bool Running() const { return m_worker != nullptr; }
    // Stops the reading; the document stays as it was.
    void Cancel();

    QProgressBar* ProgressBar() const { return m_progress; }
    QPushButton* CancelButton() const { return m_cancelButton; }

signals:
    // Insert All has ended: inserted when frames went in.
    void ended(bool inserted);

protected:
    // Closing the window stops the reading and waits for the worker.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Whether the numbered pictures beside fileName are to be read as one source.
    bool AskSequence(const QString& fileName);
    // The worker has ended: its frames go in, or its reason is told.
    void Finish();
    bool Take(TAnimationImportResult result);
    // Whether what a source that failed part-way gave is to go in.
    bool AcceptPartial(const TAnimationImportResult& result);
    bool Insert(std::vector<TFrame> frames, int loopCount);
    bool EmptyDocument();
    void ShowError(const QString& text);
    void ShowProgress();
    void StopWaiting();

    IFrameCommandsHost& m_host;
    TImportPage& m_page;
    std::function<int()> m_tickRate;
    QProgressBar* m_progress = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QTimer* m_progressTimer = nullptr;

    // The reading under way: the worker owns the source and the importer; the
    // result is read once it has ended.
    std::unique_ptr<QThread> m_worker;
    std::atomic<bool> m_cancel = false;
    std::atomic<int> m_done = 0;
    std::atomic<int> m_total = -1;
    TAnimationImportResult m_result;
    bool m_openFailed = false;
    QString m_shortName;
    QMetaObject::Connection m_documentReplaced;
};

} // namespace vistrel
