// SPDX-License-Identifier: MIT
#include "FrontEnd.h"

int main(int argc, char *argv[])
{
    return Vexilo::FrontEnd::run(argc, argv);
}
