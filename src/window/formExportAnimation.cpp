#include "formExportAnimation.h"

#include "exportFrames.h"
#include "unitAnimation.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

namespace vistrel {

namespace {

constexpr int PreviewScale = 4;

QIcon Swatch(QRgb colour) {
    QPixmap pixmap(24, 14);
    pixmap.fill(QColor(colour));
    QPainter painter(&pixmap);
    painter.setPen(Qt::darkGray);
    painter.drawRect(pixmap.rect().adjusted(0, 0, -1, -1));
    return QIcon(pixmap);
}

QString Repeats(int repeatCount) {
    if (repeatCount == 1)
        return QStringLiteral("plays once");
    if (repeatCount == 0 || repeatCount >= 255)
        return QStringLiteral("loops forever");
    return QStringLiteral("plays %1 times").arg(repeatCount);
}

} // namespace

TfrmExportAnimation::TfrmExportAnimation(const TExportChoices& choices, const TAnimation& animation,
                                         int previewFrame, int fps, QWidget* parent)
    : QDialog(parent), m_animation(animation), m_previewFrame(previewFrame), m_fps(fps),
      m_folder(choices.Folder), m_colours(choices.Colours) {
    setObjectName(QStringLiteral("frmExportAnimation"));
    setWindowTitle(QStringLiteral("Export Animation"));
    ChooseColour = [this](const QColor& initial, const QString& title) -> std::optional<QColor> {
        const QColor colour = QColorDialog::getColor(initial, this, title);
        return colour.isValid() ? std::optional<QColor>(colour) : std::nullopt;
    };

    m_format = new QComboBox(this);
    m_format->setObjectName(QStringLiteral("cmbbxFormat"));
    // In the order of TExportFormat.
    m_format->addItems(
        {QStringLiteral("Animated GIF (.gif)"), QStringLiteral("PNG sprite sheet (.png)"),
         QStringLiteral("Numbered PNG frames (.png)"), QStringLiteral("C header for firmware (.h)"),
         QStringLiteral("Raw frames for a device (.bin)")});
    m_format->setCurrentIndex(static_cast<int>(choices.Format));

    m_scale = new QSpinBox(this);
    m_scale->setObjectName(QStringLiteral("spnScale"));
    m_scale->setRange(TExportOptions::MinScale, TExportOptions::MaxScale);
    m_scale->setSuffix(QStringLiteral(" \u00d7"));
    m_scale->setValue(choices.Scale);

    m_colourPreset = new QComboBox(this);
    m_colourPreset->setObjectName(QStringLiteral("cmbbxColours"));
    m_colourPreset->addItems(
        {QStringLiteral("Black on white"), QStringLiteral("LCD"), QStringLiteral("Custom")});
    m_litButton = new QPushButton(QStringLiteral("Lit dots..."), this);
    m_litButton->setObjectName(QStringLiteral("btnLitColour"));
    m_unlitButton = new QPushButton(QStringLiteral("Unlit dots..."), this);
    m_unlitButton->setObjectName(QStringLiteral("btnUnlitColour"));
    auto* colourRow = new QHBoxLayout;
    colourRow->addWidget(m_colourPreset, 1);
    colourRow->addWidget(m_litButton);
    colourRow->addWidget(m_unlitButton);

    m_columns = new QSpinBox(this);
    m_columns->setObjectName(QStringLiteral("spnColumns"));
    m_columns->setRange(0, TExportChoices::MaxColumns);
    m_columns->setSpecialValueText(QStringLiteral("All in one row"));
    m_columns->setValue(choices.Columns);

    m_rotate = new QCheckBox(
        QStringLiteral("&Turn upside down (for a memory card in a controller)"), this);
    m_rotate->setObjectName(QStringLiteral("chkRotate180"));
    m_rotate->setChecked(choices.Rotate180);
    m_durations =
        new QCheckBox(QStringLiteral("Write the &durations in ticks beside it (NAME.txt)"), this);
    m_durations->setObjectName(QStringLiteral("chkDurations"));
    m_durations->setChecked(choices.DurationTable);

    m_preview = new QLabel(this);
    m_preview->setObjectName(QStringLiteral("lblPreview"));
    m_preview->setFrameStyle(QFrame::Box | QFrame::Plain);
    m_preview->setFixedSize(FrameWidth * PreviewScale + 2, FrameHeight * PreviewScale + 2);
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("lblSummary"));
    m_summary->setWordWrap(true);
    m_summary->setMinimumWidth(FrameWidth * PreviewScale);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Format:"), m_format);
    form->addRow(QStringLiteral("&Scale:"), m_scale);
    auto* colourLabel = new QLabel(QStringLiteral("C&olours:"), this);
    colourLabel->setBuddy(m_colourPreset);
    form->addRow(colourLabel, colourRow);
    form->addRow(QStringLiteral("Sheet &columns:"), m_columns);
    form->addRow(m_rotate);
    form->addRow(m_durations);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("btnbxExport"));
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&Export..."));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_preview, 0, Qt::AlignHCenter);
    layout->addWidget(m_summary);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_format, &QComboBox::currentIndexChanged, this, [this] { Refresh(); });
    connect(m_scale, &QSpinBox::valueChanged, this, [this] { Refresh(); });
    connect(m_columns, &QSpinBox::valueChanged, this, [this] { Refresh(); });
    connect(m_rotate, &QCheckBox::toggled, this, [this] { Refresh(); });
    connect(m_durations, &QCheckBox::toggled, this, [this] { Refresh(); });
    connect(m_colourPreset, &QComboBox::activated, this, [this] { cmbbxColoursChange(); });
    connect(m_litButton, &QPushButton::clicked, this, [this] { btnLitColourClick(); });
    connect(m_unlitButton, &QPushButton::clicked, this, [this] { btnUnlitColourClick(); });
    ShowColours();
}

