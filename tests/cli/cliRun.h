#pragma once

#include "cliCommands.h"

#include <sstream>
#include <string>

namespace vistrel::testing {

// What one vistrel-cli run gave: its exit status and both outputs.
struct CliResult {
    int status;
    std::string out;
    std::string err;
};

inline CliResult RunCli(const QStringList& arguments) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = cli::Run(arguments, out, err);
    return {status, out.str(), err.str()};
}

} // namespace vistrel::testing
