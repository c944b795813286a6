/* SPDX-License-Identifier: MIT */
/*
 * Orblink: handle-based access to instruments behind the USB bridge chip.
 *
 * Conventions that hold for every function below:
 * - The result is a status code (OB_STATUS, 0 = OB_SUCCESS). Callers treat any other value as
 *   failure.
 * - Threads: nothing is locked inside the library. Callers serialise their calls (one thread, or
 *   their own lock around every call); the library keeps no thread-local state.
 * - Buffers: every buffer and output pointer passed in belongs to the caller and is used only
 *   during the call; the library keeps no pointer to it. A required pointer that is NULL gives
 *   OB_BAD_ARGUMENT and nothing else happens.
 * - Handles: an OB_HANDLE is owned by the library from the open that returned it until
 *   OB_CloseDevice. Any call with a handle that is not currently open (closed, never opened, a
 *   foreign pointer) returns OB_BAD_HANDLE without reaching the device; the library only compares
 *   the pointer, it never dereferences an unknown one.
 * - Requests: each handle operation is one synchronous device-control request, read or write.
 *   Line settings (speed, framing, handshake, time-outs...) live in the driver, not in the
 *   library; they last while the device stays open.
 * - Platforms: on Windows the driver is the bridge chip's kernel driver; on Linux it is a device
 *   service reached through Unix-domain sockets in $ORBLINK_DEVICE_DIR (default
 *   ${XDG_RUNTIME_DIR:-/tmp}/orblink), one socket per device, devices numbered in name order.
 */
#ifndef ORBLINK_H
#define ORBLINK_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32)
#if defined(ORBLINK_BUILD)
#define OB_API /* exported through the .def file, by ordinal */
#else
#define OB_API __declspec(dllimport)
#endif
#define OB_CALL __stdcall
#else
#define OB_API __attribute__((visibility("default")))
#define OB_CALL
#endif

typedef uint32_t OB_STATUS;

#define OB_SUCCESS 0u
#define OB_BAD_HANDLE 1u     /* handle not open; also: the device cannot be opened (in use) */
#define OB_NO_SUCH_DEVICE 2u /* no device with that number or identity */
#define OB_REQUEST_FAILED 4u /* the device request, read or write failed */
#define OB_OUT_OF_MEMORY 5u
#define OB_BAD_ARGUMENT 6u   /* missing pointer, unknown selector, or buffer too small */
#define OB_SPEED_REFUSED 7u  /* the driver refused the line speed */

/* An open device. Opaque; compare with NULL only. */
typedef struct OB_DEVICE_RECORD* OB_HANDLE;

/* ---- Imported by the application (fixed ordinals in the Windows builds) ------------------ */

/* Opens device number index (0-based, in enumeration order) and stores a new handle in
 * *handle. OB_NO_SUCH_DEVICE if there is no such device, OB_BAD_HANDLE if it cannot be opened
 * (for example because another program has it open: try the next number), OB_OUT_OF_MEMORY. */
OB_API OB_STATUS OB_CALL OB_OpenIndex(uint32_t index, OB_HANDLE* handle);

/* Closes the device and frees the handle; the handle is invalid afterwards (a second close
 * returns OB_BAD_HANDLE). */
OB_API OB_STATUS OB_CALL OB_CloseDevice(OB_HANDLE handle);

/* One read of up to count bytes into buffer (count bytes, caller's). Returns when count bytes
 * arrived or the read time-out (OB_SetIoTimeouts) expired: OB_SUCCESS with *got = bytes read,
 * possibly 0. OB_REQUEST_FAILED only if the read failed with nothing read. */
OB_API OB_STATUS OB_CALL OB_ReadData(OB_HANDLE handle, void* buffer, uint32_t count,
                                     uint32_t* got);

/* One write of count bytes from buffer; *put = bytes written (a write time-out may write
 * fewer). OB_REQUEST_FAILED only if the write failed with nothing written. */
OB_API OB_STATUS OB_CALL OB_WriteData(OB_HANDLE handle, const void* buffer, uint32_t count,
                                      uint32_t* put);

/* The generic request: sends nominal request code (0x220000 + 4 * i, i < 112) with the caller's
 * input (in_size bytes) and output (out_size bytes) buffers; *returned (optional) = output bytes
 * filled, the rest of the output buffer is zeroed. Other codes give OB_BAD_ARGUMENT. Every
 * driver request without a function of its own is reached this way. */
OB_API OB_STATUS OB_CALL OB_DeviceRequest(OB_HANDLE handle, uint32_t nominal_code,
                                          const void* in, uint32_t in_size, void* out,
                                          uint32_t out_size, uint32_t* returned);

OB_API OB_STATUS OB_CALL OB_ResetPort(OB_HANDLE handle);
/* OB_SPEED_REFUSED when the driver refuses the rate. */
OB_API OB_STATUS OB_CALL OB_SetLineSpeed(OB_HANDLE handle, uint32_t baud);
/* word_length 7 or 8; stop_bits 0 = one, 2 = two; parity 0 none, 1 odd, 2 even, 3 mark,
 * 4 space. Values go to the driver unchanged (as bytes). */
