#include "cliCommands.h"

#include <iostream>

int main(int argc, char* argv[]) {
    return vistrel::cli::Run(vistrel::cli::DecodeArguments(argc, argv), std::cout, std::cerr);
}
