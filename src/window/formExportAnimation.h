#pragma once

#include "exportChoices.h"

#include <QDialog>
#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace vistrel {

class TAnimation;

// The Export Animation dialog: format, scale, dot colours, the sheet's
// columns, turning the frames upside down and a binary's duration table, with a preview of a frame
// in the chosen colours and the size of what will be written.
class TfrmExportAnimation : public QDialog {
    Q_OBJECT

public:
    // Colour presets of cmbbxColours, in its order.
    enum ColourPreset { PresetBlackOnWhite = 0, PresetLCD = 1, PresetCustom = 2 };

    // previewFrame: the frame shown in the preview; fps: ticks per second, for
    // the length the summary gives.
    TfrmExportAnimation(const TExportChoices& choices, const TAnimation& animation,
                        int previewFrame, int fps, QWidget* parent = nullptr);

    // The choices as the dialog shows them now (the folder passed through).
    TExportChoices Choices() const;

    // Asks for a dot colour; the colour dialog unless tests put in their own.
    std::function<std::optional<QColor>(const QColor& initial, const QString& title)> ChooseColour;

    void cmbbxColoursChange();
    void btnLitColourClick();
    void btnUnlitColourClick();

private:
    void ShowColours();
    void Refresh();
    QString Summary() const;

    const TAnimation& m_animation;
    const int m_previewFrame;
    const int m_fps;
    QString m_folder;
    TExportColours m_colours;

    QComboBox* m_format = nullptr;
    QSpinBox* m_scale = nullptr;
    QComboBox* m_colourPreset = nullptr;
    QPushButton* m_litButton = nullptr;
    QPushButton* m_unlitButton = nullptr;
    QSpinBox* m_columns = nullptr;
    QCheckBox* m_rotate = nullptr;
    QCheckBox* m_durations = nullptr;
    QLabel* m_preview = nullptr;
    QLabel* m_summary = nullptr;
};

} // namespace vistrel
