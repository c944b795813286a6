/* SPDX-License-Identifier: MIT */
/* Orblink: handle-based access to instruments behind the USB bridge chip. */
#ifndef ORBLINK_H
#define ORBLINK_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32)
#define OB_API __declspec(dllexport)
#else
#define OB_API __attribute__((visibility("default")))
#endif

typedef uint32_t OB_STATUS;

/* Library version, 0x030107. */
OB_API uint32_t OB_GetLibraryVersion(void);

#ifdef __cplusplus
}
#endif
#endif
