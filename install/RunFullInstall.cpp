#include "install/RunFullInstall.h"

#include <cstdio>

int RunFullInstall(int) {
    std::fputs("tlinstall: first-installation mode chosen, but it is not built yet\n", stderr);
    return 0;
}
