// Holds a recovery slot in FOLDER and writes its recovery file over and over,
// each time one of three documents of 324 frames whose repeat count and every
// pixel byte tell which one it was. Prints the slot's ID once the first write is done;
// the tests kill it with SIGKILL at any moment after that.
#include "recoveryStore.h"
#include "unitAnimation.h"

#include <QCoreApplication>
#include <cstdio>
#include <vector>

using namespace vistrel;

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    TRecoveryStore store(QString::fromLocal8Bit(argv[1]));
    const std::unique_ptr<TRecoverySlot> slot = store.Create();
    if (!slot)
        return 1;
    // The documents are made before the first write, so that nearly all the
    // time goes into writing and a kill mostly lands inside a write, also when
    // a slow build (a thread checker) makes filling pixels costly.
    TAnimation animation;
    while (animation.AddFrame()) {
    }
    std::vector<QByteArray> documents;
    for (std::uint8_t mark = 1; mark <= 3; ++mark) {
        animation.RepeatCount = mark;
        for (int i = 0; i < animation.FrameCount(); ++i)
            for (int p = 0; p < FramePixelCount; ++p)
                animation.Frame(i).Pixels[static_cast<std::size_t>(p)] = (p % mark) == 0 ? 1 : 0;
        TRecoveryInfo info;
        info.FileName = QStringLiteral("/work/round.lcd");
        info.CurrentFrame = mark;
        documents.push_back(RecoveryFileBytes(animation, info));
    }
    for (std::size_t round = 0;; ++round) {
        if (!slot->Write(documents[round % documents.size()]))
            return 1;
        if (round == 0) {
            std::printf("%s\n", slot->Id().toLatin1().constData());
            std::fflush(stdout);
        }
    }
}
