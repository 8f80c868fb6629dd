#pragma once

namespace vistrel {

// The caption of the program's own questions (number inputs, notices).
inline constexpr const char* ProgramTitle = "Vistrel v1.0 beta";

} // namespace vistrel
