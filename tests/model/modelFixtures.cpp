#include "modelFixtures.h"

#include "unitLCDFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vistrel::testing {

void FillAnimation(TAnimation& animation, std::initializer_list<int> durations) {
    for (const int duration : durations) {
        animation.AddFrame();
        const int index = animation.FrameCount() - 1;
        TFrame& frame = animation.Frame(index);
        frame.SetDuration(static_cast<std::uint8_t>(duration));
        frame.Pixels[static_cast<std::size_t>(index)] = 1;
        animation.PaintCell(index);
    }
}

void FillAnimation(TAnimation& animation, int frameCount) {
    for (int i = 0; i < frameCount; ++i)
        FillAnimation(animation, {1});
}

std::vector<int> Durations(const TAnimation& animation) {
    std::vector<int> result;
    for (int i = 0; i < animation.FrameCount(); ++i)
        result.push_back(animation.Frame(i).Duration());
    return result;
}

std::vector<std::pair<int, int>> Times(const TAnimation& animation) {
    std::vector<std::pair<int, int>> result;
    for (int i = 0; i < animation.FrameCount(); ++i)
        result.emplace_back(animation.Frame(i).StartTime(), animation.Frame(i).EndTime());
    return result;
}

int Marker(const TFrame& frame) {
    const auto lit = std::find(frame.Pixels.begin(), frame.Pixels.end(), 1);
    return lit == frame.Pixels.end() ? -1 : static_cast<int>(lit - frame.Pixels.begin());
}

bool CellMatchesPixels(const TAnimation& animation, int index) {
    const QRect cell = animation.Frame(index).SheetRect();
    if (cell != TAnimation::CellRect(index))
        return false;
    for (int y = 0; y < FrameHeight; ++y)
        for (int x = 0; x < FrameWidth; ++x) {
            const bool lit =
                animation.Frame(index).Pixels[static_cast<std::size_t>(PixelIndex(x, y))] == 1;
            const QRgb colour =
                animation.FrameSheet().pixel(cell.left() + x, cell.top() + y) & 0xFFFFFF;
            if (colour != (lit ? 0x000000u : 0xFFFFFFu))
                return false;
        }
    return true;
}

QByteArray LCDBytes(std::initializer_list<int> durations, int repeat, const QByteArray& creator) {
    const int count = static_cast<int>(durations.size());
    QByteArray bytes("LCDi\x01\x00\x30\x00\x20\x00\x01\x00\x00", 13);
    bytes.append(static_cast<char>(repeat));
    bytes.append(static_cast<char>(count));
    bytes.append('\0');
    for (const int duration : durations)
        bytes.append(QByteArray("\0", 1) + static_cast<char>(duration) + QByteArray("\0\0", 2));
    for (int i = 0; i < count; ++i) {
        QByteArray block(FramePixelCount, '\0');
        block[i % FrameWidth] = static_cast<char>(LCDLayout::LitByte);
        bytes.append(block);
    }
    bytes.append(creator.leftJustified(LCDLayout::CreatorTextSize, ' ', true));
    return bytes;
}

TempFolder::TempFolder() {
    if (!m_dir.isValid())
        ADD_FAILURE() << "no temporary folder: " << m_dir.errorString().toStdString();
}

QString TempFolder::Path(const QString& name) const {
    return m_dir.isValid() ? m_dir.filePath(name) : QString();
}

QString TempFolder::Write(const QString& name, const QByteArray& bytes) const {
    const QString path = Path(name);
    if (path.isEmpty())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return {};
    return file.fileName();
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

AnimationState AnimationStateOf(const TAnimation& animation) {
    AnimationState state;
    for (int i = 0; i < animation.FrameCount(); ++i) {
        const TFrame& f = animation.Frame(i);
        state.frames.emplace_back(f.Duration(), f.StartTime(), f.EndTime(), f.Pixels, f.RedLayer(),
                                  f.BlueLayer(), f.Selected(), f.Changed(), f.SheetRect());
    }
    state.sheet = animation.FrameSheet();
    return state;
}

FileSizeLimit::FileSizeLimit(long long bytes) : m_oldHandler(std::signal(SIGXFSZ, SIG_IGN)) {
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    m_oldSoft = static_cast<long long>(limit.rlim_cur);
    limit.rlim_cur = static_cast<rlim_t>(bytes);
    setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit() {
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = static_cast<rlim_t>(m_oldSoft);
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, m_oldHandler);
}

bool MakeFifo(const QString& path) {
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

bool FinishesWithoutWaitingOnFifo(const QString& fifoPath, const std::function<void()>& action) {
    // The watchdog is a child process, not a thread: the action may start programs,
    // and a fork while a second thread runs is more than ThreadSanitizer supports.
    const QByteArray path = QFile::encodeName(fifoPath);
    const pid_t watchdog = ::fork();
    if (watchdog == 0) {
        ::sleep(3);
        // Succeeds only while a reader has the FIFO open, waiting.
        for (;;) {
            const int fd = ::open(path.constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) {
                ::close(fd);
                ::_exit(1);
            }
            ::usleep(10'000);
        }
    }
    if (watchdog < 0) {
        ADD_FAILURE() << "no watchdog process";
        return false;
    }
    action();
    ::kill(watchdog, SIGKILL);
    int status = 0;
    ::waitpid(watchdog, &status, 0);
    const bool freed = WIFEXITED(status) && WEXITSTATUS(status) == 1;
    return !freed;
}

} // namespace vistrel::testing
