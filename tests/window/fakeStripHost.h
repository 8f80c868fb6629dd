#pragma once

#include "document.h"
#include "frameStripHost.h"

#include <QApplication>
#include <QImage>
#include <QWidget>
#include <utility>
#include <vector>

namespace vistrel::testing {

// The window's side of the frame strip over a real document: going to a frame
// only makes it current, and what the strip asked of the window is recorded.
class FakeStripHost : public IFrameStripHost {
public:
    TDocument document;
    TAnimation& animation = document.Animation();
    QImage workBitmap{FrameWidth, FrameHeight, QImage::Format_RGB32};

    std::vector<int> curFrameCalls;
    std::vector<std::pair<int, QPoint>> popups;
    int timePanelRefreshes = 0;
    int caretEnds = 0;
    int focusReleases = 0;
    int framesChangesAhead = 0;     // BeforeFramesChange
    std::vector<int> storedCurrent; // CurFrame at each StoreCurrentFrame

    FakeStripHost() {
        document.SetCurFrame(-1);
        workBitmap.fill(Qt::white);
    }

    void ForgetCalls() {
        curFrameCalls.clear();
        popups.clear();
        timePanelRefreshes = 0;
        caretEnds = 0;
        focusReleases = 0;
        framesChangesAhead = 0;
        storedCurrent.clear();
    }

    TDocument& Document() override { return document; }
    void SetCurFrame(int index) override {
        curFrameCalls.push_back(index);
        document.SetCurFrame(index);
    }
    const QImage& WorkBitmap() const override { return workBitmap; }
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
    void BeforeFramesChange() override { ++framesChangesAhead; }
    void StoreCurrentFrame() override { storedCurrent.push_back(document.CurFrame()); }
};

} // namespace vistrel::testing
