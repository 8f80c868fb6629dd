#include "importPage.h"

#include "animationBrowser.h"
#include "frameBitmapFile.h"
#include "importAnimationBar.h"
#include "importButtonPictures.h"
#include "importHost.h"
#include "localFiles.h"
#include "paintBox.h"
#include "prompts.h"
#include "widgetColours.h"

#include <QActionGroup>
#include <QApplication>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>
#include <algorithm>

namespace vistrel {

namespace {

// Upper-case patterns too: the file dialog matches them case by case.
const QString ImportFilter = QStringLiteral(
    "All (*.jpg *.jpeg *.bmp *.ico *.png *.gif *.JPG *.JPEG *.BMP *.ICO *.PNG *.GIF);;"
    "JPEG Image File (*.jpg *.JPG);;JPEG Image File (*.jpeg *.JPEG);;Bitmaps (*.bmp *.BMP);;"
    "Icons (*.ico *.ICO);;PNG Image File (*.png *.PNG);;GIF Image File (*.gif *.GIF);;"
    "All Files (*)");
const QString ExportFilter = QStringLiteral("Bitmaps (*.bmp);;PNG Pictures (*.png)");
constexpr QSize ButtonSize(50, 25);
// Room on each side of a button's caption, inside the button, whatever the font.
constexpr int CaptionMargin = 8;
constexpr int CustomTag = 6;

struct ScaleItem {
    const char* name;
    const char* caption;
    int scale;
};

// By Tag.
constexpr ScaleItem ScaleItems[] = {
    {"mnuitmScale100", "&100%", 100},    {"mnuitmScale75", "&75%", 75},
    {"mnuitmScale50", "&50%", 50},       {"mnuitmScale25", "&25%", 25},
    {"mnuitmScale10", "1&0%", 10},       {"mnuitmScaleToFit", "To &Fit", TImportFrame::ScaleToFit},
    {"mnuitmScaleCustom", "&Custom", 0},
};

struct DitherItem {
    const char* name;
    const char* caption;
};

constexpr DitherItem DitherItems[] = {
    {"FloydSteinberg1", "&Floyd-Steinberg"},
    {"Bayer1", "&Bayer"},
    {"Quantization1", "&Quantization"},
};

} // namespace

TImportPage::TImportPage(IImportHost& host, QWidget* parent) : QWidget(parent), m_host(host) {
    setObjectName(QStringLiteral("pnlImportPage"));
    m_importer.OnProgress = [this](int stage, int value) { ImportProgress(stage, value); };
    m_importer.OnPreviewSize = [this](int width, int height) { ImportPreviewSize(width, height); };
    BuildScaleMenu();
    BuildDitherMenu();
    BuildToolStrip();
    BuildEditPanel();
    // Under the resulting frame, right of the picture.
    m_animationBar = new TImportAnimationBar(m_host, m_importer, *m_keepStill, m_edit);
    connect(m_animationBar, &TImportAnimationBar::PictureShown, this, [this] {
        m_scaledBox->update();
        m_previewBox->update();
    });
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_tool);
    layout->addWidget(m_edit, 1);
    UpdateButtons();
}

TImportPage::~TImportPage() = default;