TExportChoices TfrmExportAnimation::Choices() const {
    TExportChoices choices;
    choices.Format = static_cast<TExportFormat>(m_format->currentIndex());
    choices.Scale = m_scale->value();
    choices.Colours = m_colours;
    choices.Columns = m_columns->value();
    choices.Rotate180 = m_rotate->isChecked();
    choices.DurationTable = m_durations->isChecked();
    choices.Folder = m_folder;
    return choices;
}

void TfrmExportAnimation::cmbbxColoursChange() {
    switch (m_colourPreset->currentIndex()) {
    case PresetBlackOnWhite:
        m_colours = BlackOnWhite;
        break;
    case PresetLCD:
        m_colours = LCDColours;
        break;
    default:
        break; // Custom keeps the colours until a button changes one.
    }
    ShowColours();
}

void TfrmExportAnimation::btnLitColourClick() {
    if (const auto colour = ChooseColour(QColor(m_colours.Lit), QStringLiteral("Lit Dots")))
        m_colours.Lit = colour->rgb();
    ShowColours();
}

void TfrmExportAnimation::btnUnlitColourClick() {
    if (const auto colour = ChooseColour(QColor(m_colours.Unlit), QStringLiteral("Unlit Dots")))
        m_colours.Unlit = colour->rgb();
    ShowColours();
}

void TfrmExportAnimation::ShowColours() {
    const int preset = m_colours == BlackOnWhite ? PresetBlackOnWhite
                       : m_colours == LCDColours ? PresetLCD
                                                 : PresetCustom;
    m_colourPreset->setCurrentIndex(preset);
    m_litButton->setIcon(Swatch(m_colours.Lit));
    m_unlitButton->setIcon(Swatch(m_colours.Unlit));
    Refresh();
}

void TfrmExportAnimation::Refresh() {
    const auto format = static_cast<TExportFormat>(m_format->currentIndex());
    const bool picture = format != TExportFormat::CHeader && format != TExportFormat::Binary;
    m_scale->setEnabled(picture);
    m_colourPreset->setEnabled(picture);
    m_litButton->setEnabled(picture);
    m_unlitButton->setEnabled(picture);
    m_columns->setEnabled(format == TExportFormat::PngSheet);
    // The other formats carry their timing inside, or have none to go with.
    m_durations->setEnabled(format == TExportFormat::Binary);
    if (m_animation.IsValidIndex(m_previewFrame)) {
        const TExportColours colours = picture ? m_colours : BlackOnWhite;
        const FramePixels& pixels = m_animation.Frame(m_previewFrame).Pixels;
        m_preview->setPixmap(QPixmap::fromImage(RenderFrame(
            m_rotate->isChecked() ? TurnedUpsideDown(pixels) : pixels, PreviewScale, colours)));
    }
    m_summary->setText(Summary());
}

QString TfrmExportAnimation::Summary() const {
    const int count = m_animation.FrameCount();
    const auto counted = [count](const char* one, const char* many) {
        return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
    };
    const QString frames = counted("frame", "frames");
    const int scale = m_scale->value();
    const QString size =
        QStringLiteral("%1 x %2 pixels").arg(FrameWidth * scale).arg(FrameHeight * scale);
    switch (static_cast<TExportFormat>(m_format->currentIndex())) {
    case TExportFormat::Gif: {
        long long ms = 0;
        for (int i = 0; i < count; ++i)
            ms += std::max<int>(m_animation.Frame(i).Duration(), 1) * (1000 / m_fps);
        return QStringLiteral("%1 of %2, %3 seconds at %4 ticks a second; %5.")
            .arg(frames, size)
            .arg(static_cast<double>(ms) / 1000.0, 0, 'f', 2)
            .arg(m_fps)
            .arg(Repeats(m_animation.RepeatCount));
    }
    case TExportFormat::PngSheet: {
        const int columns =
            m_columns->value() > 0 ? std::min(m_columns->value(), count) : std::max(count, 1);
        const int rows = (count + columns - 1) / columns;
        return QStringLiteral("One picture of %1 x %2 pixels: %3 in %4 row(s) of %5.")
            .arg(FrameWidth * scale * columns)
            .arg(FrameHeight * scale * rows)
            .arg(frames)
            .arg(rows)
            .arg(columns);
    }
    case TExportFormat::PngFrames:
        return QStringLiteral("%1 of %2, named NAME_000.png, NAME_001.png and so on.")
            .arg(counted("picture", "pictures"), size);
    case TExportFormat::Binary:
        return QStringLiteral("%1 of 192 bytes, %2 bytes and nothing else%3.")
            .arg(frames)
            .arg(count * PackedFrameBytes)
            .arg(m_durations->isChecked()
                     ? QStringLiteral("; their durations in ticks in NAME.txt, one a line")
                     : QString());
    case TExportFormat::CHeader:
        break;
    }
    return QStringLiteral("%1 of 192 bytes with their durations in ticks, for C or C++.")
        .arg(frames);
}

} // namespace vistrel
