#pragma once

#include "toolStateMachine.h"

#include <QWidget>

class QButtonGroup;
class QToolButton;

namespace vistrel {

// The Frame page's tool bar (pnlFrameToolBar): ten tool buttons of which exactly
// one is down, each with its own picture and hint, and the Invert button.
class TEditorToolBar : public QWidget {
    Q_OBJECT

public:
    static constexpr int Width = 58;
    static constexpr int ButtonSize = 25;

    explicit TEditorToolBar(QWidget* parent = nullptr);

    QToolButton* Button(TTool tool) const;
    TTool DownTool() const;
    // Puts a tool's button down without clicking it.
    void PutDown(TTool tool);

signals:
    // Every click of a tool button, also of the one already down.
    void ToolClicked(TTool tool);
    void InvertClicked();

private:
    QButtonGroup* m_group = nullptr;
    QToolButton* m_invert = nullptr;
};

// The picture of a tool's button, drawn at the given size.
QIcon ToolIcon(TTool tool, int size);

} // namespace vistrel
