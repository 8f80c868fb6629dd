#include "clipboardBlock.h"
#include "fakeEditorHost.h"
#include "frameClipboard.h"
#include "modelFixtures.h"
#include "pixelClipboard.h"

#include <QClipboard>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMimeData>
#include <QPainter>
#include <QProcess>
#include <QTimer>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <sys/prctl.h>

using namespace vistrel;
using namespace vistrel::testing;

namespace {

// Generous: the limit only matters when the exchange is broken, and then the test
// should fail rather than hang.
constexpr int WaitLimitMs = 10000;

// Runs the event loop until done() holds or the limit passes. The loop must keep
// running while another program asks for our selection: Qt answers the X
// selection requests from it.
bool SpinUntil(const std::function<bool()>& done) {
    if (done())
        return true;
    const QDeadlineTimer deadline(WaitLimitMs);
    QEventLoop loop;
    QTimer poll;
    bool held = false;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        held = done();
        if (held || deadline.hasExpired())
            loop.quit();
    });
    poll.start(10);
    loop.exec();
    return held;
}

// An xclip run as the other program on the display. It never outlives the test
// that started it, nor this program.
class TXclip {
public:
    explicit TXclip(const QStringList& arguments, const QByteArray& input = {}) {
        m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
        m_process.start(QStringLiteral("xclip"), arguments);
        if (!m_process.waitForStarted()) {
            ADD_FAILURE() << "cannot run xclip: " << m_process.errorString().toStdString();
            return;
        }
        m_process.write(input);
        m_process.closeWriteChannel();
    }
    ~TXclip() {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.kill();
        m_process.waitForFinished(WaitLimitMs);
    }
    TXclip(const TXclip&) = delete;
    TXclip& operator=(const TXclip&) = delete;

    bool Finish() {
        return SpinUntil([this] { return m_process.state() == QProcess::NotRunning; });
    }
    bool Running() const { return m_process.state() == QProcess::Running; }
    int ExitCode() const { return m_process.exitCode(); }
    QByteArray Output() { return m_process.readAllStandardOutput(); }
    QByteArray Errors() { return m_process.readAllStandardError(); }

private:
    QProcess m_process;
};

const QString Format = QString::fromLatin1(FrameClipboardFormat);

// A clipboard entry whose every stride-th pixel is lit, so that a shifted, cut
// or reordered byte shows.
QByteArray Entry(int duration, int stride) {
    QByteArray entry(1 + FramePixelCount, '\0');
    entry[0] = static_cast<char>(duration);
    for (int i = 0; i < FramePixelCount; i += stride)
        entry[1 + i] = 1;
    return entry;
}

QByteArray PixelBytes(const TFrame& frame) {
    return QByteArray(reinterpret_cast<const char*>(frame.Pixels.data()), FramePixelCount);
}

void SetFrame(TAnimation& animation, int index, const QByteArray& entry) {
    TFrame& frame = animation.Frame(index);
    frame.SetDuration(static_cast<std::uint8_t>(entry[0]));
    std::copy_n(entry.constData() + 1, FramePixelCount, frame.Pixels.begin());
    animation.PaintCell(index);
}

// What Paste Frame(s) inserts: the frames on the clipboard, before index.
bool PasteFrames(TAnimation& animation, int index) {
    const std::optional<QByteArray> payload = TFrameClipboard().Frames();
    return payload && animation.InsertFramePayload(index, *payload);
}

// Two entries make 2 * 1537 = 3074 = 0x0C02 payload bytes.
const QByteArray TwoEntryLength("\x02\x0C\x00\x00", 4);

class X11Clipboard : public ::testing::Test {
protected:
    void SetUp() override { QGuiApplication::clipboard()->clear(); }
};

} // namespace

TEST_F(X11Clipboard, AnotherProgramReadsCopiedFramesUnderTheFormatName) {
    TAnimation animation;
    FillAnimation(animation, {3, 4, 5, 6});
    const QByteArray second = Entry(250, 3);
    const QByteArray fourth = Entry(7, 5);
    SetFrame(animation, 1, second);
    SetFrame(animation, 3, fourth);
    animation.Frame(1).SetSelected(true);
    animation.Frame(3).SetSelected(true);
    TFrameClipboard().PutFrames(animation.SelectedFramesPayload());

    TXclip targets({"-selection", "clipboard", "-t", "TARGETS", "-o"});
    ASSERT_TRUE(targets.Finish()) << "xclip never got the list of formats";
    const QByteArray offered = targets.Output();
    EXPECT_TRUE(offered.split('\n').contains(FrameClipboardFormat))
        << "formats offered to other programs:\n"
        << offered.toStdString();

    TXclip reader({"-selection", "clipboard", "-t", Format, "-o"});
    ASSERT_TRUE(reader.Finish()) << "xclip never got the frames";
    EXPECT_EQ(reader.ExitCode(), 0) << reader.Errors().toStdString();
    const QByteArray block = reader.Output();
    ASSERT_EQ(block.size(), 4 + 2 * 1537);
    EXPECT_EQ(block.left(4), TwoEntryLength);
    EXPECT_EQ(block.mid(4, 1537), second);
    EXPECT_EQ(block.mid(4 + 1537), fourth);
}

