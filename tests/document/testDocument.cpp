#include "document.h"
#include "modelFixtures.h"
#include "undoCommands.h"

#include <QSignalSpy>
#include <functional>
#include <gtest/gtest.h>

namespace vistrel {
namespace {

using testing::FillAnimation;
using testing::Marker;

// A 48 x 32 picture with only pixel (x, y) lit.
QImage PictureWithPixel(int x, int y) {
    QImage picture(FrameWidth, FrameHeight, QImage::Format_RGB32);
    picture.fill(Qt::white);
    picture.setPixel(x, y, LitColour);
    return picture;
}

struct StateCase {
    const char* name;
    const char* signal;
    std::function<void(TDocument&)> change;
};

TEST(Document, EachStateSignalFiresOncePerChangeAndNeverForASetThatChangesNothing) {
    const StateCase cases[] = {
        {"Modified", SIGNAL(modifiedChanged(bool)), [](TDocument& d) { d.SetModified(true); }},
        {"Closed", SIGNAL(closedChanged(bool)), [](TDocument& d) { d.SetClosed(true); }},
        {"CurFrame", SIGNAL(currentFrameChanged(int, int)), [](TDocument& d) { d.SetCurFrame(2); }},
        {"MultipleSel", SIGNAL(multipleSelChanged(bool)),
         [](TDocument& d) { d.SetMultipleSel(true); }},
        {"FileName", SIGNAL(titleChanged(QString)),
         [](TDocument& d) { d.SetFileName(QStringLiteral("/tmp/walk.lcd")); }},
        {"UntitledNumber", SIGNAL(titleChanged(QString)),
         [](TDocument& d) { d.SetUntitledNumber(4); }},
    };
    for (const StateCase& c : cases) {
        SCOPED_TRACE(c.name);
        TDocument document;
        QSignalSpy spy(&document, c.signal);
        c.change(document);
        c.change(document);
        EXPECT_EQ(spy.count(), 1);
    }
}

TEST(Document, SignalsCarryTheNewStateAndTheFrameLeft) {
    TDocument document;
    QSignalSpy modified(&document, &TDocument::modifiedChanged);
    QSignalSpy frame(&document, &TDocument::currentFrameChanged);
    document.SetModified(true);
    document.MarkClean();
    document.MarkClean();
    ASSERT_EQ(modified.count(), 2);
    EXPECT_TRUE(modified[0][0].toBool());
    EXPECT_FALSE(modified[1][0].toBool());
    EXPECT_FALSE(document.Modified());

    document.SetCurFrame(3);
    document.SetCurFrame(-1);
    ASSERT_EQ(frame.count(), 2);
    EXPECT_EQ(frame[0], (QVariantList{3, 0}));
    EXPECT_EQ(frame[1], (QVariantList{-1, 3}));
    EXPECT_EQ(document.CurFrame(), -1);
}

TEST(Document, TheTitleIsTheUntitledNumberOrTheFileNameWithoutItsFolder) {
    TDocument document;
    QSignalSpy titles(&document, &TDocument::titleChanged);
    EXPECT_EQ(document.Title(), QStringLiteral("Untitled1.lcd"));
    document.SetUntitledNumber(12);
    EXPECT_EQ(document.Title(), QStringLiteral("Untitled12.lcd"));
    document.SetFileName(QStringLiteral("/home/user/cards/walk.lcd"));
    EXPECT_EQ(document.Title(), QStringLiteral("walk.lcd"));
    // Neither a new untitled number behind a file name nor the same name in
    // another folder changes what the title bar shows.
    document.SetUntitledNumber(13);
    document.SetFileName(QStringLiteral("/elsewhere/walk.lcd"));
    EXPECT_EQ(document.FileName(), QStringLiteral("/elsewhere/walk.lcd"));
    document.SetFileName(QString());
    EXPECT_EQ(document.Title(), QStringLiteral("Untitled13.lcd"));
    ASSERT_EQ(titles.count(), 3);
    EXPECT_EQ(titles[0][0].toString(), QStringLiteral("Untitled12.lcd"));
    EXPECT_EQ(titles[1][0].toString(), QStringLiteral("walk.lcd"));
    EXPECT_EQ(titles[2][0].toString(), QStringLiteral("Untitled13.lcd"));
}

TEST(Document, CommitPictureStoresExactlyThePictureIntoTheCurrentFrameOnly) {
    TDocument document;
    FillAnimation(document.Animation(), 4);
    document.SetCurFrame(2);
    QSignalSpy frames(&document, &TDocument::framesChanged);

    document.CommitPicture(PictureWithPixel(47, 31));

    const TAnimation& animation = document.Animation();
    FramePixels expected{};
    expected[static_cast<std::size_t>(PixelIndex(47, 31))] = 1;
    EXPECT_EQ(animation.Frame(2).Pixels, expected);
    EXPECT_TRUE(testing::CellMatchesPixels(animation, 2));
    for (const int other : {0, 1, 3})
        EXPECT_EQ(Marker(animation.Frame(other)), other) << "frame " << other;
    EXPECT_EQ(frames.count(), 1);
    // The same picture again changes no pixel: no one is told.
    document.CommitPicture(PictureWithPixel(47, 31));
    EXPECT_EQ(frames.count(), 1);
}

TEST(Document, CommitPictureWithoutACurrentFrameChangesNothing) {
    for (const int current : {-1, 4}) {
        SCOPED_TRACE(current);
        TDocument document;
        FillAnimation(document.Animation(), 4);
        document.SetCurFrame(current);
        QSignalSpy frames(&document, &TDocument::framesChanged);
        document.CommitPicture(PictureWithPixel(0, 0));
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(Marker(document.Animation().Frame(i)), i);
        EXPECT_EQ(frames.count(), 0);
    }
}

// The autosave follows changed(): it must hear of every edit, also the second
// stroke on an already modified document, and of nothing that leaves the
// content as it was.
TEST(Document, ChangedFiresForEveryEditAndForNothingElse) {
    TDocument document;
    FillAnimation(document.Animation(), 4);
    document.SetCurFrame(1);
    QSignalSpy changed(&document, &TDocument::changed);
    struct Step {
        const char* what;
        std::function<void()> run;
        int expected;
    };
    const Step steps[] = {
        {"first edit", [&] { document.SetModified(true); }, 1},
        {"second edit while modified", [&] { document.SetModified(true); }, 1},
        {"picture that changes pixels", [&] { document.CommitPicture(PictureWithPixel(3, 3)); }, 1},
        {"same picture again", [&] { document.CommitPicture(PictureWithPixel(3, 3)); }, 0},
        {"frames changed directly", [&] { document.NotifyFramesChanged(); }, 1},
        {"save marks clean", [&] { document.MarkClean(); }, 0},
        {"frame chosen", [&] { document.SetCurFrame(2); }, 0},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        changed.clear();
        step.run();
        // Followers only need to hear of a change; hearing twice does no harm.
        EXPECT_EQ(changed.count() > 0, step.expected > 0);
    }
}

// Modified says whether the document differs from its file: it follows the undo
// history back to the step of the last save, and a change the history does not
// hold means no step is the file's content any more.
TEST(Document, ModifiedFollowsTheHistoryToAndFromTheSavedStep) {
    TDocument document;
    FillAnimation(document.Animation(), 2);
    QUndoStack& history = document.UndoStack();
    auto repeat = [&](int count) {
        document.Push(new TRepeatCountCommand(document, static_cast<std::uint8_t>(count)));
    };
    struct Step {
        const char* what;
        std::function<void()> run;
        bool modified;
    };
    const Step steps[] = {
        {"a step", [&] { repeat(3); }, true},
        {"undone back to the file", [&] { history.undo(); }, false},
        {"redone", [&] { history.redo(); }, true},
        {"saved", [&] { document.MarkClean(); }, false},
        {"undone past the save", [&] { history.undo(); }, true},
        {"redone to the save", [&] { history.redo(); }, false},
        {"a change outside the history", [&] { document.SetModified(true); }, true},
        {"no undo reaches the file any more", [&] { history.undo(); }, true},
        {"nor a redo", [&] { history.redo(); }, true},
        {"a new document", [&] { document.ClearHistory(); }, false},
    };
    QSignalSpy modified(&document, &TDocument::modifiedChanged);
    bool expected = false;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        modified.clear();
        step.run();
        EXPECT_EQ(document.Modified(), step.modified);
        EXPECT_EQ(modified.count(), step.modified == expected ? 0 : 1);
        expected = step.modified;
    }
    EXPECT_EQ(history.count(), 0);
}

// A step that holds a given number of bytes and counts how often it ran.
class TSizedStep : public QUndoCommand, public IStepSize {
public:
    TSizedStep(qsizetype bytes, int* runs)
        : QUndoCommand(QStringLiteral("Sized")), m_bytes(bytes), m_runs(runs) {}
    void redo() override { ++*m_runs; }
    void undo() override { --*m_runs; }
    qsizetype HeldBytes() const override { return m_bytes; }

private:
    qsizetype m_bytes;
    int* m_runs;
};

// The history keeps every step while it holds little, drops the oldest only
// past its memory bound and never below the steps always kept, and keeps the
// present and the saved step where they were.
TEST(Document, TheHistoryIsBoundedByMemoryAndKeepsItsPresentAndSavedSteps) {
    constexpr qsizetype Small = 1024;
    constexpr qsizetype Large = 512 * 1024;
    struct Case {
        const char* what;
        int small;      // steps of Small bytes first
        int savedAfter; // the save after this many steps (-1: none)
        int large;      // then steps of Large bytes
        int expectedCount;
    };
    const int min = TDocument::MinUndoSteps;
    const int largeInBound = static_cast<int>(TDocument::MaxUndoBytes / Large);
    const Case cases[] = {
        {"many small steps are all kept", 3 * min, -1, 0, 3 * min},
        {"large steps beyond the bound go down to the steps always kept", 0, -1, min + 50, min},
        {"the save stays reachable", min, min + 10, largeInBound, -1},
        {"a dropped save leaves the document modified", min, 5, largeInBound, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TDocument document;
        int runs = 0;
        int pushed = 0;
        auto push = [&](qsizetype bytes) {
            document.Push(new TSizedStep(bytes, &runs));
            if (++pushed == c.savedAfter)
                document.MarkClean();
        };
        for (int i = 0; i < c.small; ++i)
            push(Small);
        for (int i = 0; i < c.large; ++i)
            push(Large);
        QUndoStack& history = document.UndoStack();
        EXPECT_EQ(runs, pushed); // each step done once, none again by the rebuild
        EXPECT_GE(history.count(), min);
        if (c.expectedCount >= 0) {
            EXPECT_EQ(history.count(), c.expectedCount);
        }
        if (history.count() > min) {
            qsizetype held = 0;
            for (int i = 0; i < history.count(); ++i)
                held += static_cast<const TStepProxy*>(history.command(i))->Bytes();
            EXPECT_LE(held, TDocument::MaxUndoBytes);
        }
        EXPECT_EQ(history.index(), history.count());
        EXPECT_TRUE(document.Modified());
        const int dropped = pushed - history.count();
        if (c.savedAfter >= 0) {
            const int savedAt = c.savedAfter - dropped;
            EXPECT_EQ(history.cleanIndex(), savedAt < 0 ? -1 : savedAt);
            if (savedAt >= 0) {
                history.setIndex(savedAt);
                EXPECT_FALSE(document.Modified());
                EXPECT_EQ(runs, c.savedAfter);
            }
        }
    }
}

// The bound counts what the steps really hold: frames taken out weigh what the
// frames weigh, whether the step is done (a delete) or undone (an insert).
TEST(Document, TheHistoryCountsTheFramesItsStepsHold) {
    TDocument document;
    FillAnimation(document.Animation(), MaxDocumentFrames);
    const qsizetype framesOf300 = 300 * qsizetype{sizeof(FramePixels)};
    QUndoStack& history = document.UndoStack();
    auto held = [&] { return static_cast<const TStepProxy*>(history.command(0))->Bytes(); };
    document.Push(new TRemoveFramesCommand(document, 10, 309, QStringLiteral("Delete Frames")));
    EXPECT_GE(held(), framesOf300);
    history.undo();
    EXPECT_LT(held(), framesOf300 / 100);
    history.redo();
    EXPECT_GE(held(), framesOf300);
}

} // namespace
} // namespace vistrel
