#include "update/RunUpdate.h"

#include <cstdio>

int RunUpdate(int) {
    std::fputs("tlinstall: update mode chosen, but it is not built yet\n", stderr);
    return 0;
}
