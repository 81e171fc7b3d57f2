/**
 * @file sim.h
 * @brief radovl simulated board: control and inspection API.
 *
 * Exported only by builds that carry the simulated board (the Linux library
 * and the Windows sim flavour), never by the product DLL. In those builds
 * the library's driver requests go to an in-process simulation of the
 * display board and its kernel driver: boards 0 and 1 with the main DSP and
 * both video DSPs' memory, the PCI interface, host-port bridges, I2C master
 * and two video decoders, plus the monitors and screen that the library
 * queries. These functions set the simulation up, inject faults and read
 * the board back. Tests, the radovl-sim tool and outside scripts (Python
 * ctypes) use them; the names and signatures are a stable contract.
 *
 * Any thread may call these functions at any time, also while the library
 * runs a call on another thread: each one holds the simulator's lock, which
 * in the library's build is the library's own lock, so it waits for a
 * running library call to finish and sees the board between calls. Nothing
 * to free but saved boards (RadovlSim_FreeBoards()). The simulated clock is virtual: the library's waits only add to
 * RadovlSim_SleptMs().
 */
#ifndef RADOVL_SIM_H
#define RADOVL_SIM_H

#include <stdint.h>

#include "radovl.h"

#ifdef __cplusplus
extern "C" {
#endif

/** Driver request code of a memory request (RadovlSimRequest::code). */
#define RADOVL_SIM_CODE_MEMORY_REQUEST 0xC3502047u
/** Driver request code of a window query (RadovlSimRequest::code). */
#define RADOVL_SIM_CODE_WINDOW_QUERY 0xC35020C3u

/** Requests the trace keeps unless told otherwise: the most recent million. */
#define RADOVL_SIM_TRACE_DEFAULT_CAPACITY 1000000

/** One driver request as the simulated driver saw it. */
typedef struct RadovlSimRequest {
    int32_t board;     /**< board index the request went to */
    uint32_t code;     /**< driver request code: 0xC3502047 memory request, 0xC35020C3 window query */
    uint32_t function; /**< MemoryRequest fields as sent (0 for a window query) */
    uint32_t space;    /**< address space of the request */
    uint32_t offset;   /**< offset within the space */
    uint32_t data;     /**< as sent; for reads this is the host address, not comparable */
    uint32_t count;    /**< count field as sent */
    int32_t status;    /**< status the simulated driver answered */
    uint32_t value;    /**< for reads: the value delivered; for writes: the value written */
} RadovlSimRequest;

/** @name Set-up
 *  @{ */

/**
 * @brief Everything back to its start, as a power cycle of board and
 *        process: the library to its load state (not started), both boards
 *        present and at power-on, no scratch fault, no request faults, window
 *        queries answered with zeros, I2C busy reads 1, default monitors and
 *        screen, the real executable path, empty trace with its memory
 *        released and nothing dropped, virtual clock 0. The trace settings are the watcher's, not the board's, and
 *        stay as they are: on or off (RadovlSim_SetTraceEnabled()) and the
 *        capacity (RadovlSim_SetTraceCapacity()).
 */
RADOVL_API void RADOVL_CALL RadovlSim_Reset(void);

/**
 * @brief Sets the screen clip box that KT_RDSP_Init() records as the screen
 *        bounds (default 0, 0, 1280, 1024).
 * @param left   first column.
 * @param top    first row.
 * @param right  one past the last column.
 * @param bottom one past the last row.
 */
RADOVL_API void RADOVL_CALL RadovlSim_SetScreen(int32_t left, int32_t top, int32_t right, int32_t bottom);
/** @brief Removes every monitor; points are then taken relative to (0, 0). */
RADOVL_API void RADOVL_CALL RadovlSim_ClearMonitors(void);
/**
 * @brief Adds a monitor after those present (default: one, 0, 0, 1280, 1024).
 *
 * A point belongs to the first monitor in order that holds it, else to the
 * nearest one; a monitor whose top-left corner is not (0, 0) is secondary.
 * @param left   first column.
 * @param top    first row.
 * @param right  one past the last column.
 * @param bottom one past the last row.
 */
RADOVL_API void RADOVL_CALL RadovlSim_AddMonitor(int32_t left, int32_t top, int32_t right, int32_t bottom);
/**
 * @brief Sets the host executable's path, whose directory holds the
 *        display-mode file out/dismodeconfig.inf.
 * @param path the path (copied), or NULL for the real one.
 */
RADOVL_API void RADOVL_CALL RadovlSim_SetExecutablePath(const char *path);
/**
 * @brief Makes a board present or absent; opening an absent board fails.
 * @param board   0 or 1.
 * @param present 1 present (default), 0 absent.
 */
RADOVL_API void RADOVL_CALL RadovlSim_SetBoardPresent(int32_t board, int32_t present);
/**
 * @brief Makes the board's scratch register (0xB0203008) fail to keep a
 *        written value: reads see bit 16 set, so start-up takes the fallback
 *        path to board 1.
 * @param board 0 or 1.
 * @param on    1 fault, 0 none (default).
 */
RADOVL_API void RADOVL_CALL RadovlSim_SetScratchFault(int32_t board, int32_t on);
/**
 * @brief Sets how many I2C status reads show busy after each command.
 * @param reads 0 never busy, -1 busy for ever after, N > 0 the next N reads
 *              (default 1). A core left busy for ever by -1 answers again
 *              after a call with 0 or more.
 */
RADOVL_API void RADOVL_CALL RadovlSim_SetI2cBusyReads(int32_t reads);
/**
 * @brief Makes driver requests fail: the request is not carried out (a
 *        failed write changes nothing, a failed read delivers nothing).
 * @param first  first request to fail, 1-based, counted since the last
 *               RadovlSim_TraceClear() or RadovlSim_Reset().
 * @param count  number of requests from @p first; -1 every request from
 *               @p first on; 0 none.
 * @param status driver status of the failure: negative, or 0 for a failure
 *               without a code.
 */
RADOVL_API void RADOVL_CALL RadovlSim_FailRequests(int32_t first, int32_t count, int32_t status);
/**
 * @brief Sets the two words the board's driver answers to a window query
 *        (the library keeps them with its connection; the capture file
 *        records them).
 * @param board   0 or 1.
 * @param address the window address word (default 0).
 * @param extra   the second answer word (default 0).
 */
RADOVL_API void RADOVL_CALL RadovlSim_SetWindowQueryAnswer(int32_t board, uint32_t address, uint32_t extra);

/** @} */

/** @name Board state
 *  Direct reads and writes of the simulated storage: no faults, no I2C or
 *  bridge side effects, nothing started, nothing traced. A board other than
 *  0 and 1, or a video DSP index other than 0 and 1, reads as 0 and takes
 *  no write.
 *  @{ */

/**
 * @brief The 32-bit word at a main DSP address (little-endian, any byte
 *        address).
 * @param board   0 or 1.
 * @param address main DSP address, e.g. 0xB0203000.
 * @return the word; 0 where nothing was written.
 */
RADOVL_API uint32_t RADOVL_CALL RadovlSim_PeekMain(int32_t board, uint32_t address);
/**
 * @brief Stores a 32-bit word at a main DSP address.
 * @param board   0 or 1.
 * @param address main DSP address.
 * @param value   the word.
 */
RADOVL_API void RADOVL_CALL RadovlSim_PokeMain(int32_t board, uint32_t address, uint32_t value);
/**
 * @brief The 32-bit word at an address of a video DSP.
 * @param board   0 or 1.
 * @param dsp     video DSP index: 0 for channel 1, 1 for channel 2.
 * @param address video DSP address, e.g. 0xB0080000.
 * @return the word; 0 where nothing was written.
 */
RADOVL_API uint32_t RADOVL_CALL RadovlSim_PeekVideo(int32_t board, int32_t dsp, uint32_t address);
/**
 * @brief Stores a 32-bit word at an address of a video DSP.
 * @param board   0 or 1.
 * @param dsp     video DSP index: 0 for channel 1, 1 for channel 2.
 * @param address video DSP address.
 * @param value   the word.
 */
RADOVL_API void RADOVL_CALL RadovlSim_PokeVideo(int32_t board, int32_t dsp, uint32_t address, uint32_t value);
/**
 * @brief A register of the board's PCI interface.
 * @param board  0 or 1.
 * @param offset register offset in the PCI interface space.
 * @return the register's value (the four bytes from @p offset), 0 past the
 *         interface's registers.
 */
RADOVL_API uint32_t RADOVL_CALL RadovlSim_PeekPci(int32_t board, uint32_t offset);
/**
 * @brief A register of one of the board's two video decoders.
 * @param board    0 or 1.
 * @param address7 the decoder's 7-bit I2C address: 0x5C (channel 1) or 0x5D
 *                 (channel 2).
 * @param reg      register number, 0..255.
 * @return the register's byte, or -1 for another device address, board or
 *         register number.
 */
RADOVL_API int32_t RADOVL_CALL RadovlSim_PeekDecoder(int32_t board, int32_t address7, int32_t reg);
/**
 * @brief Whether a DSP of the board has been started.
 * @param board  0 or 1.
 * @param target 0 the main DSP, 1 and 2 the video DSPs of channels 1 and 2.
 * @return 1 started, 0 not.
 */
RADOVL_API int32_t RADOVL_CALL RadovlSim_DspStarted(int32_t board, int32_t target);
/** @brief Milliseconds the library has waited on the virtual clock since the last reset. */
RADOVL_API uint32_t RADOVL_CALL RadovlSim_SleptMs(void);

/** @} */

/** @name Request trace
 *  The requests that reached the simulated driver, in order, window
 *  queries included: the most recent ones, up to the trace's capacity
 *  (RADOVL_SIM_TRACE_DEFAULT_CAPACITY unless set), so that a long run
 *  holds steady memory; older ones are dropped and counted. Requests on a
 *  handle that is not an open simulated device fail and are not traced.
 *  @{ */

/**
 * @brief Empties the trace, releasing its memory, sets the dropped count to
 *        0 and restarts the request count of RadovlSim_FailRequests().
 */
RADOVL_API void RADOVL_CALL RadovlSim_TraceClear(void);
/** @brief Number of requests in the trace now. */
RADOVL_API int32_t RADOVL_CALL RadovlSim_TraceCount(void);
/**
 * @brief Copies one request of the trace.
 * @param index 0-based position in the trace, 0 the oldest request kept.
 * @param out   receives the request; left as it was when @p index is out of
 *              range.
 * @return 1 when filled, 0 when @p index is out of range.
 */
RADOVL_API int32_t RADOVL_CALL RadovlSim_TraceGet(int32_t index, RadovlSimRequest *out);

/** @} */

/** @name Additions beyond the base contract
 *  @{ */

/**
 * @brief Trace recording on (default) or off. Off, requests are still
 *        counted for RadovlSim_FailRequests() but not stored: long program
 *        loads then cost no memory. The setting survives RadovlSim_Reset().
 * @param on 1 record, 0 do not.
 */
RADOVL_API void RADOVL_CALL RadovlSim_SetTraceEnabled(int32_t on);
/**
 * @brief Named-mutex failures, for tests of opening the board.
 * @param mode 0 none, 1 creating fails (opening still works), 2 creating and
 *             opening both fail.
 */
RADOVL_API void RADOVL_CALL RadovlSim_SetMutexFault(int32_t mode);
/** @brief Simulated kernel handles (devices and mutexes) currently open. */
RADOVL_API int32_t RADOVL_CALL RadovlSim_OpenHandles(void);
/**
 * @brief Requests that reached the simulated driver since the last trace
 *        clear, whether or not the trace recorded them.
 */
RADOVL_API uint32_t RADOVL_CALL RadovlSim_RequestCount(void);

/** @brief Called with every request that reaches the simulated driver, once
 *         answered, whether or not the trace records it. Observers and read
 *         sources run on the thread that sent the request, with the
 *         simulator's lock held: they may call RadovlSim_* functions, but
 *         must not wait for another thread that does. */
typedef void(RADOVL_CALL *RadovlSimObserver)(const RadovlSimRequest *request, void *context);
/**
 * @brief Sets the one observer of requests (NULL: none). RadovlSim_Reset()
 *        removes it. Lets a host follow millions of requests without
 *        keeping them.
 */
RADOVL_API void RADOVL_CALL RadovlSim_SetRequestObserver(RadovlSimObserver observer, void *context);
/** @brief Asked for the value of each successful read, once the board has
 *         served it: return 1 and set *value to deliver that value instead,
 *         0 to deliver the board's. */
typedef int32_t(RADOVL_CALL *RadovlSimReadSource)(const RadovlSimRequest *request, uint32_t *value, void *context);
/**
 * @brief Sets the one read source (NULL: none). RadovlSim_Reset() removes
 *        it. Lets a host replay what another board answered.
 */
RADOVL_API void RADOVL_CALL RadovlSim_SetReadSource(RadovlSimReadSource source, void *context);
/** @brief Asked before each request is served, with the request as sent
 *         (no value yet): return 0 to serve it as usual; 1 to fail the
 *         driver call without serving it, *status the record's status
 *         word; 2 to serve it, then answer with *status in the record's
 *         status word and the driver call succeeding. */
typedef int32_t(RADOVL_CALL *RadovlSimAnswerSource)(const RadovlSimRequest *request, int32_t *status, void *context);
/**
 * @brief Sets the one answer source (NULL: none). RadovlSim_Reset() removes
 *        it. Lets a host replay the requests another board's driver failed
 *        or answered with an error status; RadovlSim_FailRequests() comes
 *        first.
 */
RADOVL_API void RADOVL_CALL RadovlSim_SetAnswerSource(RadovlSimAnswerSource source, void *context);
/**
 * @brief Hands one driver request to a board as its driver would take it on
 *        an open device: the record is answered in place and a read's value
 *        is delivered to @p destination. Traced and counted like any request.
 * @param board       0 or 1; a board that is absent or out of range refuses.
 * @param code        driver request code (RADOVL_SIM_CODE_*).
 * @param record      the request record, @p size bytes (28 or 12).
 * @param destination where a read delivers its units; NULL for a write.
 * @return 1 when the driver call succeeded, 0 when it failed.
 */
RADOVL_API int32_t RADOVL_CALL RadovlSim_SendRequest(int32_t board, uint32_t code, void *record, uint32_t size,
                                                     void *destination);
/**
 * @brief Sets how many requests the trace keeps: the most recent ones.
 *
 * When the trace holds more, the oldest are dropped at once and counted by
 * RadovlSim_TraceDropped(). The capacity stays until set again, through
 * RadovlSim_TraceClear() and RadovlSim_Reset().
 * @param entries N >= 1 keeps the last N requests; -1 keeps every request
 *                (no bound: 36 bytes a request, for tools and tests that
 *                need a whole trace, up to 2^31 - 1 requests).
 * @return 1 when set; 0 for another value, the capacity unchanged.
 */
RADOVL_API int32_t RADOVL_CALL RadovlSim_SetTraceCapacity(int32_t entries);
/** @brief The trace's capacity: N, or -1 for no bound. */
RADOVL_API int32_t RADOVL_CALL RadovlSim_TraceCapacity(void);
/**
 * @brief Requests recorded and then dropped from the trace's old end since
 *        the last RadovlSim_TraceClear() or RadovlSim_Reset(): 0 means the
 *        trace holds every request recorded since then.
 */
RADOVL_API uint64_t RADOVL_CALL RadovlSim_TraceDropped(void);
/**
 * @brief The library's display mode (DisMode) as start-up's reading of the
 *        display-mode file or KT_RDSP_SetScreenProp(1, ...) left it: the
 *        mode the next window placement applies. 1 before start-up.
 */
RADOVL_API int32_t RADOVL_CALL RadovlSim_DisplayMode(void);
/**
 * @brief Saves both boards as they stand: every memory, the PCI interface
 *        registers, the I2C core and decoders, which DSPs run, presence,
 *        scratch fault and window query answer. A saved board shares its
 *        memory pages with the live one until one side writes a page, so a
 *        save costs a pointer a page, whatever the programs loaded. Saved
 *        boards are the watcher's: RadovlSim_Reset() leaves them.
 * @return a number from 1 naming the save, for RadovlSim_RestoreBoards()
 *         and RadovlSim_FreeBoards().
 */
RADOVL_API int32_t RADOVL_CALL RadovlSim_SaveBoards(void);
/**
 * @brief Puts both boards back as they were saved; the save stays for
 *        more restores. The host, the trace, request faults and the request
 *        count are left as they are.
 * @param saved a number RadovlSim_SaveBoards() gave.
 * @return 1 when restored, 0 for a number that names no save (nothing
 *         changes).
 */
RADOVL_API int32_t RADOVL_CALL RadovlSim_RestoreBoards(int32_t saved);
/**
 * @brief Gives a save's memory back; the number then names nothing. Another
 *        number, or 0, is ignored.
 * @param saved a number RadovlSim_SaveBoards() gave.
 */
RADOVL_API void RADOVL_CALL RadovlSim_FreeBoards(int32_t saved);

/** @} */

#ifdef __cplusplus
}
#endif

#endif /* RADOVL_SIM_H */
