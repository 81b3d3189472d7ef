// pixalto-cli: the headless front end over the image and RAW libraries.

#include "cli/Program.h"

int main(int argc, char** argv) {
    return pixalto::cli::RunProgram(argc, argv);
}
