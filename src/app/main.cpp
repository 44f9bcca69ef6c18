// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/shell/Application.h"

int main(int argc, char **argv)
{
    return quillet::shell::runApplication(argc, argv);
}
