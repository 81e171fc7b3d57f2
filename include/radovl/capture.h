/**
 * @file capture.h
 * @brief The capture file: what a console asked the library and what the
 *        library sent the board's driver, as written when RADOVL_CAPTURE
 *        names a file.
 *
 * Layout, all little-endian, no padding between records:
 *
 *   RadovlCaptureHeader                          once, 32 bytes
 *   then, for every export call the host made:
 *     RadovlCaptureCall                          64 bytes: name and argument slots
 *     RadovlCaptureRequest ...                   48 bytes each: every driver request of the call
 *     and among them, where the call read them (version 2):
 *     RadovlCapturePlatform ...                  32 bytes: the screen's clip box, a monitor query
 *     RadovlCaptureFile ...                      16 bytes, then the name's and the file's bytes
 *     RadovlCaptureReturn                        16 bytes: the status the call returned
 *
 * Every record starts with its kind byte. Version 2 adds what the library
 * read besides the board, so a replay reproduces the site: the screen
 * bounds start-up read, each monitor query and its answer, and each file
 * start-up opened (the display-mode file, the DSP programs) with its bytes,
 * or that it was absent; a file once per call however often it is opened.
 * Version 1 files are version 2 files without these records. Only the host's own calls are
 * recorded; operations the library runs for itself inside a call (start-up
 * opening windows, say) show only as that call's requests.
 *
 * The library writes through a buffer and hands the file everything up to
 * the end of each call before the call returns, so a console that crashes
 * loses at most the call in progress. When a write fails (a full disk, a
 * file-size limit), the library cuts the file back to the end of the last
 * whole call, prints one line saying so, and captures no more: the file is
 * then a complete capture of the calls before. A reader of a file that
 * ends otherwise (a crash) stops at the last whole record and reports
 * where the file ended.
 *
 * The library never replaces a file: when the file named exists (the
 * capture of the console's run before a restart), it writes a new file
 * beside it, NAME.1.EXT, NAME.2.EXT and so on, the first free one, and
 * prints the name it used once. A device or pipe is written as it is.
 *
 * A reader accepts files whose version it knows; a later version may
 * change any record.
 */
#ifndef RADOVL_CAPTURE_H
#define RADOVL_CAPTURE_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/** The file's first eight bytes. */
#define RADOVL_CAPTURE_MAGIC "RADOVCAP"
#define RADOVL_CAPTURE_MAGIC_BYTES 8
/** The format described here. */
#define RADOVL_CAPTURE_VERSION 2u

/** Kind byte of each record. */
#define RADOVL_CAPTURE_KIND_CALL 1u
#define RADOVL_CAPTURE_KIND_REQUEST 2u
#define RADOVL_CAPTURE_KIND_RETURN 3u
#define RADOVL_CAPTURE_KIND_PLATFORM 4u
#define RADOVL_CAPTURE_KIND_FILE 5u

/** What a platform record holds. */
#define RADOVL_CAPTURE_SCREEN 1u  /**< the screen's clip box */
#define RADOVL_CAPTURE_MONITOR 2u /**< the monitor of point (x, y), or the nearest one */

#define RADOVL_CAPTURE_NAME_BYTES 32
#define RADOVL_CAPTURE_MAX_ARGS 7
#define RADOVL_CAPTURE_RECORD_WORDS 7

typedef struct RadovlCaptureHeader {
    char magic[RADOVL_CAPTURE_MAGIC_BYTES]; /**< RADOVL_CAPTURE_MAGIC, no terminator */
    uint32_t version;                       /**< RADOVL_CAPTURE_VERSION */
    uint32_t headerBytes;                   /**< sizeof(RadovlCaptureHeader) */
    char library[16];                       /**< writing library's version, "1.2.3", NUL-padded */
} RadovlCaptureHeader;

/** An export call as the host made it. */
typedef struct RadovlCaptureCall {
    uint8_t kind;                          /**< RADOVL_CAPTURE_KIND_CALL */
    uint8_t argCount;                      /**< slots used in args */
    uint16_t reserved;                     /**< 0 */
    char name[RADOVL_CAPTURE_NAME_BYTES];  /**< undecorated export name, NUL-padded */
    uint32_t args[RADOVL_CAPTURE_MAX_ARGS]; /**< each argument's whole 32-bit slot; a float's bits */
} RadovlCaptureCall;

/** One driver request of the call before it, and the driver's answer. */
typedef struct RadovlCaptureRequest {
    uint8_t kind;     /**< RADOVL_CAPTURE_KIND_REQUEST */
    uint8_t board;    /**< board number of the connection it went to */
    uint8_t answered; /**< 1 when the driver call (DeviceIoControl) succeeded, 0 when it failed */
    uint8_t reserved; /**< 0 */
    uint32_t code;    /**< driver request code: 0xC3502047 memory request, 0xC35020C3 window query */
    /** The record as sent, word for word: a memory request's seven words
        (status, function, space, offset, reserved, count, data; a read's
        data is the low 32 bits of the host's destination address); a
        window query's three words, then zeros. */
    uint32_t sent[RADOVL_CAPTURE_RECORD_WORDS];
    int32_t status;   /**< the record's status word as the driver answered it */
    uint32_t value;   /**< a successful read: the value delivered; a window query: the window address */
    uint32_t extra;   /**< a window query: the second answer word; otherwise 0 */
} RadovlCaptureRequest;

/** The end of the call before it. */
typedef struct RadovlCaptureReturn {
    uint8_t kind;       /**< RADOVL_CAPTURE_KIND_RETURN */
    uint8_t reserved[3];
    int32_t status;     /**< what the export returned */
    uint32_t requests;  /**< driver requests recorded for the call */
    uint32_t reserved2; /**< 0 */
} RadovlCaptureReturn;

/** Something the call read from the system, and its answer. */
typedef struct RadovlCapturePlatform {
    uint8_t kind;      /**< RADOVL_CAPTURE_KIND_PLATFORM */
    uint8_t what;      /**< RADOVL_CAPTURE_SCREEN or RADOVL_CAPTURE_MONITOR */
    uint16_t reserved; /**< 0 */
    int32_t x, y;      /**< a monitor query's point; 0 for the screen */
    int32_t left, top, right, bottom; /**< the rectangle answered */
    uint32_t reserved2; /**< 0 */
} RadovlCapturePlatform;

/** A file the call opened, followed by nameBytes of its name (no
    terminator) and dataBytes of its contents as read. */
typedef struct RadovlCaptureFile {
    uint8_t kind;       /**< RADOVL_CAPTURE_KIND_FILE */
    uint8_t present;    /**< 1 opened, 0 absent (dataBytes 0) */
    uint16_t nameBytes; /**< the name: relative to the executable's folder when inside it ("out/x.out") */
    uint32_t dataBytes;
    uint32_t reserved[2]; /**< 0 */
} RadovlCaptureFile;

#ifdef __cplusplus
}
static_assert(sizeof(RadovlCapturePlatform) == 32, "capture platform record is 32 bytes");
static_assert(sizeof(RadovlCaptureFile) == 16, "capture file record is 16 bytes before its name and data");
static_assert(sizeof(RadovlCaptureHeader) == 32, "capture header is 32 bytes");
static_assert(sizeof(RadovlCaptureCall) == 64, "capture call record is 64 bytes");
static_assert(sizeof(RadovlCaptureRequest) == 48, "capture request record is 48 bytes");
static_assert(sizeof(RadovlCaptureReturn) == 16, "capture return record is 16 bytes");
#endif

#endif /* RADOVL_CAPTURE_H */