OB_API OB_STATUS OB_CALL OB_SetFraming(OB_HANDLE handle, uint32_t word_length,
                                       uint32_t stop_bits, uint32_t parity);

#define OB_HANDSHAKE_NONE 0x000u
#define OB_HANDSHAKE_RTS_CTS 0x100u
#define OB_HANDSHAKE_DTR_DSR 0x200u
#define OB_HANDSHAKE_XON_XOFF 0x400u
/* mode is sent as 16 bits, the characters as bytes. */
OB_API OB_STATUS OB_CALL OB_SetHandshake(OB_HANDLE handle, uint32_t mode, uint32_t xon,
                                         uint32_t xoff);
OB_API OB_STATUS OB_CALL OB_AssertDtr(OB_HANDLE handle);
OB_API OB_STATUS OB_CALL OB_ReleaseDtr(OB_HANDLE handle);
OB_API OB_STATUS OB_CALL OB_AssertRts(OB_HANDLE handle);
OB_API OB_STATUS OB_CALL OB_ReleaseRts(OB_HANDLE handle);

#define OB_LINE_CTS 0x10u
#define OB_LINE_DSR 0x20u
/* *state (required) is sent and replaced by the driver's line state bits. */
OB_API OB_STATUS OB_CALL OB_GetLineState(OB_HANDLE handle, uint32_t* state);
/* Each value is sent as one byte. */
OB_API OB_STATUS OB_CALL OB_SetSpecialChars(OB_HANDLE handle, uint32_t event_char,
                                            uint32_t event_enable, uint32_t error_char,
                                            uint32_t error_enable);

#define OB_PURGE_RX 1u
#define OB_PURGE_TX 2u
OB_API OB_STATUS OB_CALL OB_PurgeBuffers(OB_HANDLE handle, uint32_t mask);
OB_API OB_STATUS OB_CALL OB_SetIoTimeouts(OB_HANDLE handle, uint32_t read_ms, uint32_t write_ms);
/* parameter is pointer-sized (an event object on Windows) and travels as 64 bits. */
OB_API OB_STATUS OB_CALL OB_SetNotification(OB_HANDLE handle, uint32_t mask,
                                            uintptr_t parameter);
/* All three outputs are required. */
OB_API OB_STATUS OB_CALL OB_GetQueueStatus(OB_HANDLE handle, uint32_t* rx_bytes,
                                           uint32_t* tx_bytes, uint32_t* event_status);

/* ---- Identity, enumeration, device list ---------------------------------------------------- */

#define OB_IDENTITY_TEXT1 1u  /* first identity text */
#define OB_IDENTITY_TEXT2 2u  /* second identity text */
#define OB_IDENTITY_NUMBER 4u /* 32-bit identity number */
#define OB_IDENTITY_TEXT_SIZE 64u

/* Opens the first device whose identity of the given kind matches. identity points to a
 * zero-terminated text (kinds 1, 2) or a uint32_t (kind 4); texts compare byte by byte including
 * the terminator. Devices that cannot be opened are skipped. OB_NO_SUCH_DEVICE if none matches,
 * OB_BAD_ARGUMENT for another kind or a NULL pointer. */
OB_API OB_STATUS OB_CALL OB_OpenByIdentity(const void* identity, uint32_t kind,
                                           OB_HANDLE* handle);

/* *count = number of present devices. */
OB_API OB_STATUS OB_CALL OB_CountDevices(uint32_t* count);

/* The identity of device index (opened and closed again for the query): kinds 1 and 2 copy the
 * text with its terminator into out (out_size bytes; OB_BAD_ARGUMENT if it does not fit), kind 4
 * stores a uint32_t (out_size >= 4). Any other kind reads as kind 1. */
OB_API OB_STATUS OB_CALL OB_IdentityOf(uint32_t index, uint32_t kind, void* out,
                                       uint32_t out_size);

/* One identity per device that can be opened, in device order, into out: for kinds 1 and 2 an
 * array of capacity pointers to buffers of OB_IDENTITY_TEXT_SIZE bytes, for kind 4 an array of
 * capacity uint32_t. *count = identities stored (never more than capacity). */
OB_API OB_STATUS OB_CALL OB_IdentityOfAll(uint32_t kind, void* out, uint32_t capacity,
                                          uint32_t* count);

/* A device description, 104 bytes on every platform. */
typedef struct OB_DEVICE_LIST_ENTRY {
    uint32_t flags;           /* 0: filled by opening the device; 1: it was already open here */
    uint32_t type;            /* device type (0..5) */
    uint32_t id;              /* device ID */
    uint32_t identity_number; /* 0 when copied from an open handle */
    char serial[16];          /* zero-terminated */
    char description[64];     /* zero-terminated */
    uint64_t handle;          /* (OB_HANDLE)(uintptr_t)handle when flags = 1, else 0 */
} OB_DEVICE_LIST_ENTRY;

