#pragma once

#include "toolStateMachine.h"

#include <QWidget>
#include <optional>

class QAction;
class QButtonGroup;
class QToolButton;

namespace vistrel {

// The Frame page's tool bar (pnlFrameToolBar): ten tool buttons of which exactly
// one is down, each with its own picture and a hint that names its key, the
// Invert button, and the indicator of which mouse button draws black.
class TEditorToolBar : public QWidget {
    Q_OBJECT

public:
    static constexpr int Width = 58;
    static constexpr int ButtonSize = 25;
    static constexpr int IconSize = 16;

    explicit TEditorToolBar(QWidget* parent = nullptr);

    QToolButton* Button(TTool tool) const;
    TTool DownTool() const;
    // Puts a tool's button down without clicking it.
    void PutDown(TTool tool);
    // Shows whether the buttons are swapped: the right one draws black.
    void ShowButtonsSwapped(bool swapped);
    bool ShowsButtonsSwapped() const;
    // The Onion Skin button under Invert takes on the action's state and runs
    // it; the action gets the button's picture.
    void AttachOnionSkin(QAction* action);
    QToolButton* OnionSkinButton() const { return m_onionSkin; }

signals:
    // Every click of a tool button, also of the one already down.
    void ToolClicked(TTool tool);
    void InvertClicked();
    void SwapClicked();

private:
    QButtonGroup* m_group = nullptr;
    QToolButton* m_invert = nullptr;
    QToolButton* m_swap = nullptr; // imgSwapColors
    QToolButton* m_onionSkin = nullptr;
};

// The tool a key picks on the Frame page (B Pen, Shift+R Filled Rectangle, ...);
// nothing for any other key or with Ctrl, Alt or Meta held.
std::optional<TTool> ToolForKey(int key, Qt::KeyboardModifiers modifiers);

// The picture of a tool's button, painted at the size it is shown.
QIcon ToolIcon(TTool tool);
QImage PaintToolGlyph(TTool tool, int size);

} // namespace vistrel
