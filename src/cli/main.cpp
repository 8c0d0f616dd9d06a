// tavo-cli: the program's entry point; everything else is in cli.cpp and the command files.
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv, argv + argc);
    const int status = tavo::cli::run(args, std::cout, std::cerr);
    std::cout.flush();
    // Results that could not all be written (a full disk, a closed pipe) are no success.
    if (!std::cout) {
        std::cerr << "tavo-cli: cannot write the results to standard output\n";
        return status == tavo::cli::kOk ? tavo::cli::kProblem : status;
    }
    return status;
}
