#pragma once

#include <QLineEdit>
#include <QWidget>

class QToolButton;

namespace vistrel {

// The arrows beside a duration edit. An up-down control: it keeps its own
// position, steps it by one per click (wrapping at the ends) and only then
// reports the click, so the owner sees the stepped value.
class TUpDown : public QWidget {
    Q_OBJECT

public:
    static constexpr int Minimum = 1;
    static constexpr int Maximum = 255;

    explicit TUpDown(QWidget* parent = nullptr);

    int Position() const { return m_position; }
    // Out-of-range values are brought into [Minimum, Maximum].
    void SetPosition(int value);

    QToolButton* UpButton() const { return m_up; }
    QToolButton* DownButton() const { return m_down; }

signals:
    // An arrow was clicked; Position() has already moved by step (+1 or -1).
    void Clicked(int step);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Step(int step);

    int m_position = Minimum;
    QToolButton* m_up = nullptr;
    QToolButton* m_down = nullptr;
};

// A duration edit: digits and Backspace only, and Enter gives the keyboard back
// to the window instead of being typed.
class TDurationEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit TDurationEdit(QWidget* parent = nullptr);

signals:
    void EnterPressed();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace vistrel