TEST_F(X11Clipboard, FramesAnotherProgramHoldsArePasted) {
    const QByteArray first = Entry(9, 3);
    const QByteArray second = Entry(200, 5);
    TXclip holder({"-selection", "clipboard", "-t", Format, "-i", "-quiet"},
                  TwoEntryLength + first + second);
    TAnimation animation;
    FillAnimation(animation, {1});

    // xclip takes the selection once it has read all of its input.
    ASSERT_TRUE(SpinUntil([] { return TFrameClipboard().HasFrames(); }))
        << "frames held by xclip never showed; xclip "
        << (holder.Running() ? "is running" : "has stopped")
        << ", said: " << holder.Errors().toStdString();
    EXPECT_FALSE(QGuiApplication::clipboard()->ownsClipboard());
    ASSERT_TRUE(PasteFrames(animation, -1));
    ASSERT_EQ(Durations(animation), (std::vector<int>{1, 9, 200}));
    EXPECT_EQ(PixelBytes(animation.Frame(1)), first.mid(1));
    EXPECT_EQ(PixelBytes(animation.Frame(2)), second.mid(1));
    EXPECT_TRUE(CellMatchesPixels(animation, 1));
    EXPECT_TRUE(CellMatchesPixels(animation, 2));
    EXPECT_TRUE(holder.Running()) << "xclip should still be serving the selection";
}

TEST_F(X11Clipboard, TextFromAnotherProgramReplacesCopiedFrames) {
    TAnimation animation;
    FillAnimation(animation, {2});
    TFrameClipboard().PutFrames(animation.FramePayload(0));
    ASSERT_TRUE(TFrameClipboard().HasFrames());

    TXclip holder({"-selection", "clipboard", "-t", "UTF8_STRING", "-i", "-quiet"}, "not frames");
    ASSERT_TRUE(SpinUntil([] {
        return QGuiApplication::clipboard()->text() == QStringLiteral("not frames");
    })) << "text held by xclip never showed: "
        << holder.Errors().toStdString();
    EXPECT_FALSE(TFrameClipboard().HasFrames());
    EXPECT_FALSE(PasteFrames(animation, -1));
    EXPECT_EQ(animation.FrameCount(), 1);
}

TEST_F(X11Clipboard, AFullAnimationGoesOutAndComesBackIntact) {
    // Far larger than one X request carries without the big-requests extension,
    // so both sides must move the property in pieces.
    TAnimation source;
    FillAnimation(source, MaxDocumentFrames);
    QByteArray entries;
    for (int i = 0; i < MaxDocumentFrames; ++i) {
        const QByteArray entry = Entry(1 + i % 255, 2 + i % 11);
        SetFrame(source, i, entry);
        source.Frame(i).SetSelected(true);
        entries += entry;
    }
    TFrameClipboard().PutFrames(source.SelectedFramesPayload());

    TXclip reader({"-selection", "clipboard", "-t", Format, "-o"});
    ASSERT_TRUE(reader.Finish()) << "xclip never got the frames";
    const QByteArray block = reader.Output();
    // 324 * 1537 = 497988 = 0x00079944 payload bytes.
    ASSERT_EQ(block.size(), 4 + entries.size());
    EXPECT_EQ(block.left(4), QByteArray("\x44\x99\x07\x00", 4));
    EXPECT_TRUE(block.mid(4) == entries) << "the entries arrived changed";

    QGuiApplication::clipboard()->clear();
    TXclip holder({"-selection", "clipboard", "-t", Format, "-i", "-quiet"}, block);
    TAnimation target;
    ASSERT_TRUE(SpinUntil([] { return TFrameClipboard().HasFrames(); }))
        << "frames held by xclip never showed: " << holder.Errors().toStdString();
    ASSERT_TRUE(PasteFrames(target, -1));
    ASSERT_EQ(target.FrameCount(), MaxDocumentFrames);
    EXPECT_EQ(Durations(target), Durations(source));
    for (int i = 0; i < MaxDocumentFrames; ++i)
        ASSERT_EQ(PixelBytes(target.Frame(i)), PixelBytes(source.Frame(i))) << "frame " << i;
}

