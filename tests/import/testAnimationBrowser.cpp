#include "animationBrowser.h"
#include "animationImport.h"
#include "animationSourceFactory.h"
#include "unitImportFrame.h"

#include <gtest/gtest.h>
#include <vector>

using namespace vistrel;

namespace {

QString DataFile(const char* name) {
    return QStringLiteral(VISTREL_TEST_DATA "/") + QString::fromLatin1(name);
}

std::vector<TSourceFrame> ReadAll(const char* name) {
    QString reason;
    const auto source = OpenAnimationSource(DataFile(name), false, &reason);
    EXPECT_TRUE(source) << reason.toStdString();
    std::vector<TSourceFrame> frames;
    TSourceFrame frame;
    while (source && source->Next(frame))
        frames.push_back(frame);
    return frames;
}

std::unique_ptr<TAnimationBrowser> Browse(const char* name, int fps = 12) {
    QString reason;
    auto browser = TAnimationBrowser::Open(DataFile(name), false, fps, &reason);
    EXPECT_TRUE(browser) << reason.toStdString();
    return browser;
}

FramePixels Dithered(const QImage& picture, const TAnimationImportOptions& options) {
    TImportFrame importer;
    importer.SetScale(options.Scale);
    importer.SetMethod(options.Method);
    importer.SetThreshold(options.Threshold);
    importer.SetPicture(picture);
    importer.MoveWindowTo(options.Window);
    return importer.OutputPixels();
}

// What Insert All makes of the browser's range, unmerged, against each
// position's preview dithered alone: the part taken is the part previewed.
void ExpectRangeIsWhatWasPreviewed(const char* name, TAnimationBrowser& browser, int first,
                                   int last) {
    SCOPED_TRACE(name);
    browser.SetStart(first);
    browser.SetEnd(last);
    TAnimationImportOptions options;
    options.Scale = 50;
    options.Window = {3, 2};
    options.Merge = false;
    options.Start = browser.RangeStart();
    options.End = browser.RangeEnd();
    QString reason;
    const auto source = OpenAnimationSource(DataFile(name), false, &reason);
    ASSERT_TRUE(source);
    const TAnimationImportResult result = TAnimationImport(options).Run(*source);
    ASSERT_TRUE(result.Error.isEmpty()) << result.Error.toStdString();
    ASSERT_EQ(static_cast<int>(result.Frames.size()), last - first + 1);
    for (int p = first; p <= last; ++p)
        EXPECT_EQ(result.Frames[p - first].Pixels, Dithered(browser.PictureAt(p), options))
            << "position " << p;
}

} // namespace

TEST(AnAnimationBrowser, StepsThroughAnAnimationFrameByFrameBothWays) {
    const std::vector<TSourceFrame> frames = ReadAll("four-frames.gif");
    ASSERT_EQ(frames.size(), 4u);
    const auto browser = Browse("four-frames.gif");
    ASSERT_TRUE(browser);
    EXPECT_FALSE(browser->ByTime());
    EXPECT_EQ(browser->Positions(), 4);
    EXPECT_EQ(browser->Summary(), "4 frames, 0.5 s");
    EXPECT_EQ(browser->PositionText(3), "frame 4"); // not read yet: no time
    for (const int p : {0, 2, 3, 1, 1, 0, 3})
        EXPECT_EQ(browser->PictureAt(p), frames[p].Picture) << "position " << p;
    EXPECT_EQ(browser->PositionText(2), "frame 3, 0.20 s");
    EXPECT_EQ(browser->PositionText(9), "frame 4, 0.30 s"); // held to the last frame
}

TEST(AnAnimationBrowser, StepsThroughAClipTickByTick) {
    for (const char* name : {"movingSquare.mp4", "movingSquare.ts"}) {
        SCOPED_TRACE(name);
        const std::vector<TSourceFrame> frames = ReadAll(name);
        ASSERT_EQ(frames.size(), 10u); // 100 ms each
        const auto browser = Browse(name, 12);
        ASSERT_TRUE(browser);
        EXPECT_TRUE(browser->ByTime());
        EXPECT_EQ(browser->Positions(), 12);
        // The stream does not say how many frames it holds.
        EXPECT_EQ(browser->Summary(), name[13] == 'm' ? "10 frames, 1.0 s" : "1.0 s");
        // Tick p shows the frame on show at p/12 s.
        for (const int p : {0, 5, 6, 11, 2, 3, 0})
            EXPECT_EQ(browser->PictureAt(p), frames[p * 1000 / 12 / 100].Picture) << "tick " << p;
        EXPECT_EQ(browser->PositionText(6), "0.50 s");
        EXPECT_EQ(browser->RangeText(), "Take 0.00 s to 1.00 s");
        browser->SetStart(3);
        browser->SetEnd(5); // ticks 3, 4 and 5: from 0.25 s to 0.5 s
        EXPECT_EQ(browser->RangeText(), "Take 0.25 s to 0.50 s");
    }
}

