#include "cliCommands.h"

#include <QString>
#include <iostream>

int main(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return vistrel::cli::Run(arguments, std::cout, std::cerr);
}