void TImportPage::BuildToolStrip() {
    m_tool = new QWidget(this);
    m_tool->setObjectName(QStringLiteral("pnlImportTool"));
    const auto button = [this](const char* name, const QString& hint, const QIcon& icon, int top,
                               void (TImportPage::*handler)()) {
        auto* item = new QToolButton(m_tool);
        item->setObjectName(QLatin1String(name));
        item->setToolTip(hint);
        item->setIcon(icon);
        item->setIconSize(QSize(20, 20));
        item->setAutoRaise(true);
        item->setFocusPolicy(Qt::NoFocus);
        item->setGeometry(4, top, 25, 25);
        connect(item, &QToolButton::clicked, this, [this, handler] { (this->*handler)(); });
        return item;
    };
    m_scaleButton = button("spdbtnScale", QStringLiteral("Scale"), ScaleIcon(), 4,
                           &TImportPage::spdbtnScaleClick);
    m_ditherButton = button("spdbtnDither", QStringLiteral("Dither Method"), DitherIcon(), 4,
                            &TImportPage::spdbtnDitherClick);
    m_ditherButton->move(29, 4);

    // The buttons are as wide as the longest caption needs, and the strip grows
    // with them: a larger font never makes a caption touch its button's edges.
    const QString captions[] = {QStringLiteral("&Insert"), QStringLiteral("&Replace"),
                                QStringLiteral("&Done")};
    int buttonWidth = ButtonSize.width();
    for (const QString& caption : captions)
        buttonWidth = std::max(buttonWidth, m_tool->fontMetrics().horizontalAdvance(
                                                QString(caption).remove(QLatin1Char('&'))) +
                                                2 * CaptionMargin);
    m_tool->setFixedWidth(std::max(ToolWidth, buttonWidth + 8));
    const auto push = [this, buttonWidth](const char* name, const QString& caption, int top,
                                          void (TImportPage::*handler)()) {
        auto* item = new QPushButton(caption, m_tool);
        item->setObjectName(QLatin1String(name));
        item->setGeometry(QRect(QPoint(4, top), QSize(buttonWidth, ButtonSize.height())));
        item->setFocusPolicy(Qt::NoFocus);
        connect(item, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
        return item;
    };
    m_insert = push("btnImportInsert", captions[0], 40, &TImportPage::btnImportInsertClick);
    m_replace = push("btnImportReplace", captions[1], 70, &TImportPage::btnImportReplaceClick);
    m_done = push("btnImportDone", captions[2], 100, &TImportPage::btnImportDoneClick);

    m_progressLabel = new QLabel(QStringLiteral("Working..."), m_tool);
    m_progressLabel->setObjectName(QStringLiteral("lblImportProgress"));
    m_progressLabel->hide();
    m_progress = new QProgressBar(m_tool);
    m_progress->setObjectName(QStringLiteral("prgrsbrImport"));
    m_progress->setTextVisible(false);
    m_progress->setFixedSize(50, 16);
    m_progress->hide();
    m_tool->installEventFilter(this);
}

void TImportPage::BuildEditPanel() {
    m_edit = NewPanel("pnlImportEdit", this, QColor(0x80, 0x80, 0x80));
    m_edit->installEventFilter(this);
    m_scaledPanel = NewPanel("pnlImportScaled", m_edit, Qt::white);
    m_scaledPanel->setGeometry(
        QRect(ScaledOrigin, QSize(TImportFrame::PreviewExtent, TImportFrame::PreviewExtent)));
    m_scaledBox = new TPaintBox(m_scaledPanel);
    m_scaledBox->setObjectName(QStringLiteral("pntbxImportScaled"));
    m_scaledBox->setGeometry(m_scaledPanel->rect());
    m_scaledBox->OnPaint = [this](QPainter& painter) { pntbxImportScaledPaint(painter); };
    m_scaledBox->OnMouseDown = [this](QMouseEvent& event) {
        pntbxImportScaledMouseDown(event.button(), event.position().toPoint());
    };
    m_scaledBox->OnMouseMove = [this](QMouseEvent& event) {
        pntbxImportScaledMouseMove(event.position().toPoint());
    };
    m_scaledBox->OnMouseUp = [this](QMouseEvent&) { pntbxImportScaledMouseUp(); };

    m_previewPanel = NewPanel("pnlImportPreview", m_edit, Qt::white);
    m_previewPanel->setGeometry(QRect(QPoint(0, PreviewTop), PreviewSize));
    m_previewBox = new TPaintBox(m_previewPanel);
    m_previewBox->setObjectName(QStringLiteral("pntbxImportPreview"));
    m_previewBox->setGeometry(m_previewPanel->rect());
    m_previewBox->OnPaint = [this](QPainter& painter) { pntbxImportPreviewPaint(painter); };
}

void TImportPage::BuildScaleMenu() {
    m_scaleMenu = new QMenu(this);
    m_scaleMenu->setObjectName(QStringLiteral("mnuScale"));
    m_scaleItems = new QActionGroup(this);
    m_scaleItems->setExclusive(true);
    for (int tag = 0; tag < static_cast<int>(std::size(ScaleItems)); ++tag) {
        QAction* item = m_scaleMenu->addAction(QLatin1String(ScaleItems[tag].caption));
        item->setObjectName(QLatin1String(ScaleItems[tag].name));
        item->setCheckable(true);
        item->setData(tag);
        m_scaleItems->addAction(item);
        connect(item, &QAction::triggered, this, [this, item] { mnuitmScaleCustomClick(item); });
    }
    m_scaleInForce = m_scaleItems->actions().front();
    m_scaleInForce->setChecked(true);
    m_customScale = m_scaleItems->actions().back();
}

void TImportPage::BuildDitherMenu() {
    m_ditherMenu = new QMenu(this);
    m_ditherMenu->setObjectName(QStringLiteral("mnuDither"));
    m_ditherItems = new QActionGroup(this);
    m_ditherItems->setExclusive(true);
    for (int tag = 0; tag < static_cast<int>(std::size(DitherItems)); ++tag) {
        QAction* item = m_ditherMenu->addAction(QLatin1String(DitherItems[tag].caption));
        item->setObjectName(QLatin1String(DitherItems[tag].name));
        item->setCheckable(true);
        item->setChecked(tag == TImportFrame::FloydSteinberg);
        item->setData(tag);
        m_ditherItems->addAction(item);
        connect(item, &QAction::triggered, this, [this, item] { Quantization1Click(item); });
    }
    m_ditherMenu->addSeparator()->setObjectName(QStringLiteral("N10"));
    m_setThreshold = m_ditherMenu->addAction(QStringLiteral("Set &Threshold (128)"));
    m_setThreshold->setObjectName(QStringLiteral("SetThreshold1"));
    m_setThreshold->setData(-1);
    connect(m_setThreshold, &QAction::triggered, this,
            [this] { Quantization1Click(m_setThreshold); });
    // Only Insert All reads it: a single frame has no neighbour to stay like.
    m_keepStill = m_ditherMenu->addAction(QStringLiteral("Keep &Still Parts Still"));
    m_keepStill->setObjectName(QStringLiteral("KeepStill1"));
    m_keepStill->setCheckable(true);
    m_ditherMenu->setToolTipsVisible(true);
    m_keepStill->setToolTip(
        QStringLiteral("Dots where a moving source does not change keep their value from "
                       "frame to frame, so still parts do not shimmer"));
}

void TImportPage::ShowError(const QString& text) {
    m_host.Prompts().MessageBox(text, QStringLiteral("Error"), PromptIcon::Error,
                                PromptButtons::Ok);
}

void TImportPage::Import1Click() {
    if (m_importer.Busy())
        return;
    const std::optional<QString> fileName =
        m_host.Prompts().OpenFileName({QStringLiteral("Import Frame"), ImportFilter, QString()});
    if (fileName)
        ImportPicture(*fileName);
}

bool TImportPage::ImportPicture(const QString& fileName) {
    if (m_importer.Busy())
        return false;
    QString reason;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    std::unique_ptr<TAnimationBrowser> browser =
        TAnimationBrowser::Open(fileName, false, m_host.TickRate(), nullptr);
    if (browser && browser->Source().FrameCount() != 1) {
        QApplication::restoreOverrideCursor();
        ShowBrowser(std::move(browser), fileName, false);
        return true;
    }
    // A still picture: the one the source read, else the loader says why not.
    const QImage still = browser ? browser->PictureAt(0) : QImage();
    const bool loaded =
        still.isNull() ? m_importer.LoadFromFile(fileName, &reason) : m_importer.SetPicture(still);
    QApplication::restoreOverrideCursor();
    if (!loaded) {
        ShowError(
            QStringLiteral("Unable to open %1: %2.").arg(QFileInfo(fileName).fileName(), reason));
        return false;
    }
    m_animationBar->Close();
    UpdateButtons();
    m_host.ShowImportPage();
    return true;
}

bool TImportPage::ImportAnimation(const QString& fileName, bool sequence) {
    if (m_importer.Busy())
        return false;
    QString reason;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    std::unique_ptr<TAnimationBrowser> browser =
        TAnimationBrowser::Open(fileName, sequence, m_host.TickRate(), &reason);
    QApplication::restoreOverrideCursor();
    if (!browser) {
        ShowError(UnableToOpenMessage(QFileInfo(fileName).fileName(), reason));
        return false;
    }
    ShowBrowser(std::move(browser), fileName, sequence);
    return true;
}

TAnimationBrowser* TImportPage::Browser() const {
    return m_animationBar->Browser();
}

void TImportPage::ShowBrowser(std::unique_ptr<TAnimationBrowser> browser, const QString& fileName,
                              bool sequence) {
    m_animationBar->Open(std::move(browser), fileName, sequence);
    pnlImportEditResize();
    UpdateButtons();
    m_host.ShowImportPage();
}

void TImportPage::Export1Click() {
    const std::optional<QString> fileName =
        m_host.Prompts().SaveFileName({QStringLiteral("Export Frame As"), ExportFilter,
                                       m_host.ExportFrameName(), QStringLiteral("bmp")});
    if (!fileName)
        return;
    const QString written = FramePictureFileName(*fileName);
    // The file dialog asked about replacing the name typed, not the one with the
    // extension added.
    if (written != *fileName && LocalFileExists(written) &&
        m_host.Prompts().MessageBox(QStringLiteral("%1 already exists.\nDo you want to replace it?")
                                        .arg(QFileInfo(written).fileName()),
                                    QStringLiteral("Confirm"), PromptIcon::Question,
                                    PromptButtons::YesNo) != PromptButton::Yes)
        return;
    QString reason;
    if (!WriteFramePicture(FramePixelsOf(m_host.WorkBitmap()), written, &reason))
        ShowError(
            QStringLiteral("Unable to write %1: %2").arg(QFileInfo(written).fileName(), reason));
    else
        m_host.FrameExported(written);
}

void TImportPage::spdbtnScaleClick() {
    m_scaleMenu->popup(m_scaleButton->mapToGlobal(QPoint(m_scaleButton->width(), 0)));
}

void TImportPage::spdbtnDitherClick() {
    m_ditherMenu->popup(m_ditherButton->mapToGlobal(QPoint(m_ditherButton->width(), 0)));
}

void TImportPage::CheckScaleItem(QAction* item) {
    item->setChecked(true);
    m_scaleInForce = item;
}

void TImportPage::mnuitmScaleCustomClick(QAction* item) {
    QAction* const previous = m_scaleInForce;
    const QString previousCaption = m_customScale->text();
    // Nothing changes under a running rescale: the check goes back to the scale
    // in force.
    if (m_importer.Busy()) {
        previous->setChecked(true);
        return;
    }
    m_customScale->setText(QStringLiteral("Custom"));
    item->setChecked(true);
    const int tag = item->data().toInt();
    if (tag != CustomTag) {
        m_scaleInForce = item;
        m_importer.SetScale(ScaleItems[tag].scale);
        return;
    }

    // A cancelled or refused answer leaves the menu and the scale as they were.
    const auto restore = [&] {
        m_customScale->setText(previousCaption);
        CheckScaleItem(previous);
    };
    std::optional<QString> answer = m_host.Prompts().InputQuery(
        m_host.ApplicationCaption(),
        QStringLiteral("Enter custom scale factor as percentage (i.e. 95%):"),
        QStringLiteral("%1%").arg(m_importScale));
    if (!answer) {
        restore();
        return;
    }
    bool isNumber = false;
    const int scale = answer->remove(QLatin1Char('%')).trimmed().toInt(&isNumber);
    if (!isNumber || scale < 1 || scale > 100) {
        ShowError(QStringLiteral("Invalid scale factor - must be between 1% and 100%."));
        restore();
        return;
    }
    m_importScale = scale;
    for (QAction* fixed : m_scaleItems->actions())
        if (fixed != m_customScale && ScaleItems[fixed->data().toInt()].scale == scale) {
            mnuitmScaleCustomClick(fixed);
            return;
        }
    m_customScale->setText(QStringLiteral("Custom (%1%)").arg(scale));
    m_scaleInForce = m_customScale;
    m_importer.SetScale(scale);
}

void TImportPage::Quantization1Click(QAction* item) {
    if (m_importer.Busy()) {
        m_ditherItems->actions().at(m_importer.Method())->setChecked(true);
        return;
    }
    const int tag = item->data().toInt();
    if (tag >= 0) {
        item->setChecked(true);
        m_importer.SetMethod(tag);
        return;
    }
    const std::optional<QString> answer = m_host.Prompts().InputQuery(
        m_host.ApplicationCaption(), QStringLiteral("Enter dither threshold (0..255):"),
        QString::number(m_importer.Threshold()));
    if (!answer)
        return;
    bool isNumber = false;
    const int threshold = answer->trimmed().toInt(&isNumber);
    if (!isNumber || threshold < 0 || threshold > 255) {
        ShowError(QStringLiteral("Invalid threshold value - must be between 0 and 255."));
        return;
    }
    m_importer.SetThreshold(threshold);
    m_setThreshold->setText(QStringLiteral("Set &Threshold (%1)").arg(threshold));
}

void TImportPage::UpdateButtons() {
    m_insert->setEnabled(m_host.CanInsertFrame());
    m_replace->setEnabled(m_host.CanReplaceFrame());
    m_animationBar->UpdateButtons();
}

void TImportPage::btnImportReplaceClick() {
    UpdateButtons();
    if (m_importer.Busy() || !m_replace->isEnabled())
        return;
    m_host.ReplaceCurrentFrame(m_importer.Output());
}

void TImportPage::btnImportInsertClick() {
    UpdateButtons();
    if (m_importer.Busy() || !m_insert->isEnabled())
        return;
    if (m_host.InsertBlankFrameAfterCurrent())
        btnImportReplaceClick();
}

void TImportPage::btnImportDoneClick() {
    m_host.ImportDone();
}

void TImportPage::pntbxImportScaledPaint(QPainter& painter) {
    painter.fillRect(m_scaledBox->rect(), Qt::white);
    const QImage& scaled = m_importer.Scaled();
    if (scaled.isNull())
        return;
    const QRect preview = m_importer.PreviewRect();
    // Reduced once per picture, smoothly, rather than sampled on every paint.
    if (m_previewKey != scaled.cacheKey() || m_previewPicture.size() != preview.size()) {
        m_previewPicture = scaled.scaled(preview.size(), Qt::IgnoreAspectRatio,
                                         scaled.width() > preview.width() ? Qt::SmoothTransformation
                                                                          : Qt::FastTransformation);
        m_previewKey = scaled.cacheKey();
    }
    painter.drawImage(preview.topLeft(), m_previewPicture);
    if (m_importer.Oversize()) {
        painter.setPen(QPen(QColor(255, 0, 0), 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(m_importer.ShownWindowRect().adjusted(0, 0, -1, -1));
    }
}

void TImportPage::pntbxImportPreviewPaint(QPainter& painter) {
    painter.drawImage(m_previewBox->rect(), m_importer.Output());
}

void TImportPage::pntbxImportScaledMouseDown(Qt::MouseButton button, QPoint point) {
    // The whole picture is a handle: the window moves as far as the mouse does,
    // from wherever the drag starts, however small the window is on screen.
    if (button == Qt::LeftButton && m_importer.Oversize() &&
        m_importer.PreviewRect().contains(point))
        m_importer.BeginDrag(point);
}

void TImportPage::pntbxImportScaledMouseMove(QPoint point) {
    m_importer.DragTo(point);
    if (m_importer.Dragging())
        m_scaledBox->repaint();
}

void TImportPage::pntbxImportScaledMouseUp() {
    m_importer.EndDrag();
}

void TImportPage::pnlImportEditResize() {
    // The frame preview sits in the middle of the room right of the picture.
    const int right = m_scaledPanel->x() + m_scaledPanel->width();
    m_previewPanel->move(right + (m_edit->width() - right - m_previewPanel->width()) / 2,
                         m_previewPanel->y());
    // The moving source's controls sit under the frame, in the middle of the
    // same room, no wider than a slider the eye can follow.
    if (!m_animationBar)
        return;
    const int top = m_previewPanel->y() + m_previewPanel->height() + 12;
    const int room = m_edit->width() - right - 16;
    const int width = std::clamp(room, 200, 400);
    m_animationBar->setGeometry(right + 8 + std::max(room - width, 0) / 2, top, width,
                                std::max(m_edit->height() - top - 4, 150));
}

void TImportPage::ImportPreviewSize(int width, int height) {
    m_scaledPanel->setGeometry(ScaledOrigin.x() + (TImportFrame::PreviewExtent - width) / 2,
                               ScaledOrigin.y(), width, height);
    m_scaledBox->setGeometry(m_scaledPanel->rect());
    pnlImportEditResize();
}

void TImportPage::ImportProgress(int stage, int value) {
    switch (stage) {
    case 0:
        m_progress->setValue(0);
        m_progress->setMaximum(value);
        m_progress->show();
        m_progressLabel->show();
        break;
    case 1:
        m_progress->setValue(value);
        // The window repaints and the bar moves; the user's clicks and keys
        // wait until the loop is over.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        break;
    default:
        m_progress->hide();
        m_progressLabel->hide();
        m_scaledBox->update();
        m_previewBox->update();
        break;
    }
}

bool TImportPage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize) {
        if (watched == m_edit)
            pnlImportEditResize();
        else if (watched == m_tool) {
            // The bar stays at the bottom of the strip, the label above it.
            m_progress->move(4, m_tool->height() - m_progress->height() - 4);
            m_progressLabel->setGeometry(4, m_progress->y() - 18, m_tool->width() - 4, 16);
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace vistrel