#define OB_DEVICE_OPEN_HERE 1u

/* Discards the previous list and describes every present device; *count = entries. A device that
 * another program has open gets a zeroed entry. The list is the library's until the next build
 * or OB_FreeDeviceList. */
OB_API OB_STATUS OB_CALL OB_BuildDeviceList(uint32_t* count);
/* Copies entry index of the current list into *entry. OB_NO_SUCH_DEVICE past its end. */
OB_API OB_STATUS OB_CALL OB_GetDeviceListEntry(uint32_t index, OB_DEVICE_LIST_ENTRY* entry);
OB_API OB_STATUS OB_CALL OB_FreeDeviceList(void);

/* Asks the device for its information again. Every output is optional (NULL = not wanted);
 * serial takes 16 bytes, description 64, both zero-terminated. */
OB_API OB_STATUS OB_CALL OB_GetDeviceInfo(OB_HANDLE handle, uint32_t* type, uint32_t* id,
                                          char* serial, char* description, uint32_t* extra);

/* 0x030107. */
OB_API uint32_t OB_CALL OB_GetLibraryVersion(void);

/* ---- Comm-port style layer ------------------------------------------------------------------
 * Open with OB_OpenByIdentity or OB_OpenIndex. The overlapped record is the caller's Windows
 * OVERLAPPED (it must outlive the operation there). On Linux every operation completes before it
 * returns: the record is ignored (may be NULL), OB_CommGetOverlappedResult reports the count of
 * the last read or write, and OB_CommCancelIo has nothing to cancel. */

OB_API OB_STATUS OB_CALL OB_CommRead(OB_HANDLE handle, void* buffer, uint32_t count,
                                     uint32_t* got, void* overlapped);
OB_API OB_STATUS OB_CALL OB_CommWrite(OB_HANDLE handle, const void* buffer, uint32_t count,
                                      uint32_t* put, void* overlapped);
OB_API OB_STATUS OB_CALL OB_CommGetOverlappedResult(OB_HANDLE handle, void* overlapped,
                                                    uint32_t* transferred, uint32_t wait);
OB_API OB_STATUS OB_CALL OB_CommCancelIo(OB_HANDLE handle);
OB_API OB_STATUS OB_CALL OB_CommSetBreak(OB_HANDLE handle);
OB_API OB_STATUS OB_CALL OB_CommClearBreak(OB_HANDLE handle);

#define OB_ESCAPE_SETRTS 3u
#define OB_ESCAPE_CLRRTS 4u
#define OB_ESCAPE_SETDTR 5u
#define OB_ESCAPE_CLRDTR 6u
#define OB_ESCAPE_SETBREAK 8u
#define OB_ESCAPE_CLRBREAK 9u
/* OB_BAD_ARGUMENT for any other function. */
OB_API OB_STATUS OB_CALL OB_CommEscape(OB_HANDLE handle, uint32_t function);

/* Line state, 28 bytes; size must be 28. Applied as line speed, framing, handshake and special
 * characters, in that order; the first refusal stops it. */
typedef struct OB_COMM_STATE {
    uint32_t size;
    uint32_t baud;
    uint32_t handshake; /* OB_HANDSHAKE_* */
    uint8_t word_length, parity, stop_bits, xon_char, xoff_char;
    uint8_t event_char, event_enable, error_char, error_enable;
    uint8_t reserved[7];
} OB_COMM_STATE;
OB_API OB_STATUS OB_CALL OB_CommSetState(OB_HANDLE handle, const OB_COMM_STATE* state);

/* Time-outs, 20 bytes, sent as they are (the driver uses read_constant and write_constant). */
typedef struct OB_COMM_TIMEOUTS {
    uint32_t read_interval, read_multiplier, read_constant;
    uint32_t write_multiplier, write_constant;
} OB_COMM_TIMEOUTS;
OB_API OB_STATUS OB_CALL OB_CommSetTimeouts(OB_HANDLE handle, const OB_COMM_TIMEOUTS* timeouts);

#define OB_COMM_PURGE_TXABORT 0x1u
#define OB_COMM_PURGE_RXABORT 0x2u
#define OB_COMM_PURGE_TXCLEAR 0x4u
#define OB_COMM_PURGE_RXCLEAR 0x8u
OB_API OB_STATUS OB_CALL OB_CommPurge(OB_HANDLE handle, uint32_t flags);
/* *status = OB_LINE_* bits. */
OB_API OB_STATUS OB_CALL OB_CommGetModemStatus(OB_HANDLE handle, uint32_t* status);

/* 16-byte status: errors (always 0), receive-queue bytes, transmit-queue bytes, event status. */
typedef struct OB_COMM_STATUS {
    uint32_t errors, rx_queue, tx_queue, event_status;
} OB_COMM_STATUS;
OB_API OB_STATUS OB_CALL OB_CommGetStatus(OB_HANDLE handle, OB_COMM_STATUS* status);

#ifdef __cplusplus
}
#endif
#endif
