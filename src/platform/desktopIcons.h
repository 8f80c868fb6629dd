#pragma once

#include <QIcon>
#include <QImage>

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
// The same picture as PNG bytes, painted once per run and size.
QByteArray DesktopIconPng(TDesktopIcon icon, int size);
// Every installed size of the icon in one QIcon.
QIcon DesktopIcon(TDesktopIcon icon);

} // namespace vistrel
