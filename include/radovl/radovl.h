/*
 * radovl: display-board library for radar consoles.
 *
 * Fifty plain cdecl functions. Every argument travels in one 32-bit slot;
 * the comment on each parameter gives the width the library reads from the
 * slot (int8, int16, uint8, ...). Every function returns a status:
 * RADOVL_STATUS_DONE (1), RADOVL_STATUS_BAD_ARGUMENT (-1) or
 * RADOVL_STATUS_NOT_INITIALISED (-2).
 *
 * Calling rules: call KT_RDSP_Init first; call from one thread at a time;
 * nothing the library returns needs to be freed.
 */
#ifndef RADOVL_RADOVL_H
#define RADOVL_RADOVL_H

#include <stdint.h>

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

#define RADOVL_STATUS_DONE 1
#define RADOVL_STATUS_BAD_ARGUMENT (-1)
#define RADOVL_STATUS_NOT_INITIALISED (-2)

#ifdef __cplusplus
extern "C" {
#endif

/* Start-up: opens and brings up the board, loads the DSP programs, sets the
 * initial display registers and reads the display-mode file. */
RADOVL_API int32_t RADOVL_CALL KT_RDSP_Init(void);

/* Screen placement and mixer */
RADOVL_API int32_t RADOVL_CALL KT_RDSP_OpenOverlay(int32_t channel /* int8 */, int32_t on);
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetScreenProp(int32_t which /* uint8 */, int32_t value /* uint8 */);
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetPPIVideoCombined(int32_t on /* int8 */);
RADOVL_API int32_t RADOVL_CALL SetTVP2pMode(int32_t channel /* int8 */, int32_t mode /* int8 */);
RADOVL_API int32_t RADOVL_CALL SetRDP2pMode(int32_t channel /* int8 */, int32_t mode /* int8 */);

/* PPI window */
RADOVL_API int32_t RADOVL_CALL KT_RDSP_OpenPPI(int32_t channel /* int8 */, int32_t x /* int16 */,
                                               int32_t y /* int16 */, int32_t w /* int16 */,
                                               int32_t h /* int16 */);
RADOVL_API int32_t RADOVL_CALL KT_RDSP_ClosePPI(int32_t channel /* int8 */);
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetPPIXY(int32_t channel /* int8 */, int32_t x /* int16 */,
                                                int32_t y /* int16 */);
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetPPIWH(int32_t channel /* int8 */, int32_t w /* int16 */,
                                                int32_t h /* int16 */);
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetPPIMode(int32_t channel /* int8 */, int32_t mode /* int16 */);
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetPPICenter(int32_t channel /* int8 */, int32_t dx /* int16 */,
                                                    int32_t dy /* int16 */);
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetPPIShipDir(int32_t channel /* int8 */, float angle);
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetPPIColor(int32_t channel /* int8 */, uint32_t colour);
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetPPILineColor(int32_t channel /* int8 */, uint32_t colour);
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetPPIScan(int32_t channel /* int8 */, int32_t on);
RADOVL_API int32_t RADOVL_CALL KT_RDSP_FrostPPI(int32_t channel /* int8 */, int32_t frost /* int8 */);
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetPPIDist(int32_t channel /* int8 */, int32_t dist /* int16 */);
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetPPIGate(int32_t channel /* int8 */, int32_t gate /* int8 */);
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetPPITail(int32_t channel /* int8 */, int32_t tail);
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetPPISwitch(int32_t channel /* int8 */, int32_t on /* int16 */);
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetPPILineTail(int32_t channel /* int8 */, uint32_t lineTail);
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetPPIOnTop(int32_t channel /* int8 */, int32_t on);

/* Mini window */
RADOVL_API int32_t RADOVL_CALL KT_RDSP_OpenMiniWin(int32_t channel /* int8 */, int32_t x /* int16 */,
                                                   int32_t y /* int16 */, int32_t w /* int16 */,
                                                   int32_t h /* int16 */);
RADOVL_API int32_t RADOVL_CALL KT_RDSP_CloseMiniWin(int32_t channel /* int8 */);
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetMiniWinXY(int32_t channel /* int8 */, int32_t x /* int16 */,
                                                    int32_t y /* int16 */);
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetMiniWinWH(int32_t channel /* int8 */, int32_t w /* int16 */,
                                                    int32_t h /* int16 */);
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetMiniWinMode(int32_t channel /* int8 */, int32_t mode /* int8 */);
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetMiniWinColor(int32_t channel /* int8 */, uint32_t colour);
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetMiniWinDistDir(int32_t channel /* int8 */,
                                                         int32_t distance /* int16 */, float direction);
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetMiniWinScale(int32_t channel /* int8 */, int32_t scale /* int16 */);

/* A/R window */
RADOVL_API int32_t RADOVL_CALL KT_RDSP_OpenAr(int32_t channel /* int8 */, int32_t x /* int16 */,
                                              int32_t y /* int16 */, int32_t w /* int16 */,
                                              int32_t h /* int16 */);
RADOVL_API int32_t RADOVL_CALL KT_RDSP_CloseAr(int32_t channel /* int8 */);
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetArXY(int32_t channel /* int8 */, int32_t x /* int16 */,
                                               int32_t y /* int16 */);
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetArWH(int32_t channel /* int8 */, int32_t w /* int16 */,
                                               int32_t h /* int16 */);
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetArGate(int32_t channel /* int8 */, int32_t gate /* int8 */);
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetArDist(int32_t channel /* int8 */, int32_t dist /* int16 */);
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetArColor(int32_t channel /* int8 */, uint32_t colour);
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetArColorKey(int32_t channel /* int8 */, uint32_t key);
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetAROnTop(int32_t channel /* int8 */, int32_t on);

/* TV window */
RADOVL_API int32_t RADOVL_CALL KT_RDSP_OpenTV(int32_t channel /* int8 */, int32_t x /* int16 */,
                                              int32_t y /* int16 */, int32_t w /* int16 */,
                                              int32_t h /* int16 */);
RADOVL_API int32_t RADOVL_CALL KT_RDSP_CloseTV(int32_t channel /* int8 */);
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetTVXY(int32_t channel /* int8 */, int32_t x /* int16 */,
                                               int32_t y /* int16 */);
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetTVWH(int32_t channel /* int8 */, int32_t w /* int16 */,
                                               int32_t h /* int16 */);
RADOVL_API int32_t RADOVL_CALL KT_RDSP_FrostTV(int32_t channel /* int8 */, int32_t frost /* int8 */);
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetTVBright(int32_t channel /* int8 */, int32_t level /* uint8 */);
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetTVColor(int32_t channel /* int8 */, int32_t level /* uint8 */);
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetTVContrast(int32_t channel /* int8 */, int32_t level /* uint8 */);
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetTVOnTop(int32_t channel /* int8 */, int32_t on);
RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetTVColorKey(int32_t channel /* int8 */, uint32_t key);

#ifdef __cplusplus
}
#endif

#endif /* RADOVL_RADOVL_H */
