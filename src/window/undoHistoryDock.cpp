#include "undoHistoryDock.h"

#include <QAction>
#include <QUndoView>

namespace vistrel {

TUndoHistoryDock::TUndoHistoryDock(QUndoStack& history, QWidget* parent)
    : QDockWidget(tr("Undo History"), parent), m_view(new QUndoView(&history, this)) {
    setObjectName(QStringLiteral("dckUndoHistory"));
    setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    // The row before the first step: the document as it was opened or begun.
    m_view->setEmptyLabel(tr("<Start>"));
    // Wide enough for the names of the steps and the window's title.
    setMinimumWidth(
        fontMetrics().horizontalAdvance(QStringLiteral("Undo History Filled Rectangle")));
    m_view->setObjectName(QStringLiteral("lstUndoHistory"));
    setWidget(m_view);
    toggleViewAction()->setText(ItemText());
}

} // namespace vistrel
