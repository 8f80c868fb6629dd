#pragma once

#include <QWidget>
#include <memory>

class QAction;
class QLabel;
class QPushButton;
class QSlider;
class QTimer;

namespace vistrel {

class IImportHost;
class TAnimationBrowser;
class TImportFrame;

// The Import page's bar for a moving source (an animated picture, a clip),
// under the resulting frame: the source's length, a slider that previews any
// of its frames in the page's importer, the part to take and Insert All. It
// owns the source on show; the page places it, and repaints its picture when
// PictureShown is emitted.
class TImportAnimationBar : public QWidget {
    Q_OBJECT

public:
    // keepStill is the dither menu's Keep Still Parts Still, read by Insert All.
    TImportAnimationBar(IImportHost& host, TImportFrame& importer, const QAction& keepStill,
                        QWidget* parent);
    ~TImportAnimationBar() override;

    // Shows the source from its first frame, put into the importer; the bar
    // becomes visible.
    void Open(std::unique_ptr<TAnimationBrowser> browser, const QString& fileName, bool sequence);
    // A still picture took the source's place: the bar goes.
    void Close();
    // The moving source on show, or nullptr.
    TAnimationBrowser* Browser() const { return m_browser.get(); }
    // Insert All follows the document and a running Insert All.
    void UpdateButtons();

    void sldImportFrameChange(int position);
    void btnImportSetStartClick();
    void btnImportSetEndClick();
    void btnImportInsertAllClick();

signals:
    // The importer holds another frame of the source.
    void PictureShown();

private:
    void ShowPosition();
    void ShowRange();

    IImportHost& m_host;
    TImportFrame& m_importer;
    const QAction& m_keepStill;
    std::unique_ptr<TAnimationBrowser> m_browser;
    QString m_fileName;
    bool m_sequence = false;
    QLabel* m_lengthLabel = nullptr;
    QSlider* m_frameSlider = nullptr;
    QLabel* m_positionLabel = nullptr;
    QPushButton* m_setStart = nullptr;
    QPushButton* m_setEnd = nullptr;
    QLabel* m_rangeLabel = nullptr;
    QPushButton* m_insertAll = nullptr;
    // Gathers the slider's moves while it is dragged: a clip is read once for
    // the position it rests on, not for every position passed.
    QTimer* m_frameTimer = nullptr;
};

} // namespace vistrel
