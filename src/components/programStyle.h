#pragma once

#include <QProxyStyle>

namespace vistrel {

// The system's style as it is, except that the pictures of the buttons Qt keeps
// ready but rarely shows (the menu bar's overflow arrow, a docked window's float
// and close buttons) are read from Qt's resources when first shown. Reading the
// first picture file of a run loads every image plugin to ask which one reads
// it: that is better paid when a dialog or an import first needs a picture than
// on the way to the first window.
class TProgramStyle : public QProxyStyle {
    Q_OBJECT

public:
    // key: the style to follow, as QStyleFactory names it.
    explicit TProgramStyle(const QString& key);

    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
};

} // namespace vistrel
