#include "cliSpeed.h"

#include "cliCommands.h"
#include "unitAnimation.h"
#include "unitAnimationSpeed.h"

#include <ostream>

namespace vistrel::cli {

int Speed(TAnimation& animation, const QString& percent, const QString& target, std::ostream& out,
          std::ostream& err) {
    const std::optional<std::int64_t> speedFactor = ReadSpeedFactor(percent);
    if (!speedFactor || !IsValidSpeedFactor(*speedFactor)) {
        err << "Invalid speed factor - must be between 1% and 25500%.\n";
        return 1;
    }
    AdjustAnimationSpeed(animation, static_cast<int>(*speedFactor));
    return SaveAnimation(animation, target, out, err);
}

} // namespace vistrel::cli
