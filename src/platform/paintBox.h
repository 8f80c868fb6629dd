#pragma once

#include <QWidget>
#include <functional>

namespace vistrel {

// A plain surface whose picture is drawn by its owner: the paint event calls
// OnPaint, which holds the owner's paint handler; mouse events go to the
// owner's handlers the same way.
class TPaintBox : public QWidget {
public:
    using PaintHandler = std::function<void(QPainter& painter)>;
    using MouseHandler = std::function<void(QMouseEvent& event)>;

    explicit TPaintBox(QWidget* parent = nullptr) : QWidget(parent) {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

    PaintHandler OnPaint;
    MouseHandler OnMouseDown;
    MouseHandler OnMouseMove;
    MouseHandler OnMouseUp;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace vistrel
