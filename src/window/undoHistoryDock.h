#pragma once

#include <QDockWidget>

class QUndoStack;
class QUndoView;

namespace vistrel {

// The "Undo History" window: every step of the document's history by name,
// the present one highlighted; clicking a step undoes or redoes up to it.
// View > Undo History shows and hides it; it docks at either side.
class TUndoHistoryDock : public QDockWidget {
    Q_OBJECT

public:
    TUndoHistoryDock(QUndoStack& history, QWidget* parent = nullptr);

    QUndoView& View() { return *m_view; }
    // The View menu's item for it.
    static QString ItemText() { return tr("Undo &History"); }

private:
    QUndoView* m_view;
};

} // namespace vistrel
