/**
 * @file radovl.h
 * @brief radovl: display-board library for radar consoles.
 *
 * Fifty plain C functions. A console calls them to show radar and camera
 * pictures in windows over its screens: the PPI (plan-position indicator,
 * the radar picture), the Mini window (a magnified sector of it), the A/R
 * window (a two-band scope display) and the TV window (camera video), each
 * on display channel 1 or 2. Every call becomes register reads and writes on
 * the display board, carried by the board's kernel driver (on Linux: by the
 * simulated board, see radovl/sim.h).
 *
 * @par Calling convention
 * cdecl, undecorated names, one 32-bit slot per argument. Every parameter
 * is declared with the full type of its slot (int32_t, uint32_t or float)
 * and must stay so: a console passes whole slots. Where the library reads a
 * narrower value, the parameter's documentation says which: an "int8" or
 * "int16" parameter is the low 8 or 16 bits of the slot read as signed, a
 * "uint8" parameter the low 8 bits read as unsigned; the upper bits are
 * ignored (a channel passed as 0x101 is channel 1, one passed as 0x100 is
 * channel 0). float parameters are IEEE single precision.
 *
 * @par Calling rules
 * - Call KT_RDSP_Init() first. Until it has succeeded every other function
 *   except KT_RDSP_SetScreenProp() returns #RADOVL_STATUS_NOT_INITIALISED
 *   and touches nothing.
 * - Any thread may call any function. Calls are serialised: each one holds
 *   a process-wide lock from entry to return, so its read-modify-write
 *   sequences on board registers and all of its driver requests are done
 *   before another thread's call starts, and a call from another thread
 *   waits meanwhile. Which of two threads' calls comes first is the host's
 *   business: the library keeps no order between threads, so a host that
 *   needs one (a window opened before it is moved) orders its own threads.
 *   The lock is the library's own; the board's named mutex is opened at
 *   start-up as before and the display path never waits on it, so another
 *   process using the board is not kept out.
 * - Nothing is allocated for the caller and nothing needs to be freed or
 *   closed; there is no shutdown call. The board connection stays open until
 *   the process ends and the board keeps its last register values.
 *
 * @par Status values
 * Every function returns one of #RADOVL_STATUS_DONE (1),
 * #RADOVL_STATUS_BAD_ARGUMENT (-1) and #RADOVL_STATUS_NOT_INITIALISED (-2),
 * nothing else. Window functions check in a fixed order: start-up done
 * (else -2), channel 1 or 2 (else -1), then their own arguments in the order
 * documented (the first that fails gives -1). A refused call has written
 * nothing to the board, except where its documentation says it read a
 * register first. Once the checks pass the call returns 1: the results of
 * the board accesses themselves are not examined.
 *
 * @par Coordinates and colours
 * Window positions are screen coordinates of the console's desktop (the
 * primary monitor's top-left pixel is (0, 0); monitors to its left or above
 * have negative coordinates). Only a window's top-left corner is checked,
 * against the screen bounds recorded at start-up (the screen clip box: left
 * <= x <= right - 1, top <= y <= bottom - 1); a window may reach past the
 * right or bottom edge. The board gets positions relative to the monitor
 * that holds the point. Colours are 0xRRGGBBxx (bits 0-7 ignored); colour
 * keys are 0x00RRGGBB.
 *
 * @par Files read
 * KT_RDSP_Init() reads the DSP program ./out/idbout/testcmp.out (and, on the
 * fallback path, ./out/vibout/clktest_b.out, clktest_c.out and NicTest.out),
 * relative to the current directory, and the display-mode file
 * out/dismodeconfig.inf in the directory of the host executable. Windows
 * builds use backslashes.
 */
#ifndef RADOVL_RADOVL_H
#define RADOVL_RADOVL_H

#include <stdint.h>

/**
 * @def RADOVL_CALL
 * The calling convention of every function: cdecl on Windows.
 * @def RADOVL_API
 * Import (or, while building the library, export) marker of every function.
 */
#if defined(_WIN32)
#  define RADOVL_CALL __cdecl
#  if defined(RADOVL_BUILDING)
#    define RADOVL_API __declspec(dllexport)
#  elif defined(RADOVL_STATIC) /* linked from the library's objects, not the DLL */
#    define RADOVL_API
#  else
#    define RADOVL_API __declspec(dllimport)
#  endif
#else
#  define RADOVL_CALL
#  if defined(RADOVL_BUILDING)
#    define RADOVL_API __attribute__((visibility("default")))
#  else
#    define RADOVL_API
#  endif
#endif

