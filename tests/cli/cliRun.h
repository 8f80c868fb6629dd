#pragma once

#include "cliCommands.h"

#include <sstream>
#include <string>

namespace vistrel::testing {

// One run of vistrel-cli in the test process: its status and what it printed.
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
