#pragma once

#include "document.h"
#include "modelFixtures.h"
#include "playerHost.h"
#include "unitAnimation.h"
#include "unitPreferences.h"

#include <QImage>
#include <QTemporaryDir>

namespace vistrel::testing {

// The window's side of the Player page: a real document, a white work picture
// and default preferences over an INI file that does not exist. The tests set
// the range selection as plain fields; the page reads it through the document,
// which takes them whenever the page asks for it.
class FakePlayerHost : public IPlayerHost {
public:
    TDocument document;
    TAnimation& animation = document.Animation();
    bool multipleSel = false;
    int selFirst = 0;
    int selLast = 0;
    QImage workBitmap{FrameWidth, FrameHeight, QImage::Format_RGB32};

    FakePlayerHost() : m_preferences(m_folder.filePath("VISTREL.INI"), QSize(640, 480)) {
        workBitmap.fill(Qt::white);
    }

    TDocument& Document() override {
        document.SetMultipleSel(multipleSel);
        document.SetSelRange(selFirst, selLast);
        return document;
    }
    const QImage& WorkBitmap() const override { return workBitmap; }
    TVMUPreferences& Preferences() override { return m_preferences; }

private:
    QTemporaryDir m_folder;
    TVMUPreferences m_preferences;
};

} // namespace vistrel::testing
