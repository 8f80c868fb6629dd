#pragma once

#include "unitImportFrame.h"

#include <QWidget>
#include <memory>

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QPainter;
class QProgressBar;
class QPushButton;
class QToolButton;

namespace vistrel {

class IImportHost;
class TAnimationBrowser;
class TImportAnimationBar;
class TPaintBox;

// The Import page: the tool strip (scale and dither menus, Insert, Replace,
// Done, progress) beside the grey edit panel with the scaled picture, its red
// frame window, and the resulting frame. It owns the window's one importer and
// runs File > Import Frame and File > Export Frame. A moving source (an
// animated picture, a clip) shows the animation bar (TImportAnimationBar) under
// the resulting frame. Everything it needs of the document goes through
// IImportHost.
class TImportPage : public QWidget {
    Q_OBJECT

public:
    static constexpr int ToolWidth = 58;
    static constexpr QPoint ScaledOrigin{3, 3};
    static constexpr int PreviewTop = 99;
    static constexpr QSize PreviewSize{96, 64};

    explicit TImportPage(IImportHost& host, QWidget* parent = nullptr);
    ~TImportPage() override;

    TImportFrame& Importer() { return m_importer; }
    // The last custom scale; the default answer of the custom scale question.
    int ImportScale() const { return m_importScale; }

    // File menu.
    void Import1Click();
    void Export1Click();
    // Loads a picture and shows the page; the reason of a failure goes to the
    // user and the importer keeps what it had.
    // A file of more than one frame opens as a moving source.
    bool ImportPicture(const QString& fileName);
    // Opens a moving source (a still picture is one of one frame) and shows the
    // page; a failure is told and the page keeps what it had.
    bool ImportAnimation(const QString& fileName, bool sequence);
    // The moving source on show, or nullptr for a still picture.
    TAnimationBrowser* Browser() const;

    // Tool strip and menus.
    void spdbtnScaleClick();
    void spdbtnDitherClick();
    void mnuitmScaleCustomClick(QAction* item);
    void Quantization1Click(QAction* item);
    void btnImportInsertClick();
    void btnImportReplaceClick();
    void btnImportDoneClick();
    // Insert and Replace follow the document: the window calls this when it
    // opens, closes or changes its current frame.
    void UpdateButtons();

    // Paint boxes and layout.
    void pntbxImportScaledPaint(QPainter& painter);
    void pntbxImportPreviewPaint(QPainter& painter);
    void pntbxImportScaledMouseDown(Qt::MouseButton button, QPoint point);
    void pntbxImportScaledMouseMove(QPoint point);
    void pntbxImportScaledMouseUp();
    void pnlImportEditResize();
    void ImportPreviewSize(int width, int height);
    void ImportProgress(int stage, int value);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildToolStrip();
    void BuildEditPanel();
    void BuildScaleMenu();
    void BuildDitherMenu();
    void ShowError(const QString& text);
    void CheckScaleItem(QAction* item);
    void ShowBrowser(std::unique_ptr<TAnimationBrowser> browser, const QString& fileName,
                     bool sequence);
    bool Loaded(const QImage& picture);

    IImportHost& m_host;
    TImportFrame m_importer;
    int m_importScale = 100;
    QAction* m_scaleInForce = nullptr;
    QImage m_previewPicture; // Scaled, reduced once to the preview's size
    qint64 m_previewKey = 0;

    QWidget* m_tool = nullptr; // pnlImportTool
    QToolButton* m_scaleButton = nullptr;
    QToolButton* m_ditherButton = nullptr;
    QPushButton* m_insert = nullptr;
    QPushButton* m_replace = nullptr;
    QPushButton* m_done = nullptr;
    QLabel* m_progressLabel = nullptr;
    QProgressBar* m_progress = nullptr;
    QWidget* m_edit = nullptr;         // pnlImportEdit
    QWidget* m_scaledPanel = nullptr;  // pnlImportScaled
    TPaintBox* m_scaledBox = nullptr;  // pntbxImportScaled
    QWidget* m_previewPanel = nullptr; // pnlImportPreview
    TPaintBox* m_previewBox = nullptr; // pntbxImportPreview
    QMenu* m_scaleMenu = nullptr;
    QActionGroup* m_scaleItems = nullptr;
    QAction* m_customScale = nullptr;
    QMenu* m_ditherMenu = nullptr;
    QActionGroup* m_ditherItems = nullptr;
    QAction* m_setThreshold = nullptr;
    QAction* m_keepStill = nullptr; // KeepStill1

    TImportAnimationBar* m_animationBar = nullptr; // pnlImportAnimation
};

} // namespace vistrel
