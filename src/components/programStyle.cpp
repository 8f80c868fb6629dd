#include "programStyle.h"

#include <QIconEngine>
#include <QPainter>
#include <QPointer>
#include <QStyleOption>
#include <QWidget>
#include <functional>
#include <optional>

namespace vistrel {

namespace {

// An icon that asks for its real picture the first time anything wants to know
// more than that it is there.
class TDeferredIconEngine : public QIconEngine {
public:
    explicit TDeferredIconEngine(std::function<QIcon()> make) : m_make(std::move(make)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        Icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return Icon().actualSize(size, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return Icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        return Icon().pixmap(size, scale, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return Icon().availableSizes(mode, state);
    }
    // The style's pictures for these buttons are always there.
    bool isNull() override { return false; }
    QString key() const override { return QStringLiteral("TDeferredIconEngine"); }
    QIconEngine* clone() const override { return new TDeferredIconEngine(*this); }

private:
    TDeferredIconEngine(const TDeferredIconEngine& other) = default;

    QIcon& Icon() {
        if (!m_icon)
            m_icon = m_make();
        return *m_icon;
    }

    std::function<QIcon()> m_make;
    std::optional<QIcon> m_icon;
};

bool ReadFromResources(QStyle::StandardPixmap standardIcon) {
    switch (standardIcon) {
    case QStyle::SP_ToolBarHorizontalExtensionButton:
    case QStyle::SP_ToolBarVerticalExtensionButton:
    case QStyle::SP_TitleBarNormalButton:
    case QStyle::SP_TitleBarCloseButton:
        return true;
    default:
        return false;
    }
}

} // namespace

TProgramStyle::TProgramStyle(const QString& key) : QProxyStyle(key) {}

QIcon TProgramStyle::standardIcon(StandardPixmap standardIcon, const QStyleOption* option,
                                  const QWidget* widget) const {
    if (!ReadFromResources(standardIcon))
        return QProxyStyle::standardIcon(standardIcon, option, widget);
    // The option lives only for this call; of it, these pictures depend on the
    // direction alone (an arrow pointing the other way right to left).
    QStyleOption kept;
    if (option != nullptr)
        kept.direction = option->direction;
    else if (widget != nullptr)
        kept.direction = widget->layoutDirection();
    return QIcon(new TDeferredIconEngine(
        [style = QPointer<const QStyle>(baseStyle()), standardIcon, kept]() -> QIcon {
            return style ? style->standardIcon(standardIcon, &kept) : QIcon();
        }));
}

} // namespace vistrel
