#include "exportFixtures.h"
#include "modelFixtures.h"
#include "unitAnimationExport.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

using namespace vistrel;
using namespace vistrel::testing;

namespace {

// A program that prints everything the header declares, one number a line.
constexpr char Printer[] = R"(#include "2 walk-cycle.h"
#include <stdio.h>
int main(void) {
    int i, j;
    printf("%d %d %d %d %d\n", ANIM_2_WALK_CYCLE_FRAME_COUNT, ANIM_2_WALK_CYCLE_WIDTH,
           ANIM_2_WALK_CYCLE_HEIGHT, ANIM_2_WALK_CYCLE_FRAME_BYTES, ANIM_2_WALK_CYCLE_REPEAT_COUNT);
    for (i = 0; i < ANIM_2_WALK_CYCLE_FRAME_COUNT; ++i) {
        printf("%d\n", anim_2_walk_cycle_durations[i]);
        for (j = 0; j < ANIM_2_WALK_CYCLE_FRAME_BYTES; ++j)
            printf("%d\n", anim_2_walk_cycle_frames[i][j]);
    }
    return 0;
}
)";

bool RunProgram(const QString& program, const QStringList& arguments, QByteArray& output) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(60000))
        return false;
    output = process.readAll();
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

} // namespace

TEST(CHeaderExport, CompilesAndHoldsEveryFrameBitByBit) {
    TempFolder folder;
    TAnimation animation;
    FillScattered(animation, {3, 0, 255, 1});
    animation.RepeatCount = 7;
    TExportOptions options;
    options.Format = TExportFormat::CHeader;
    options.SourceName = "odd */ name.lcd"; // must not end the comment early
    TAnimationExport exporter(animation, options);
    ASSERT_TRUE(exporter.Export(folder.Path("2 walk-cycle.h")));
    folder.Write("printer.c", Printer);

    // As C for firmware and as C++ for homebrew programs, with every warning an error.
    const QStringList languages[] = {{"-x", "c", "-std=c99"}, {"-x", "c++", "-std=c++17"}};
    for (const QStringList& language : languages) {
        const QString binary = folder.Path("printer");
        QByteArray output;
        ASSERT_TRUE(RunProgram(VISTREL_C_COMPILER,
                               language + QStringList{"-Wall", "-Wextra", "-Wpedantic", "-Werror",
                                                      folder.Path("printer.c"), "-o", binary},
                               output))
            << output.toStdString();
        ASSERT_TRUE(RunProgram(binary, {}, output));
        QList<QByteArray> numbers = output.split('\n');
        ASSERT_GE(numbers.size(), 5);
        EXPECT_EQ(output.left(output.indexOf('\n')), "4 48 32 192 7");
        int line = 1;
        for (int i = 0; i < animation.FrameCount(); ++i) {
            EXPECT_EQ(numbers[line++].toInt(), animation.Frame(i).Duration());
            std::vector<int> bytes;
            for (int b = 0; b < 192; ++b)
                bytes.push_back(numbers[line++].toInt());
            // Unpacked as a firmware would: rows of 6 bytes, leftmost dot in bit 7.
            int wrong = 0;
            for (int y = 0; y < FrameHeight; ++y)
                for (int x = 0; x < FrameWidth; ++x) {
                    const bool set =
                        bytes[static_cast<std::size_t>(y * 6 + x / 8)] >> (7 - x % 8) & 1;
                    wrong +=
                        set !=
                        (animation.Frame(i).Pixels[static_cast<std::size_t>(PixelIndex(x, y))] ==
                         1);
                }
            EXPECT_EQ(wrong, 0) << "frame " << i;
        }
        QFile::remove(binary);
    }
    const QByteArray header = ReadFile(folder.Path("2 walk-cycle.h"));
    EXPECT_TRUE(
        header.contains("8 dots a byte, the most significant bit\n * being the leftmost dot"));
}
