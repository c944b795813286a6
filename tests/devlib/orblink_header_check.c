/* SPDX-License-Identifier: MIT */
/* Built as C99 with -Wpedantic: the public header must stay plain C. */
#include "orblink.h"

#include <stdio.h>

int main(void) {
    OB_HANDLE handle = NULL;
    OB_DEVICE_LIST_ENTRY entry;
    OB_COMM_STATE state;
    uint32_t got = 0;
    /* The layouts callers allocate for the library are fixed. */
    typedef char entry_is_104_bytes[sizeof entry == 104 ? 1 : -1];
    typedef char state_is_28_bytes[sizeof state == 28 ? 1 : -1];
    entry_is_104_bytes* e = NULL;
    state_is_28_bytes* s = NULL;
    (void)e;
    (void)s;
    if (OB_GetLibraryVersion() != 0x030107u) return 1;
    if (OB_ReadData(handle, &entry, 1, &got) != OB_BAD_HANDLE) return 2;
    if (OB_OpenIndex(0, NULL) != OB_BAD_ARGUMENT) return 3;
    puts("orblink.h compiles and links as C");
    return 0;
}
