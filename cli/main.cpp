// SPDX-License-Identifier: MIT
#include <cstdio>

int main() {
    std::puts("orv5800-cli");
    return 0;
}