TEST(AnAnimationBrowser, KeepsTheRangeInOrderAndHandsItToTheImporter) {
    const auto browser = Browse("four-frames.gif");
    ASSERT_TRUE(browser);
    // The whole source is open at both ends.
    EXPECT_EQ(browser->Start(), 0);
    EXPECT_EQ(browser->End(), 3);
    EXPECT_EQ(browser->RangeStart().Is, TRangeEnd::Open);
    EXPECT_EQ(browser->RangeEnd().Is, TRangeEnd::Open);
    browser->SetStart(2);
    browser->SetEnd(1); // before the start: the start follows
    EXPECT_EQ(browser->Start(), 1);
    EXPECT_EQ(browser->End(), 1);
    browser->SetStart(3); // after the end: the end follows
    EXPECT_EQ(browser->End(), 3);
    browser->SetEnd(-5);
    EXPECT_EQ(browser->Start(), 0);
    EXPECT_EQ(browser->End(), 0);

    ExpectRangeIsWhatWasPreviewed("four-frames.gif", *browser, 1, 2);
    ExpectRangeIsWhatWasPreviewed("four-frames.gif", *browser, 0, 3);
    const auto clip = Browse("movingSquare.mp4", 12);
    ASSERT_TRUE(clip);
    ExpectRangeIsWhatWasPreviewed("movingSquare.mp4", *clip, 3, 7);
    ExpectRangeIsWhatWasPreviewed("movingSquare.mp4", *clip, 0, 4);
    ExpectRangeIsWhatWasPreviewed("movingSquare.mp4", *clip, 9, 11);
}

namespace {

// 300 frames of 100 ms, frame k a 1 x 1 picture of grey k % 256 and k / 256 in
// red, counting how it is read.
class TCountingSource final : public IAnimationSource {
public:
    explicit TCountingSource(bool sampled) : m_sampled(sampled) {}
    static constexpr int Frames = 300;

    int FrameCount() const override { return m_sampled ? -1 : Frames; }
    qint64 LengthMs() const override { return Frames * 100; }
    int LoopCount() const override { return -1; }
    QSize Size() const override { return {1, 1}; }
    bool Sampled() const override { return m_sampled; }
    bool Next(TSourceFrame& frame) override {
        if (m_next == Frames)
            return false;
        frame.Picture = Picture(m_next);
        frame.StartMs = 100 * m_next;
        frame.DurationMs = 100;
        ++m_next;
        ++reads;
        return true;
    }
    QString Error() const override { return {}; }
    int FramesRead() const override { return m_next; }
    bool Rewind() override {
        m_next = 0;
        ++rewinds;
        return true;
    }

    static QImage Picture(int k) {
        QImage picture(1, 1, QImage::Format_RGB32);
        picture.setPixel(0, 0, qRgb(k / 256, k % 256, k % 256));
        return picture;
    }

    int reads = 0;
    int rewinds = 0;

private:
    bool m_sampled;
    int m_next = 0;
};

} // namespace

// Sliding forward reads each frame once; stepping back a little reads nothing
// again; only going back further than the frames kept starts over.
TEST(AnAnimationBrowser, ReadsForwardAndStartsOverOnlyWhenGoingBackBeyondWhatItKeeps) {
    for (const bool sampled : {false, true}) {
        SCOPED_TRACE(sampled ? "clip, a tick a frame" : "animation");
        auto owned = std::make_unique<TCountingSource>(sampled);
        TCountingSource& source = *owned;
        TAnimationBrowser browser(std::move(owned), 10);
        ASSERT_EQ(browser.Positions(), TCountingSource::Frames);
        const auto shows = [&](int position) {
            return browser.PictureAt(position) == TCountingSource::Picture(position);
        };
        for (int p = 0; p < 250; p += 7)
            ASSERT_TRUE(shows(p)) << p;
        EXPECT_TRUE(shows(250));
        const int reads = source.reads;
        EXPECT_LE(reads, 252); // a clip reads one frame ahead
        for (const int p : {249, 240, 200, 251})
            EXPECT_TRUE(shows(p)) << p;
        EXPECT_EQ(source.rewinds, 0);
        EXPECT_LE(source.reads, reads + 1);

        EXPECT_TRUE(shows(5));
        EXPECT_EQ(source.rewinds, 1);
        EXPECT_TRUE(shows(299));
        EXPECT_TRUE(shows(0));
        EXPECT_EQ(source.rewinds, 2);
    }
}
