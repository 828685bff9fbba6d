#include "Analyse.h"
#include <cstdio>

int RunAnalyse(int, char**) {
    std::fputs("vokrec analyse: not built yet\n", stderr);
    return 2;
}
