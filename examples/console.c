/* The smallest console: starts the board and opens a PPI window.
 *
 * Against an installed radovl (PREFIX):
 *   cc -std=c99 console.c $(pkg-config --cflags --libs radovl) -o console
 *   LD_LIBRARY_PATH=PREFIX/lib ./console
 * With the simulated-board library it runs anywhere; start-up then reads the
 * DSP programs from ./out (radovl-sim make-programs writes them) and says so
 * when they are missing. */
#include <radovl/radovl.h>

#include <stdio.h>

static const char *StatusName(int32_t status) {
    switch (status) {
        case RADOVL_STATUS_DONE: return "done";
        case RADOVL_STATUS_BAD_ARGUMENT: return "bad argument";
        case RADOVL_STATUS_NOT_INITIALISED: return "not initialised";
        default: return "unknown status";
    }
}

int main(void) {
    const int32_t init = KT_RDSP_Init();
    printf("KT_RDSP_Init: %s\n", StatusName(init));
    if (init != RADOVL_STATUS_DONE) return 1;
    const int32_t ppi = KT_RDSP_OpenPPI(1, 100, 50, 400, 300);
    printf("KT_RDSP_OpenPPI(1, 100, 50, 400, 300): %s\n", StatusName(ppi));
    return ppi == RADOVL_STATUS_DONE ? 0 : 1;
}
