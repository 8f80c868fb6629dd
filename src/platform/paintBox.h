#pragma once

#include <QWidget>
#include <functional>

namespace vistrel {

// A plain surface whose picture is drawn by its owner: the paint event calls
// OnPaint, which holds the owner's paint handler.
class TPaintBox : public QWidget {
public:
    using PaintHandler = std::function<void(QPainter& painter)>;

    explicit TPaintBox(QWidget* parent = nullptr) : QWidget(parent) {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

    PaintHandler OnPaint;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace vistrel