namespace {

// A selection whose pixels tell their places apart.
QImage Pattern(QSize size) {
    QImage picture(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            picture.setPixel(x, y, (x * 3 + y * 5) % 7 < 3 ? 0xFF000000 : 0xFFFFFFFF);
    return picture;
}

QImage Floating(TFrameEditor& editor) {
    const QRect cells = editor.Selection().Cells();
    return editor.Bitmaps().WorkBitmap.copy(cells);
}

} // namespace

TEST_F(X11Clipboard, AnotherProgramReadsACopiedSelectionInOurFormatAndAsPng) {
    TFakeEditorHost host;
    TFrameEditor& editor = *host.editor;
    const QImage pixels = Pattern({9, 6});
    QPainter(&editor.Bitmaps().WorkBitmap).drawImage(QPoint(0, 0), pixels);
    editor.Selection().Lift(QRect(0, 0, 9, 6));
    editor.Copy1Click();

    TXclip targets({"-selection", "clipboard", "-t", "TARGETS", "-o"});
    ASSERT_TRUE(targets.Finish());
    const QList<QByteArray> offered = targets.Output().split('\n');
    EXPECT_TRUE(offered.contains(PixelClipboardFormat));
    EXPECT_TRUE(offered.contains(StandardImageFormat));

    TXclip ours({"-selection", "clipboard", "-t", PixelClipboardFormat, "-o"});
    ASSERT_TRUE(ours.Finish());
    const QByteArray block = ours.Output();
    const QByteArray bmp = DecodeClipboardBlock(block);
    EXPECT_EQ(bmp.size() + 4, block.size());
    QImage fromBmp;
    ASSERT_TRUE(fromBmp.loadFromData(bmp, "BMP"));
    EXPECT_EQ(fromBmp.convertToFormat(QImage::Format_RGB32), pixels);

    TXclip png({"-selection", "clipboard", "-t", StandardImageFormat, "-o"});
    ASSERT_TRUE(png.Finish());
    QImage fromPng;
    ASSERT_TRUE(fromPng.loadFromData(png.Output(), "PNG"));
    EXPECT_EQ(fromPng.convertToFormat(QImage::Format_RGB32), pixels);
}

TEST_F(X11Clipboard, PicturesAnotherProgramHoldsArePastedInOurFormatAndAsPng) {
    TFakeEditorHost host;
    TFrameEditor& editor = *host.editor;
    QAction* paste = host.Item("Paste1");

    const QImage first = Pattern({7, 5});
    {
        TXclip holder({"-selection", "clipboard", "-t", PixelClipboardFormat, "-i", "-quiet"},
                      EncodeClipboardBlock(PictureAsBmp(first)));
        ASSERT_TRUE(SpinUntil([&] { return paste->isEnabled(); }))
            << "our format held by xclip never showed: " << holder.Errors().toStdString();
        editor.Paste1Click();
        ASSERT_TRUE(editor.Selection().Active());
        EXPECT_EQ(editor.Selection().Cells(), QRect(0, 0, 7, 5));
        EXPECT_EQ(Floating(editor), first);
    }

    // A grey picture from an image program arrives black and white.
    QImage grey = Pattern({11, 4});
    grey.setPixel(0, 0, qRgb(90, 90, 90));
    grey.setPixel(1, 0, qRgb(180, 180, 180));
    QGuiApplication::clipboard()->clear();
    TXclip holder({"-selection", "clipboard", "-t", StandardImageFormat, "-i", "-quiet"},
                  PictureAsPng(grey));
    ASSERT_TRUE(SpinUntil([&] {
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        return data != nullptr && data->hasFormat(StandardImageFormat) && paste->isEnabled();
    })) << "the picture held by xclip never showed: "
        << holder.Errors().toStdString();
    editor.Paste1Click();
    EXPECT_EQ(editor.Selection().Cells(), QRect(0, 0, 11, 4));
    EXPECT_EQ(Floating(editor), BlackAndWhite(grey));
    EXPECT_EQ(Floating(editor).pixel(0, 0), 0xFF000000);
    EXPECT_EQ(Floating(editor).pixel(1, 0), 0xFFFFFFFF);
    EXPECT_TRUE(host.prompts.messages.isEmpty()) << host.prompts.messages.join(' ').toStdString();
}
