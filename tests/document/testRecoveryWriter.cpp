// Holds a recovery slot in FOLDER and writes its recovery file over and over,
// each time a document of 324 frames whose repeat count and every pixel byte
// tell which write it was. Prints the slot's ID once the first write is done;
// the tests kill it with SIGKILL at any moment after that.
#include "recoveryStore.h"
#include "unitAnimation.h"

#include <QCoreApplication>
#include <cstdio>

using namespace vistrel;

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    TRecoveryStore store(QString::fromLocal8Bit(argv[1]));
    const std::unique_ptr<TRecoverySlot> slot = store.Create();
    if (!slot)
        return 1;
    TAnimation animation;
    while (animation.AddFrame()) {
    }
    for (unsigned round = 0;; ++round) {
        const std::uint8_t mark = static_cast<std::uint8_t>(round % 200 + 1);
        animation.RepeatCount = mark;
        for (int i = 0; i < animation.FrameCount(); ++i)
            for (int p = 0; p < FramePixelCount; ++p)
                animation.Frame(i).Pixels[static_cast<std::size_t>(p)] = (p % mark) == 0 ? 1 : 0;
        TRecoveryInfo info;
        info.FileName = QStringLiteral("/work/round.lcd");
        info.CurrentFrame = static_cast<int>(round % 324);
        if (!slot->Write(RecoveryFileBytes(animation, info)))
            return 1;
        if (round == 0) {
            std::printf("%s\n", slot->Id().toLatin1().constData());
            std::fflush(stdout);
        }
    }
}
