/* Installs, starts, stops and removes the software board driver as a
 * kernel driver service (under Wine, in a prefix of its own).
 *
 *   radovl_driver_install install DRIVER.sys BOARD.dll
 *   radovl_driver_install remove
 *
 * install copies the driver to system32\drivers and the simulated board
 * DLL it imports to system32, registers the service (started with the
 * system, so that every session of the prefix has the board), starts it
 * and waits until its control device answers. Exits with 0 on success. */
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include "softboard/control.h"

#define SERVICE_NAME "RadovlBoard"
#define DRIVER_FILE "radovl_driver.sys"
#define BOARD_FILE "radovl_board.dll"
/* The first start of a fresh prefix brings up the device host. */
#define START_WAIT_MS 60000
#define POLL_MS 100

static int Fail(const char* what) {
    fprintf(stderr, "radovl_driver_install: %s failed (error %lu)\n", what, (unsigned long)GetLastError());
    return 1;
}

static int Copy(const char* from, const char* directory, const char* file, char* to, size_t toSize) {
    snprintf(to, toSize, "%s\\%s", directory, file);
    return CopyFileA(from, to, FALSE) != 0;
}

static int WaitForControlDevice(void) {
    for (DWORD waited = 0; waited < START_WAIT_MS; waited += POLL_MS) {
        HANDLE device = CreateFileA(RADOVL_CONTROL_DEVICE_PATH, GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, NULL);
        if (device != INVALID_HANDLE_VALUE) {
            CloseHandle(device);
            return 1;
        }
        Sleep(POLL_MS);
    }
    return 0;
}

static int Install(const char* driverPath, const char* boardPath) {
    char system[MAX_PATH];
    char drivers[MAX_PATH];
    char driverTarget[MAX_PATH + 32];
    char boardTarget[MAX_PATH + 32];
    if (GetSystemDirectoryA(system, sizeof system) == 0) return Fail("GetSystemDirectoryA");
    snprintf(drivers, sizeof drivers, "%s\\drivers", system);
    if (!Copy(driverPath, drivers, DRIVER_FILE, driverTarget, sizeof driverTarget)) return Fail("copying the driver");
    if (!Copy(boardPath, system, BOARD_FILE, boardTarget, sizeof boardTarget)) return Fail("copying the board DLL");

    SC_HANDLE manager = OpenSCManagerA(NULL, NULL, SC_MANAGER_ALL_ACCESS);
    if (manager == NULL) return Fail("OpenSCManagerA");
    SC_HANDLE service = CreateServiceA(manager, SERVICE_NAME, SERVICE_NAME, SERVICE_ALL_ACCESS, SERVICE_KERNEL_DRIVER,
                                       SERVICE_AUTO_START, SERVICE_ERROR_NORMAL, driverTarget, NULL, NULL, NULL, NULL,
                                       NULL);
    if (service == NULL && GetLastError() == ERROR_SERVICE_EXISTS) {
        service = OpenServiceA(manager, SERVICE_NAME, SERVICE_ALL_ACCESS);
    }
    if (service == NULL) {
        CloseServiceHandle(manager);
        return Fail("CreateServiceA");
    }
    /* The service database stays locked while the prefix is still starting
     * the services that start with the system. */
    BOOL started = FALSE;
    for (DWORD waited = 0; !started && waited < START_WAIT_MS; waited += POLL_MS) {
        started = StartServiceA(service, 0, NULL) || GetLastError() == ERROR_SERVICE_ALREADY_RUNNING;
        if (!started && GetLastError() != ERROR_SERVICE_DATABASE_LOCKED) break;
        if (!started) Sleep(POLL_MS);
    }
    CloseServiceHandle(service);
    CloseServiceHandle(manager);
    if (!started) return Fail("StartServiceA");
    if (!WaitForControlDevice()) return Fail("waiting for " RADOVL_CONTROL_DEVICE_PATH);
    printf("radovl_driver_install: %s running\n", SERVICE_NAME);
    return 0;
}

static int Remove(void) {
    SC_HANDLE manager = OpenSCManagerA(NULL, NULL, SC_MANAGER_ALL_ACCESS);
    if (manager == NULL) return Fail("OpenSCManagerA");
    SC_HANDLE service = OpenServiceA(manager, SERVICE_NAME, SERVICE_ALL_ACCESS);
    if (service == NULL) {
        CloseServiceHandle(manager);
        return Fail("OpenServiceA");
    }
    SERVICE_STATUS status;
    ControlService(service, SERVICE_CONTROL_STOP, &status);  /* not running is fine */
    const BOOL deleted = DeleteService(service);
    CloseServiceHandle(service);
    CloseServiceHandle(manager);
    if (!deleted) return Fail("DeleteService");
    printf("radovl_driver_install: %s removed\n", SERVICE_NAME);
    return 0;
}

int main(int argc, char** argv) {
    if (argc == 4 && strcmp(argv[1], "install") == 0) return Install(argv[2], argv[3]);
    if (argc == 2 && strcmp(argv[1], "remove") == 0) return Remove();
    fprintf(stderr, "usage: radovl_driver_install install DRIVER.sys BOARD.dll | remove\n");
    return 2;
}
