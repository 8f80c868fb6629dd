#include "cliCommands.h"
#include "fileNames.h"

#include <iostream>

int main(int argc, char* argv[]) {
    return vistrel::cli::Run(vistrel::CommandLineArguments(argc, argv), std::cout, std::cerr);
}
