// SPDX-License-Identifier: MIT
#include <cstdio>

int main() {
    std::puts("ORV_5800: the main window is not built yet; it will start with a simulated instrument");
    return 0;
}
