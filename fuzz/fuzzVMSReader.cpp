// Any bytes as a VMS file: whatever the markers, frame table or command list
// claim, loading ends in a consistent document whose draw commands only draw
// frames it holds, whose script can be listed and which saves as LCD when the
// frame count allows.

#include "fuzzChecks.h"
#include "unitVMSFile.h"

using namespace vistrel;
using namespace vistrel::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QuietQtWarnings();
    QBuffer stream;
    stream.setData(Bytes(data, size));
    stream.open(QIODevice::ReadOnly);
    TAnimation animation;
    const bool loaded = animation.LoadVMS(stream);
    CheckDocument(animation);
    if (!loaded) {
        Require(animation.FrameCount() == 0 && animation.CommandCount() == 0,
                "a refused file left frames or commands");
        Require(animation.SourceKind == SourceNone, "a refused file left a source kind");
        return 0;
    }
    Require(animation.FrameCount() <= TVMSFile::MaxBitmaps, "more frames than a VMS file holds");
    Require(animation.SourceKind == SourceVMSPlain || animation.SourceKind == SourceVMSScripted ||
                animation.SourceKind == SourceNone,
            "a loaded VMS file has a foreign source kind");
    CheckDrawCommands(animation);
    animation.BuildScript();
    CheckLCDRoundTrip(animation);
    return 0;
}