/** @name Status values
 *  The only values any function returns.
 *  @{ */
/** The operation was carried out. */
#define RADOVL_STATUS_DONE 1
/** The channel or another argument is out of range; also KT_RDSP_Init()
 *  when the board cannot be opened. */
#define RADOVL_STATUS_BAD_ARGUMENT (-1)
/** KT_RDSP_Init() has not completed successfully yet. */
#define RADOVL_STATUS_NOT_INITIALISED (-2)
/** @} */

#ifdef __cplusplus
extern "C" {
#endif

/* ------------------------------------------------------------------------ */
/** @name Start-up
 *  @{ */

/**
 * @brief Opens and starts the board: after it, every window function works.
 *
 * Opens board 0 and tests its scratch register (0xB0203008); when the
 * register does not keep a written value, runs the fallback programs on
 * board 0 and opens board 1 instead. Then loads the video DSPs' program into
 * both video DSPs and starts them, initialises the I2C master and both video
 * decoders, records the screen bounds, and sets the initial display state:
 * TV mode and RD P2p bits on for both channels, TV and A/R colour keys
 * 0xFF00FF on both channels, channel 1's A/R colour green. Finally it reads
 * the display mode from the display-mode file (1 when the file is absent).
 * It opens no window.
 *
 * Prints one line on standard output for each program file it opens or
 * fails to open and for a board that cannot be opened; nothing else.
 *
 * It may be called again: the whole start-up runs anew on a new connection.
 *
 * @return #RADOVL_STATUS_DONE when the board was opened and brought up
 *         (failures while loading programs or initialising the decoders are
 *         not detected and do not change the status);
 *         #RADOVL_STATUS_BAD_ARGUMENT when board 0 (or, on the fallback path,
 *         board 1) cannot be opened; the library then stays, or becomes
 *         again, as before start-up and every window function returns
 *         #RADOVL_STATUS_NOT_INITIALISED. Never #RADOVL_STATUS_NOT_INITIALISED.
 */
RADOVL_API int32_t RADOVL_CALL KT_RDSP_Init(void);

/** @} */

/* ------------------------------------------------------------------------ */
/** @name Screen placement and mixer
 *  Settings shared by all window kinds.
 *  @{ */

/**
 * @brief Switches the channel's overlay on or off: bit 25 of its
 *        PpiKeyControl (0xB0203018 for channel 1, 0xB020301C for channel 2).
 * @param channel int8: display channel, 1 or 2.
 * @param on      int32: 1 on, 0 off.
 * @return -2 before start-up; -1 for a channel other than 1 or 2, or an
 *         @p on other than 0 and 1; else 1.
 */
RADOVL_API int32_t RADOVL_CALL KT_RDSP_OpenOverlay(int32_t channel /* int8 */, int32_t on);

/**
 * @brief Sets the screen property (bits 0-1 of DisplayControl, 0xB0203000) or
 *        the display mode that chooses each window's output.
 *
 * With @p which 1 the display mode is recorded and takes effect for each
 * window at its next placement (open, move or resize): mode 1 sends a window
 * on a secondary monitor (one whose top-left corner is not (0, 0)) to the
 * second output, mode 0 the other way round, any other mode leaves the
 * output-select bit as it is. No register is written.
 *
 * Needs no start-up: before KT_RDSP_Init() the display mode is recorded
 * (start-up then replaces it with the display-mode file's), while the
 * screen property, which needs the board, is refused.
 *
 * @param which uint8: 0 the screen property, 1 the display mode.
 * @param value uint8: screen property 0..3, or display mode 0..255.
 * @return -1 for @p which other than 0 and 1, for @p which 0 with
 *         @p value above 3, and for @p which 0 before start-up; else 1.
 *         Never -2.
 */
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetScreenProp(int32_t which /* uint8 */, int32_t value /* uint8 */);

/**
 * @brief Sets or clears the video-combined bit (bit 4 of TestAndCombine,
 *        0xB0203008).
 * @param on int8: 1 set, 0 clear.
 * @return -2 before start-up; -1 for @p on other than 0 and 1; else 1.
 */
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetPPIVideoCombined(int32_t on /* int8 */);

/**
 * @brief Sets the channel's TV mode bits (bits 0-1 of the video DSP's
 *        ChannelControl, 0xB0080000): 01 for mode 0, 11 for mode 1.
 *
 * The bits are also what KT_RDSP_FrostTV() restores, and they choose the TV
 * capture defaults at the next TV placement.
 * @param channel int8: display channel, 1 or 2 (checked after the mode).
 * @param mode    int8: 0 or 1.
 * @return -2 before start-up; -1 for a mode other than 0 and 1, then for a
 *         channel other than 1 and 2; else 1.
 */
RADOVL_API int32_t RADOVL_CALL SetTVP2pMode(int32_t channel /* int8 */, int32_t mode /* int8 */);

/**
 * @brief Sets (mode 1) or clears (mode 0) the channel's RD P2p bits: bits 3,
 *        6 and 8 of ChannelControl and bit 0 of the PPI, Mini and both A/R
 *        band control words (0xB0080100, 0xB0080200, 0xB0080300, 0xB0080400).
 * @param channel int8: display channel, 1 or 2 (checked after the mode).
 * @param mode    int8: 0 or 1.
 * @return -2 before start-up; -1 for a mode other than 0 and 1, then for a
 *         channel other than 1 and 2; else 1.
 */
RADOVL_API int32_t RADOVL_CALL SetRDP2pMode(int32_t channel /* int8 */, int32_t mode /* int8 */);

/** @} */

/* ------------------------------------------------------------------------ */
/** @name PPI window
 *  The radar picture, one window per channel, 1 x 1 to 1200 x 1200 pixels.
 *  The library remembers each channel's last accepted position, size,
 *  centre offset and distance; everything else lives in the registers.
 *  Every placement (open, move, resize) programs size, sweep centre, range,
 *  start and end, the output choice and the distance scale.
 *  @{ */

/**
 * @brief Places the channel's PPI window at (@p x, @p y), @p w x @p h pixels,
 *        and shows it.
 * @param channel int8: display channel, 1 or 2.
 * @param x       int16: screen column of the window's left edge.
 * @param y       int16: screen row of its top edge.
 * @param w       int16: width, 1..1200.
 * @param h       int16: height, 1..1200.
 * @return -2 before start-up; -1, in this order, for a channel other than
 *         1 and 2, @p x outside the screen's columns, @p y outside its rows,
 *         @p w outside 1..1200, @p h outside 1..1200; else 1.
 */
RADOVL_API int32_t RADOVL_CALL KT_RDSP_OpenPPI(int32_t channel /* int8 */, int32_t x /* int16 */,
                                               int32_t y /* int16 */, int32_t w /* int16 */,
                                               int32_t h /* int16 */);
/**
 * @brief Hides the channel's PPI window (DisplayControl bit 8 or 9 and
 *        ChannelControl bit 13 cleared); its position, size and settings stay.
 * @param channel int8: display channel, 1 or 2.
 * @return -2 before start-up; -1 for a channel other than 1 and 2; else 1.
 */
RADOVL_API int32_t RADOVL_CALL KT_RDSP_ClosePPI(int32_t channel /* int8 */);
/**
 * @brief Moves the channel's PPI window to (@p x, @p y) with its last size,
 *        without showing or hiding it.
 * @param channel int8: display channel, 1 or 2.
 * @param x       int16: screen column of the window's left edge.
 * @param y       int16: screen row of its top edge.
 * @return -2 before start-up; -1 for a channel other than 1 and 2, then for
 *         @p x or @p y outside the screen; else 1.
 */
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetPPIXY(int32_t channel /* int8 */, int32_t x /* int16 */,
                                                int32_t y /* int16 */);
/**
 * @brief Resizes the channel's PPI window at its last position, without
 *        showing or hiding it.
 * @param channel int8: display channel, 1 or 2.
 * @param w       int16: width, 1..1200.
 * @param h       int16: height, 1..1200.
 * @return -2 before start-up; -1 for a channel other than 1 and 2, then for
 *         @p w, then @p h, outside 1..1200; else 1.
 */
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetPPIWH(int32_t channel /* int8 */, int32_t w /* int16 */,
                                                int32_t h /* int16 */);
/**
 * @brief Chooses where the sweep centre sits (bits 4-5 of PpiControl,
 *        0xB0080100); takes effect at the next placement.
 * @param channel int8: display channel, 1 or 2.
 * @param mode    int16: 0 bottom-left corner, range from the height;
 *                1 centre of the window (the start-up state);
 *                2 bottom-left corner, range from the width.
 * @return -2 before start-up; -1 for a channel other than 1 and 2, then for
 *         a mode other than 0, 1 and 2; else 1.
 */
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetPPIMode(int32_t channel /* int8 */, int32_t mode /* int16 */);
/**
 * @brief Moves the sweep centre to (@p dx, @p dy) from the window's top-left
 *        corner, with the range reaching the farthest window edge.
 *
 * Acts only while the sweep centre is centred (mode 1 of
 * KT_RDSP_SetPPIMode()); in a corner mode the call writes nothing and
 * returns 1. The next placement puts the centre back in the middle.
 * @param channel int8: display channel, 1 or 2.
 * @param dx      int16: columns from the window's left edge, 0..1200.
 * @param dy      int16: rows from its top edge, 0..1200.
 * @return -2 before start-up; -1 for a channel other than 1 and 2, then for
 *         @p dx, then @p dy, outside 0..1200; else 1.
 */
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetPPICenter(int32_t channel /* int8 */, int32_t dx /* int16 */,
                                                    int32_t dy /* int16 */);
/**
 * @brief Sets the ship's heading shown in the PPI (bits 0-15 of PpiHeading,
 *        0xB0080128, 4096 units per turn).
 * @param channel int8: display channel, 1 or 2.
 * @param angle   float32: degrees, any finite value; brought into [0, 360).
 * @return -2 before start-up; -1 for a channel other than 1 and 2, then for
 *         an angle that is not finite or whose magnitude reaches 2^31
 *         degrees; else 1.
 */
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetPPIShipDir(int32_t channel /* int8 */, float angle);
/**
 * @brief Fills the channel's PPI colour table (256 words at 0xB0301000 for
 *        channel 1, 0xB0302000 for channel 2) with a ramp from black to
 *        @p colour.
 * @param channel int8: display channel, 1 or 2.
 * @param colour  uint32: 0xRRGGBBxx; bits 0-7 are ignored.
 * @return -2 before start-up; -1 for a channel other than 1 and 2; else 1.
 */
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetPPIColor(int32_t channel /* int8 */, uint32_t colour);
/**
 * @brief Fills the channel's PPI line colour table (256 words at 0xB0301800
 *        or 0xB0302800) with a ramp from black to @p colour.
 * @param channel int8: display channel, 1 or 2.
 * @param colour  uint32: 0xRRGGBBxx; bits 0-7 are ignored.
 * @return -2 before start-up; -1 for a channel other than 1 and 2; else 1.
 */
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetPPILineColor(int32_t channel /* int8 */, uint32_t colour);
/**
 * @brief Switches the sweep on or off (bit 27 of PpiFlags, 0xB0080002).
 * @param channel int8: display channel, 1 or 2.
 * @param on      int32: 1 on, 0 off.
 * @return -2 before start-up; -1 for a channel other than 1 and 2; -1 for
 *         @p on other than 0 and 1 (PpiFlags has then been read, nothing
 *         written); else 1.
 */
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetPPIScan(int32_t channel /* int8 */, int32_t on);
/**
 * @brief Freezes (@p frost 0: bits 24-27 of PpiFlags set) or releases
 *        (@p frost 1: bits 24-27 cleared) the PPI picture.
 *
 * Bit 27 is also the sweep bit of KT_RDSP_SetPPIScan(): freezing turns the
 * sweep on and releasing turns it off.
 * @param channel int8: display channel, 1 or 2.
 * @param frost   int8: 0 freeze, 1 release.
 * @return -2 before start-up; -1 for a channel other than 1 and 2; -1 for
 *         @p frost other than 0 and 1 (PpiFlags has then been read, nothing
 *         written); else 1.
 */
RADOVL_API int32_t RADOVL_CALL KT_RDSP_FrostPPI(int32_t channel /* int8 */, int32_t frost /* int8 */);
/**
 * @brief Sets the range distance: writes it into the display program's
 *        distance variable and sets the distance scale (distance x 500 /
 *        range in pixels) in PpiScale and PpiGate and in their Mini window
 *        copies.
 *
 * Every later placement recomputes the scale from this distance.
 * @param channel int8: display channel, 1 or 2.
 * @param dist    int16: distance, 1..32767.
 * @return -2 before start-up; -1 for a channel other than 1 and 2, then for
 *         @p dist below 1; else 1.
 */
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetPPIDist(int32_t channel /* int8 */, int32_t dist /* int16 */);
/**
 * @brief Sets the PPI gate (bits 16-23 of PpiGate, 0xB0080114).
 * @param channel int8: display channel, 1 or 2.
 * @param gate    int8: 1..8.
 * @return -2 before start-up; -1 for a channel other than 1 and 2, then for
 *         @p gate outside 1..8; else 1.
 */
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetPPIGate(int32_t channel /* int8 */, int32_t gate /* int8 */);
/**
 * @brief Sets the trail length (bits 16-31 of PpiTails, 0xB008002C).
 * @param channel int8: display channel, 1 or 2.
 * @param tail    int32: 0 or more; its low 16 bits are written.
 * @return -2 before start-up; -1 for a channel other than 1 and 2, then for
 *         a negative @p tail; else 1.
 */
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetPPITail(int32_t channel /* int8 */, int32_t tail);
/**
 * @brief Shows the PPI window again at its stored place (@p on 1, as
 *        KT_RDSP_OpenPPI() with the last accepted position and size) or hides
 *        it (@p on 0, as KT_RDSP_ClosePPI()).
 * @param channel int8: display channel, 1 or 2.
 * @param on      int16: 1 show, 0 hide.
 * @return -2 before start-up; -1 for a channel other than 1 and 2, or @p on
 *         other than 0 and 1; otherwise the status of the open or close it
 *         calls, which is -1 when the stored window fails the open's checks
 *         (for instance before any open, with its size still 0); else 1.
 */
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetPPISwitch(int32_t channel /* int8 */, int32_t on /* int16 */);
/**
 * @brief Sets the line trail length (bits 0-15 of PpiTails, 0xB008002C).
 * @param channel  int8: display channel, 1 or 2.
 * @param lineTail uint32: any value; its low 16 bits are written.
 * @return -2 before start-up; -1 for a channel other than 1 and 2; else 1.
 */
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetPPILineTail(int32_t channel /* int8 */, uint32_t lineTail);
/**
 * @brief Puts the channel's PPI on top (@p on 1): the PPI priority bit 24 of
 *        DisplayControl (set for channel 1, cleared for channel 2) and bit 26
 *        of the channel's PpiKeyControl.
 * @param channel int8: display channel, 1 or 2.
 * @param on      int32: 1 on top; 0 writes nothing.
 * @return -2 before start-up; -1 for a channel other than 1 and 2, then for
 *         @p on other than 0 and 1; else 1.
 */
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetPPIOnTop(int32_t channel /* int8 */, int32_t on);

/** @} */

/* ------------------------------------------------------------------------ */
/** @name Mini window
 *  A magnified sector of the PPI, 1 x 1 to 1200 x 1200 pixels, aimed by a
 *  distance and a direction. Every placement (open, move, resize, scale)
 *  aims it again with the last accepted distance and direction. Until a
 *  PPI has been placed on either channel, its placement also chooses the
 *  output (bit 28 of the channel's PpiKeyControl).
 *  @{ */

/**
 * @brief Places the channel's Mini window at (@p x, @p y), @p w x @p h
 *        pixels, and shows it.
 * @param channel int8: display channel, 1 or 2.
 * @param x       int16: screen column of the window's left edge.
 * @param y       int16: screen row of its top edge.
 * @param w       int16: width, 1..1200.
 * @param h       int16: height, 1..1200.
 * @return -2 before start-up; -1, in this order, for a channel other than
 *         1 and 2, @p x outside the screen's columns, @p y outside its rows,
 *         @p w outside 1..1200, @p h outside 1..1200; else 1.
 */
RADOVL_API int32_t RADOVL_CALL KT_RDSP_OpenMiniWin(int32_t channel /* int8 */, int32_t x /* int16 */,
                                                   int32_t y /* int16 */, int32_t w /* int16 */,
                                                   int32_t h /* int16 */);
/**
 * @brief Hides the channel's Mini window (bit 31 of its start register and
 *        ChannelControl bit 12 cleared); everything else stays.
 * @param channel int8: display channel, 1 or 2.
 * @return -2 before start-up; -1 for a channel other than 1 and 2; else 1.
 */
RADOVL_API int32_t RADOVL_CALL KT_RDSP_CloseMiniWin(int32_t channel /* int8 */);
/**
 * @brief Moves the channel's Mini window to (@p x, @p y) with its last size,
 *        without showing or hiding it.
 * @param channel int8: display channel, 1 or 2.
 * @param x       int16: screen column of the window's left edge.
 * @param y       int16: screen row of its top edge.
 * @return -2 before start-up; -1 for a channel other than 1 and 2, then for
 *         @p x or @p y outside the screen; else 1.
 */
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetMiniWinXY(int32_t channel /* int8 */, int32_t x /* int16 */,
                                                    int32_t y /* int16 */);
/**
 * @brief Resizes the channel's Mini window at its last position, without
 *        showing or hiding it.
 * @param channel int8: display channel, 1 or 2.
 * @param w       int16: width, 1..1200.
 * @param h       int16: height, 1..1200.
 * @return -2 before start-up; -1 for a channel other than 1 and 2, then for
 *         @p w, then @p h, outside 1..1200; else 1.
 */
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetMiniWinWH(int32_t channel /* int8 */, int32_t w /* int16 */,
                                                    int32_t h /* int16 */);
/**
 * @brief Chooses how the Mini window is aimed (bits 4-5 of its control word,
 *        0xB0080200); takes effect at the next placement or aim.
 * @param channel int8: display channel, 1 or 2.
 * @param mode    int8: 0 corner (the aimed point at the window's lower-left
 *                corner), 1 centred (the aimed point in the window's middle).
 * @return -2 before start-up; -1 for a channel other than 1 and 2, then for
 *         a mode other than 0 and 1; else 1.
 */
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetMiniWinMode(int32_t channel /* int8 */, int32_t mode /* int8 */);
/**
 * @brief Fills the channel's Mini window colour table (256 words at
 *        0xB0303000 for channel 1, 0xB0304000 for channel 2) with a ramp from
 *        black to @p colour.
 * @param channel int8: display channel, 1 or 2.
 * @param colour  uint32: 0xRRGGBBxx; bits 0-7 are ignored.
 * @return -2 before start-up; -1 for a channel other than 1 and 2; else 1.
 */
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetMiniWinColor(int32_t channel /* int8 */, uint32_t colour);
/**
 * @brief Aims the Mini window at the point @p distance away from the PPI's
 *        sweep centre in @p direction, using the PPI's distance scale.
 *
 * Writes the aim for the current mode (corner or centred); with neither
 * mode set in the control word it writes nothing and keeps the previous aim.
 * @param channel   int8: display channel, 1 or 2.
 * @param distance  int16: 0..300.
 * @param direction float32: degrees clockwise from straight up, any finite
 *                  value; brought into [0, 360).
 * @return -2 before start-up; -1 for a channel other than 1 and 2, then for
 *         @p distance outside 0..300, then for a direction that is not finite
 *         or whose magnitude reaches 2^31 degrees; else 1.
 */
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetMiniWinDistDir(int32_t channel /* int8 */,
                                                         int32_t distance /* int16 */, float direction);
/**
 * @brief Sets the magnification (the Mini scale register's bits 0-7 become
 *        16 / @p scale) and places the window again with it.
 * @param channel int8: display channel, 1 or 2.
 * @param scale   int16: 1..8 (start-up sets 1).
 * @return -2 before start-up; -1 for a channel other than 1 and 2, then for
 *         @p scale outside 1..8; else 1.
 */
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetMiniWinScale(int32_t channel /* int8 */, int32_t scale /* int16 */);

/** @} */

/* ------------------------------------------------------------------------ */
/** @name A/R window
 *  The scope display, drawn as two stacked bands of half the window's
 *  height each, 1 x 1 to 512 x 512 pixels.
 *  @{ */

/**
 * @brief Places the channel's A/R window at (@p x, @p y), @p w x @p h pixels,
 *        shows it, presets both bands and resets its colour key to 0xFF00FF.
 * @param channel int8: display channel, 1 or 2.
 * @param x       int16: screen column of the window's left edge.
 * @param y       int16: screen row of its top edge.
 * @param w       int16: width, 1..512.
 * @param h       int16: height, 1..512.
 * @return -2 before start-up; -1, in this order, for a channel other than
 *         1 and 2, @p x outside the screen's columns, @p y outside its rows,
 *         @p w outside 1..512, @p h outside 1..512; else 1.
 */
RADOVL_API int32_t RADOVL_CALL KT_RDSP_OpenAr(int32_t channel /* int8 */, int32_t x /* int16 */,
                                              int32_t y /* int16 */, int32_t w /* int16 */,
                                              int32_t h /* int16 */);
/**
 * @brief Hides the channel's A/R window (DisplayControl bit 12 or 13 and bit 3
 *        of both band control words cleared); everything else stays.
 * @param channel int8: display channel, 1 or 2.
 * @return -2 before start-up; -1 for a channel other than 1 and 2; else 1.
 */
RADOVL_API int32_t RADOVL_CALL KT_RDSP_CloseAr(int32_t channel /* int8 */);
/**
 * @brief Moves the channel's A/R window to (@p x, @p y) with its last size,
 *        without showing or hiding it.
 * @param channel int8: display channel, 1 or 2.
 * @param x       int16: screen column of the window's left edge.
 * @param y       int16: screen row of its top edge.
 * @return -2 before start-up; -1 for a channel other than 1 and 2, then for
 *         @p x or @p y outside the screen; else 1.
 */
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetArXY(int32_t channel /* int8 */, int32_t x /* int16 */,
                                               int32_t y /* int16 */);
/**
 * @brief Resizes the channel's A/R window at its last position, without
 *        showing or hiding it.
 * @param channel int8: display channel, 1 or 2.
 * @param w       int16: width, 1..512.
 * @param h       int16: height, 1..512.
 * @return -2 before start-up; -1 for a channel other than 1 and 2, then for
 *         @p w or @p h outside 1..512; else 1.
 */
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetArWH(int32_t channel /* int8 */, int32_t w /* int16 */,
                                               int32_t h /* int16 */);
/**
 * @brief Sets the A/R gate (bits 16-23 of the upper band's gate register).
 * @param channel int8: display channel, 1 or 2.
 * @param gate    int8: 0..7.
 * @return -2 before start-up; -1 for a channel other than 1 and 2, then for
 *         @p gate outside 0..7; else 1.
 */
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetArGate(int32_t channel /* int8 */, int32_t gate /* int8 */);
/**
 * @brief Sets the A/R distance: writes it into the display program's
 *        distance variable and into bits 16-31 of the upper band's distance
 *        register.
 * @param channel int8: display channel, 1 or 2.
 * @param dist    int16: 1..32767.
 * @return -2 before start-up; -1 for a channel other than 1 and 2, then for
 *         @p dist below 1; else 1.
 */
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetArDist(int32_t channel /* int8 */, int32_t dist /* int16 */);
/**
 * @brief Sets the A/R colour: each primary is on or off (bits 26 red, 25
 *        green, 24 blue of ArKeyControl, 0xB0203020 or 0xB0203024), on when
 *        its byte of @p colour is not 0.
 *
 * Bit 26 is also the A/R on-top bit of KT_RDSP_SetAROnTop(): a colour
 * without red clears it.
 * @param channel int8: display channel, 1 or 2.
 * @param colour  uint32: 0xRRGGBBxx; bits 0-7 are ignored.
 * @return -2 before start-up; -1 for a channel other than 1 and 2; else 1.
 */
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetArColor(int32_t channel /* int8 */, uint32_t colour);
/**
 * @brief Sets the A/R colour key (bits 0-23 of ArKeyControl).
 * @param channel int8: display channel, 1 or 2.
 * @param key     uint32: 0x00RRGGBB; bits 24-31 are ignored.
 * @return -2 before start-up; -1 for a channel other than 1 and 2; else 1.
 */
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetArColorKey(int32_t channel /* int8 */, uint32_t key);
/**
 * @brief Puts the channel's A/R window on top (@p on 1): the A/R priority bit
 *        26 of DisplayControl (set for channel 1, cleared for channel 2) and
 *        bit 26 of the channel's ArKeyControl.
 * @param channel int8: display channel, 1 or 2.
 * @param on      int32: 1 on top; 0 writes nothing.
 * @return -2 before start-up; -1 for a channel other than 1 and 2, then for
 *         @p on other than 0 and 1; else 1.
 */
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetAROnTop(int32_t channel /* int8 */, int32_t on);

/** @} */

/* ------------------------------------------------------------------------ */
/** @name TV window
 *  Camera video from the channel's decoder, scaled from the 720 x 576 frame
 *  into a window of 1 x 1 to 720 x 576 pixels (small windows crop the
 *  frame).
 *  @{ */

/**
 * @brief Places the channel's TV window at (@p x, @p y), @p w x @p h pixels,
 *        shows it and resets its colour key to 0xFF00FF.
 * @param channel int8: display channel, 1 or 2.
 * @param x       int16: screen column of the window's left edge.
 * @param y       int16: screen row of its top edge.
 * @param w       int16: width, 1..720.
 * @param h       int16: height, 1..576.
 * @return -2 before start-up; -1, in this order, for a channel other than
 *         1 and 2, @p x outside the screen's columns, @p y outside its rows,
 *         @p w outside 1..720, @p h outside 1..576; else 1.
 */
RADOVL_API int32_t RADOVL_CALL KT_RDSP_OpenTV(int32_t channel /* int8 */, int32_t x /* int16 */,
                                              int32_t y /* int16 */, int32_t w /* int16 */,
                                              int32_t h /* int16 */);
/**
 * @brief Hides the channel's TV window (DisplayControl bit 10 or 11 cleared,
 *        after the marker word 0x12345678 is written to main DSP address
 *        0x80000000, as on every TV open); everything else stays.
 * @param channel int8: display channel, 1 or 2.
 * @return -2 before start-up; -1 for a channel other than 1 and 2; else 1.
 */
RADOVL_API int32_t RADOVL_CALL KT_RDSP_CloseTV(int32_t channel /* int8 */);
/**
 * @brief Moves the channel's TV window to (@p x, @p y) with its last size,
 *        without showing or hiding it.
 * @param channel int8: display channel, 1 or 2.
 * @param x       int16: screen column of the window's left edge.
 * @param y       int16: screen row of its top edge.
 * @return -2 before start-up; -1 for a channel other than 1 and 2, then for
 *         @p x or @p y outside the screen; else 1 (also before any open,
 *         when the size is still 0 and the scale is left alone).
 */
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetTVXY(int32_t channel /* int8 */, int32_t x /* int16 */,
                                               int32_t y /* int16 */);
/**
 * @brief Resizes the channel's TV window at its last position, without
 *        showing or hiding it.
 * @param channel int8: display channel, 1 or 2.
 * @param w       int16: width, 1..720.
 * @param h       int16: height, 1..576.
 * @return -2 before start-up; -1 for a channel other than 1 and 2, then for
 *         @p w outside 1..720, then @p h outside 1..576; else 1.
 */
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetTVWH(int32_t channel /* int8 */, int32_t w /* int16 */,
                                               int32_t h /* int16 */);
/**
 * @brief Freezes (@p frost 0: the channel's TV mode bits saved and cleared)
 *        or releases (@p frost 1: the saved bits written back) the TV picture.
 *
 * The bits are bits 0-1 of ChannelControl; releasing without an earlier
 * freeze writes the bits last set by SetTVP2pMode().
 * @param channel int8: display channel, 1 or 2.
 * @param frost   int8: 0 freeze, 1 release.
 * @return -2 before start-up; -1 for a channel other than 1 and 2, then for
 *         @p frost other than 0 and 1; else 1.
 */
RADOVL_API int32_t RADOVL_CALL KT_RDSP_FrostTV(int32_t channel /* int8 */, int32_t frost /* int8 */);
/**
 * @brief Sets the brightness register (0x09) of the channel's video decoder
 *        (I2C address 0x5C for channel 1, 0x5D for channel 2).
 * @param channel int8: display channel, 1 or 2.
 * @param level   uint8: 0..255, every value accepted.
 * @return -2 before start-up; -1 for a channel other than 1 and 2; else 1,
 *         whatever the decoder answers.
 */
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetTVBright(int32_t channel /* int8 */, int32_t level /* uint8 */);
/**
 * @brief Sets the colour saturation register (0x0A) of the channel's video
 *        decoder.
 * @param channel int8: display channel, 1 or 2.
 * @param level   uint8: 0..255, every value accepted.
 * @return -2 before start-up; -1 for a channel other than 1 and 2; else 1,
 *         whatever the decoder answers.
 */
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetTVColor(int32_t channel /* int8 */, int32_t level /* uint8 */);
/**
 * @brief Sets the contrast register (0x0C) of the channel's video decoder.
 * @param channel int8: display channel, 1 or 2.
 * @param level   uint8: 0..255, every value accepted.
 * @return -2 before start-up; -1 for a channel other than 1 and 2; else 1,
 *         whatever the decoder answers.
 */
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetTVContrast(int32_t channel /* int8 */, int32_t level /* uint8 */);
/**
 * @brief Puts the channel's TV window on top (@p on 1): the TV priority bit 25
 *        of DisplayControl (set for channel 1, cleared for channel 2) and bit
 *        26 of the channel's TvKeyControl (0xB0203010 or 0xB0203014).
 * @param channel int8: display channel, 1 or 2.
 * @param on      int32: 1 on top; 0 writes nothing.
 * @return -2 before start-up; -1 for a channel other than 1 and 2, then for
 *         @p on other than 0 and 1; else 1.
 */
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetTVOnTop(int32_t channel /* int8 */, int32_t on);
/**
 * @brief Sets the TV colour key (bits 0-23 of TvKeyControl).
 * @param channel int8: display channel, 1 or 2.
 * @param key     uint32: 0x00RRGGBB; bits 24-31 are ignored.
 * @return -2 before start-up; -1 for a channel other than 1 and 2; else 1.
 */
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetTVColorKey(int32_t channel /* int8 */, uint32_t key);

/** @} */

#ifdef __cplusplus
}
#endif

#endif /* RADOVL_RADOVL_H */
