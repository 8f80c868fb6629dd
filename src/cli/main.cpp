#include "cliCommands.h"

#include <iostream>

int main(int argc, char* argv[]) {
    const std::optional<QStringList> arguments =
        vistrel::cli::DecodeArguments(argc, argv, std::cerr);
    if (!arguments)
        return 1;
    return vistrel::cli::Run(*arguments, std::cout, std::cerr);
}
