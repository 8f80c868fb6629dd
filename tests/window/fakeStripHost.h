#pragma once

#include "frameStripHost.h"
#include "unitAnimation.h"

#include <QApplication>
#include <QImage>
#include <QWidget>
#include <utility>
#include <vector>

namespace vistrel::testing {

// The window's side of the frame strip over a real animation: it keeps the
// current frame and the range as plain fields and records what the strip asked
// of it.
class FakeStripHost : public IFrameStripHost {
public:
    TAnimation animation;
    int curFrame = -1;
    bool multipleSel = false;
    int selFirst = 0;
    int selLast = 0;
    bool modified = false;
    QImage workBitmap{FrameWidth, FrameHeight, QImage::Format_RGB32};

    std::vector<int> curFrameCalls;
    std::vector<std::pair<int, QPoint>> popups;
    int timePanelRefreshes = 0;
    int caretEnds = 0;
    int focusReleases = 0;

    FakeStripHost() { workBitmap.fill(Qt::white); }

    void ForgetCalls() {
        curFrameCalls.clear();
        popups.clear();
        timePanelRefreshes = 0;
        caretEnds = 0;
        focusReleases = 0;
    }

    TAnimation& Animation() override { return animation; }
    int CurFrame() const override { return curFrame; }
    void SetCurFrame(int index) override {
        curFrameCalls.push_back(index);
        curFrame = index;
    }
    bool MultipleSel() const override { return multipleSel; }
    void SetMultipleSel(bool value) override { multipleSel = value; }
    int SelFirst() const override { return selFirst; }
    int SelLast() const override { return selLast; }
    void SetSelRange(int first, int last) override {
        selFirst = first;
        selLast = last;
    }
    const QImage& WorkBitmap() const override { return workBitmap; }
    void SetModified(bool value) override { modified = value; }
    void RefreshTimePanels() override { ++timePanelRefreshes; }
    void EndTextCaret() override { ++caretEnds; }
    void PopupFrameMenu(int frame, QPoint globalPosition) override {
        popups.emplace_back(frame, globalPosition);
    }
    void ReleaseKeyboardFocus() override {
        ++focusReleases;
        if (QWidget* focused = QApplication::focusWidget())
            focused->clearFocus();
    }
};

} // namespace vistrel::testing
