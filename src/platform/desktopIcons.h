#pragma once

#include <QIcon>
#include <QImage>
#include <QList>
#include <functional>

namespace vistrel {

// The program's own pictures for the desktop: its icon and the icons of the
// documents it opens, painted at any size so every size stays sharp.
enum class TDesktopIcon {
    Program,       // the window, task bars and application entries
    Animation,     // LCD animations and memory card files
    AnimationInfo, // memory card information files
};

// The sizes written into icon themes, smallest first.
inline constexpr int DesktopIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

QImage PaintDesktopIcon(TDesktopIcon icon, int size);
// An icon painted the first time it is shown at a size, at that size; its
// disabled and other looks are made from that picture as for any icon. sizes:
// the sizes it names as its own (a window's icon is handed over in those).
QIcon IconPaintedOnDemand(std::function<QImage(int size)> paint, QList<int> sizes);
// The same picture as PNG bytes, painted once per run and size.
QByteArray DesktopIconPng(TDesktopIcon icon, int size);
// The icon at every installed size, each painted when first shown.
QIcon DesktopIcon(TDesktopIcon icon);

} // namespace vistrel
