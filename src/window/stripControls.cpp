#include "stripControls.h"

#include <QKeyEvent>
#include <QRegularExpressionValidator>
#include <QToolButton>
#include <algorithm>

namespace vistrel {

// ---------------------------------------------------------------------------
// TUpDown

TUpDown::TUpDown(QWidget* parent) : QWidget(parent) {
    m_up = new QToolButton(this);
    m_down = new QToolButton(this);
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    for (QToolButton* button : {m_up, m_down}) {
        button->setFocusPolicy(Qt::NoFocus);
        // Holding an arrow keeps stepping, one click at a time.
        button->setAutoRepeat(true);
    }
    connect(m_up, &QToolButton::clicked, this, [this] { Step(+1); });
    connect(m_down, &QToolButton::clicked, this, [this] { Step(-1); });
}

void TUpDown::SetPosition(int value) {
    m_position = std::clamp(value, Minimum, Maximum);
}

void TUpDown::Step(int step) {
    int next = m_position + step;
    if (next > Maximum)
        next = Minimum;
    else if (next < Minimum)
        next = Maximum;
    m_position = next;
    emit Clicked(step);
}

void TUpDown::resizeEvent(QResizeEvent*) {
    const int upHeight = height() / 2;
    m_up->setGeometry(0, 0, width(), upHeight);
    m_down->setGeometry(0, upHeight, width(), height() - upHeight);
}

// ---------------------------------------------------------------------------
// TDurationEdit

TDurationEdit::TDurationEdit(QWidget* parent) : QLineEdit(parent) {
    // Typed or pasted, anything but digits is refused; Backspace and the
    // cursor keys still work.
    setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));
}

bool TDurationEdit::event(QEvent* event) {
    // Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z are the window's Undo and Redo of the
    // document, also while a duration is being typed: the box lets them pass,
    // so that they take back the typing as one step.
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QKeyCombination combination = key->keyCombination();
        if (combination == QKeyCombination(Qt::ControlModifier, Qt::Key_Z) ||
            combination == QKeyCombination(Qt::ControlModifier, Qt::Key_Y) ||
            combination == QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z)) {
            event->ignore();
            return true;
        }
    }
    return QLineEdit::event(event);
}

void TDurationEdit::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        emit EnterPressed();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

} // namespace vistrel
