#include "cliCommands.h"
#include "fileNames.h"
#include "localFiles.h"

#include <iostream>

int main(int argc, char* argv[]) {
    vistrel::IgnoreFileSizeSignal();
    return vistrel::cli::Run(vistrel::CommandLineArguments(argc, argv), std::cout, std::cerr);
}
