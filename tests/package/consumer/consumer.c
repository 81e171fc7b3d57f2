/* A console-like host built outside radovl: it starts the simulated board,
 * uses one export and checks the result on the board. PACKAGE_VERSION is
 * the version its build system reported for the package. */
#include <radovl/radovl.h>
#include <radovl/sim.h>
#include <radovl/version.h>

#include <stdio.h>
#include <string.h>

static int failures = 0;

static void expect(const char *what, long long got, long long want) {
    if (got != want) {
        printf("FAIL %s: got %lld, expected %lld\n", what, got, want);
        ++failures;
    }
}

int main(void) {
    RadovlSim_Reset();
    expect("OpenOverlay before start-up", KT_RDSP_OpenOverlay(1, 1), RADOVL_STATUS_NOT_INITIALISED);
    expect("KT_RDSP_Init", KT_RDSP_Init(), RADOVL_STATUS_DONE);
    expect("OpenOverlay(1, 1)", KT_RDSP_OpenOverlay(1, 1), RADOVL_STATUS_DONE);
    expect("overlay bit of 0xB0203018", RadovlSim_PeekMain(0, 0xB0203018u) & 0x02000000u, 0x02000000);
    expect("OpenOverlay(3, 1)", KT_RDSP_OpenOverlay(3, 1), RADOVL_STATUS_BAD_ARGUMENT);
    if (strcmp(RADOVL_VERSION_STRING, PACKAGE_VERSION) != 0) {
        printf("FAIL radovl/version.h says %s, the package %s\n", RADOVL_VERSION_STRING, PACKAGE_VERSION);
        ++failures;
    }
    printf("consumer of radovl %s: %s\n", RADOVL_VERSION_STRING, failures == 0 ? "ok" : "FAILED");
    return failures == 0 ? 0 : 1;
}
