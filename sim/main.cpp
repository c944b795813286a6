// SPDX-License-Identifier: MIT
#include <cstdio>

int main() {
    std::puts("rtm5800-sim: the simulated instrument is not built yet");
    return 0;
}
