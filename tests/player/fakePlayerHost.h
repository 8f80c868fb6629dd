#pragma once

#include "modelFixtures.h"
#include "playerHost.h"
#include "unitAnimation.h"
#include "unitPreferences.h"

#include <QImage>
#include <QTemporaryDir>

namespace vistrel::testing {

// The window's side of the Player page: a real animation, the range selection
// as plain fields, a white work picture and default preferences over an INI
// file that does not exist.
class FakePlayerHost : public IPlayerHost {
public:
    TAnimation animation;
    bool multipleSel = false;
    int selFirst = 0;
    int selLast = 0;
    QImage workBitmap{FrameWidth, FrameHeight, QImage::Format_RGB32};

    FakePlayerHost() : m_preferences(m_folder.filePath("VISTREL.INI"), QSize(640, 480)) {
        workBitmap.fill(Qt::white);
    }

    TAnimation& Animation() override { return animation; }
    bool MultipleSel() const override { return multipleSel; }
    int SelFirst() const override { return selFirst; }
    int SelLast() const override { return selLast; }
    const QImage& WorkBitmap() const override { return workBitmap; }
    TVMUPreferences& Preferences() override { return m_preferences; }

private:
    QTemporaryDir m_folder;
    TVMUPreferences m_preferences;
};

} // namespace vistrel::testing
