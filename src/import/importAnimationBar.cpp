#include "importAnimationBar.h"

#include "animationBrowser.h"
#include "importHost.h"
#include "unitImportFrame.h"
#include "widgetColours.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace vistrel {

TImportAnimationBar::TImportAnimationBar(IImportHost& host, TImportFrame& importer,
                                         const QAction& keepStill, QWidget* parent)
    : QWidget(parent), m_host(host), m_importer(importer), m_keepStill(keepStill) {
    // The source's length, the slider with the position it shows, the part to
    // take and Insert All, one under the other.
    setObjectName(QStringLiteral("pnlImportAnimation"));
    FillBackground(this, QColor(0x80, 0x80, 0x80));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(4);
    const auto label = [this, column](const char* name) {
        auto* item = new QLabel(this);
        item->setObjectName(QLatin1String(name));
        item->setStyleSheet(QStringLiteral("color: white"));
        column->addWidget(item);
        return item;
    };
    const auto push = [this](const char* name, const QString& caption,
                             void (TImportAnimationBar::*handler)()) {
        auto* item = new QPushButton(caption, this);
        item->setObjectName(QLatin1String(name));
        item->setFocusPolicy(Qt::NoFocus);
        connect(item, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
        return item;
    };
    m_lengthLabel = label("lblImportLength");
    m_frameSlider = new QSlider(Qt::Horizontal, this);
    m_frameSlider->setObjectName(QStringLiteral("sldImportFrame"));
    m_frameSlider->setToolTip(QStringLiteral("Frame to preview"));
    column->addWidget(m_frameSlider);
    m_positionLabel = label("lblImportPosition");
    auto* ends = new QHBoxLayout;
    ends->setSpacing(4);
    m_setStart = push("btnImportSetStart", QStringLiteral("Set &Start"),
                      &TImportAnimationBar::btnImportSetStartClick);
    m_setStart->setToolTip(QStringLiteral("The part taken starts at the frame shown"));
    m_setEnd = push("btnImportSetEnd", QStringLiteral("Set E&nd"),
                    &TImportAnimationBar::btnImportSetEndClick);
    m_setEnd->setToolTip(QStringLiteral("The part taken ends with the frame shown"));
    ends->addWidget(m_setStart);
    ends->addWidget(m_setEnd);
    ends->addStretch(1);
    column->addLayout(ends);
    m_rangeLabel = label("lblImportRange");
    m_rangeLabel->setWordWrap(true);
    m_insertAll = push("btnImportInsertAll", QStringLiteral("Insert A&ll"),
                       &TImportAnimationBar::btnImportInsertAllClick);
    m_insertAll->setToolTip(QStringLiteral("Insert the part taken after the current frame"));
    auto* insertRow = new QHBoxLayout;
    insertRow->addWidget(m_insertAll);
    insertRow->addStretch(1);
    column->addLayout(insertRow);
    column->addStretch(1);

    m_frameTimer = new QTimer(this);
    m_frameTimer->setSingleShot(true);
    m_frameTimer->setInterval(40);
    connect(m_frameTimer, &QTimer::timeout, this, &TImportAnimationBar::ShowPosition);
    connect(m_frameSlider, &QSlider::valueChanged, this,
            &TImportAnimationBar::sldImportFrameChange);
    connect(m_frameSlider, &QSlider::sliderReleased, this, &TImportAnimationBar::ShowPosition);
    hide();
}

TImportAnimationBar::~TImportAnimationBar() = default;

void TImportAnimationBar::Open(std::unique_ptr<TAnimationBrowser> browser, const QString& fileName,
                               bool sequence) {
    m_frameTimer->stop();
    m_browser = std::move(browser);
    m_fileName = fileName;
    m_sequence = sequence;
    m_lengthLabel->setText(m_browser->Summary());
    {
        // The new source starts at its first frame, shown below with the window
        // at the top-left as for any new picture.
        const QSignalBlocker quiet(m_frameSlider);
        m_frameSlider->setRange(0, m_browser->Positions() - 1);
        m_frameSlider->setValue(0);
        m_frameSlider->setPageStep(std::max(m_browser->Positions() / 10, 1));
    }
    const QImage first = m_browser->PictureAt(0);
    if (!first.isNull())
        m_importer.SetPicture(first);
    ShowPosition();
    ShowRange();
    show();
}

void TImportAnimationBar::Close() {
    m_browser.reset();
    hide();
}

void TImportAnimationBar::sldImportFrameChange(int) {
    // Dragged: the picture follows once the slider rests a moment.
    if (m_frameSlider->isSliderDown())
        m_frameTimer->start();
    else
        ShowPosition();
}

void TImportAnimationBar::ShowPosition() {
    m_frameTimer->stop();
    if (!m_browser)
        return;
    // A rescale running lets events run: the position is shown when it is over.
    if (m_importer.Busy()) {
        m_frameTimer->start();
        return;
    }
    const int position = m_frameSlider->value();
    const QImage picture = m_browser->PictureAt(position);
    if (picture.isNull()) {
        m_positionLabel->setText(
            QStringLiteral("%1: %2").arg(m_browser->PositionText(position), m_browser->Error()));
        return;
    }
    m_positionLabel->setText(m_browser->PositionText(position));
    if (picture.cacheKey() == m_importer.SourceImage().cacheKey())
        return;
    // The frames of a source share one size: the window stays where it was put.
    const QPoint window = m_importer.GrabRect().topLeft();
    if (m_importer.SetPicture(picture))
        m_importer.MoveWindowTo(window);
    emit PictureShown();
}

void TImportAnimationBar::ShowRange() {
    if (!m_browser)
        return;
    m_rangeLabel->setText(m_browser->RangeText());
}

void TImportAnimationBar::btnImportSetStartClick() {
    if (!m_browser)
        return;
    m_browser->SetStart(m_frameSlider->value());
    ShowRange();
}

void TImportAnimationBar::btnImportSetEndClick() {
    if (!m_browser)
        return;
    m_browser->SetEnd(m_frameSlider->value());
    ShowRange();
}

void TImportAnimationBar::UpdateButtons() {
    m_insertAll->setEnabled(m_browser && m_host.CanInsertFrame() &&
                            !m_host.AnimationImportRunning());
}

void TImportAnimationBar::btnImportInsertAllClick() {
    UpdateButtons();
    if (!m_browser || m_importer.Busy() || !m_insertAll->isEnabled())
        return;
    TAnimationImportOptions options;
    options.Scale = m_importer.Scale();
    options.Method = m_importer.Method();
    options.Threshold = m_importer.Threshold();
    options.Window = m_importer.GrabRect().topLeft();
    options.Start = m_browser->RangeStart();
    options.End = m_browser->RangeEnd();
    options.KeepStill = m_keepStill.isChecked();
    m_host.InsertAnimation(m_fileName, m_sequence, options);
    UpdateButtons();
}

} // namespace vistrel
