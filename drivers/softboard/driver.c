/* The software board driver: a Windows kernel-mode driver that creates the
 * devices of boards 0 and 1 (\\.\RarU64Ruz0 and \\.\RarU64Ruz1) and serves
 * their memory requests and window queries with the simulated board
 * (radovl_board.dll), plus a control device for tests. A test double that
 * runs under Wine; see drivers/README.md. */
#include <ntddk.h>

#include "softboard/board_dll.h"

/* Largest record the board's request codes carry. */
#define LARGEST_RECORD 32u
/* A read's value, as the board DLL fills it before it goes to the client:
 * the board refuses more than one 32-bit unit. */
#define READ_BUFFER_BYTES 64u

#define CONTROL_DEVICE (-1)

typedef struct DeviceExtension {
    LONG board; /* 0 or 1, or CONTROL_DEVICE */
} DeviceExtension;

static const WCHAR* const DeviceNames[] = {L"\\Device\\RarU64Ruz0", L"\\Device\\RarU64Ruz1",
                                           L"\\Device\\RadovlBoardControl"};
static const WCHAR* const LinkNames[] = {L"\\DosDevices\\RarU64Ruz0", L"\\DosDevices\\RarU64Ruz1",
                                         L"\\DosDevices\\RadovlBoardControl"};
static const LONG DeviceBoards[] = {0, 1, CONTROL_DEVICE};
#define DEVICE_COUNT 3
#define CONTROL_DEVICE_INDEX 2 /* the boards' devices come first */

static NTSTATUS Complete(PIRP irp, NTSTATUS status, ULONG_PTR information) {
    irp->IoStatus.Status = status;
    irp->IoStatus.Information = information;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

static LONG BoardOf(PDEVICE_OBJECT device) { return ((DeviceExtension*)device->DeviceExtension)->board; }

/* ------------------------------------------------------------------------
 * Where Wine differs from Windows. Wine runs drivers in a device host
 * process of their own, not in the caller's context: a method-neither
 * record arrives as a copy in Type3InputBuffer, the answer goes back
 * through Irp->UserBuffer, and an address inside the record (a read's
 * destination) belongs to the caller's process, which the board DLL writes
 * through the caller's process id. On Windows the driver would write
 * through that address directly. And Wine completes a device open without
 * waiting for the driver's answer to IRP_MJ_CREATE. */

static const void* RecordIn(PIO_STACK_LOCATION stack) {
    return stack->Parameters.DeviceIoControl.Type3InputBuffer;
}

static void* RecordOut(PIRP irp) { return irp->UserBuffer; }

static BOOLEAN DeliverRead(PIRP irp, uint32_t destination, const void* bytes, uint32_t size) {
    const ULONG processId = (ULONG)(ULONG_PTR)PsGetThreadProcessId(irp->Tail.Overlay.Thread);
    return RadovlBoard_WriteClient(processId, destination, bytes, size) != 0;
}

/* An absent board has no device name, so that opening it fails as on a
 * machine without that board: refusing IRP_MJ_CREATE is not enough here. */
static void ShowBoard(LONG board, BOOLEAN present) {
    UNICODE_STRING name;
    UNICODE_STRING link;
    if (board < 0 || board >= CONTROL_DEVICE_INDEX) return;
    RtlInitUnicodeString(&name, DeviceNames[board]);
    RtlInitUnicodeString(&link, LinkNames[board]);
    IoDeleteSymbolicLink(&link);
    if (present) IoCreateSymbolicLink(&link, &name);
}

/* ------------------------------------------------------------------------ */

static NTSTATUS ServeBoardRequest(PIRP irp, PIO_STACK_LOCATION stack) {
    const ULONG code = stack->Parameters.DeviceIoControl.IoControlCode;
    const ULONG size = stack->Parameters.DeviceIoControl.InputBufferLength;
    ULONG record[LARGEST_RECORD / 4];
    UCHAR readBuffer[READ_BUFFER_BYTES];
    uint32_t readBytes = 0;
    uint32_t destination = 0;
    BOOLEAN read = FALSE;
    NTSTATUS status = STATUS_SUCCESS;

    if (size > sizeof record || RecordIn(stack) == NULL || RecordOut(irp) == NULL ||
        stack->Parameters.DeviceIoControl.OutputBufferLength < size) {
        return Complete(irp, STATUS_INVALID_PARAMETER, 0);
    }
    RtlZeroMemory(readBuffer, sizeof readBuffer);
    RtlCopyMemory(record, RecordIn(stack), size);
    read = RadovlBoard_ReadOf(code, record, size, &readBytes, &destination) != 0;
    /* A read larger than the buffer goes to the board without one, which
     * refuses it. */
    if (!RadovlBoard_Request(stack->FileObject->FsContext, code, record, size,
                             read && readBytes <= sizeof readBuffer ? readBuffer : NULL)) {
        status = STATUS_UNSUCCESSFUL;
    } else if (read && !DeliverRead(irp, destination, readBuffer, readBytes)) {
        status = STATUS_ACCESS_VIOLATION;
    }
    RtlCopyMemory(RecordOut(irp), record, size);
    return Complete(irp, status, size);
}

static NTSTATUS ServeControl(PIRP irp, PIO_STACK_LOCATION stack) {
    void* buffer = irp->AssociatedIrp.SystemBuffer;
    RadovlControlRequest request;
    ULONG answered = 0;
    if (stack->Parameters.DeviceIoControl.IoControlCode != RADOVL_CONTROL_CODE || buffer == NULL ||
        stack->Parameters.DeviceIoControl.InputBufferLength < sizeof request) {
        return Complete(irp, STATUS_INVALID_DEVICE_REQUEST, 0);
    }
    RtlCopyMemory(&request, buffer, sizeof request);
    answered = RadovlBoard_Control(&request, buffer, stack->Parameters.DeviceIoControl.OutputBufferLength);
    if (request.operation == RadovlControlSetBoardPresent) ShowBoard(request.args[0], request.args[1] != 0);
    if (request.operation == RadovlControlReset) {
        for (LONG board = 0; board < CONTROL_DEVICE_INDEX; ++board) ShowBoard(board, TRUE);
    }
    return Complete(irp, STATUS_SUCCESS, answered);
}

static NTSTATUS WINAPI DispatchControl(PDEVICE_OBJECT device, PIRP irp) {
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    if (BoardOf(device) == CONTROL_DEVICE) return ServeControl(irp, stack);
    return ServeBoardRequest(irp, stack);
}

/* Opening a board's device opens it on the simulated board; an absent
 * board has no device to open. */
static NTSTATUS WINAPI DispatchCreate(PDEVICE_OBJECT device, PIRP irp) {
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    const LONG board = BoardOf(device);
    void* handle = NULL;
    if (board != CONTROL_DEVICE) {
        handle = RadovlBoard_Open(board);
        if (handle == NULL) return Complete(irp, STATUS_NO_SUCH_DEVICE, 0);
    }
    stack->FileObject->FsContext = handle;
    return Complete(irp, STATUS_SUCCESS, 0);
}

static NTSTATUS WINAPI DispatchClose(PDEVICE_OBJECT device, PIRP irp) {
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    if (BoardOf(device) != CONTROL_DEVICE && stack->FileObject->FsContext != NULL) {
        RadovlBoard_Close(stack->FileObject->FsContext);
    }
    return Complete(irp, STATUS_SUCCESS, 0);
}

static void WINAPI DriverUnload(PDRIVER_OBJECT driver) {
    UNICODE_STRING link;
    for (int i = 0; i < DEVICE_COUNT; ++i) {
        RtlInitUnicodeString(&link, LinkNames[i]);
        IoDeleteSymbolicLink(&link);
    }
    while (driver->DeviceObject != NULL) IoDeleteDevice(driver->DeviceObject);
}

NTSTATUS WINAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath) {
    UNICODE_STRING name;
    UNICODE_STRING link;
    NTSTATUS status = STATUS_SUCCESS;
    (void)registryPath;

    driver->MajorFunction[IRP_MJ_CREATE] = DispatchCreate;
    driver->MajorFunction[IRP_MJ_CLOSE] = DispatchClose;
    driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = DispatchControl;
    driver->DriverUnload = DriverUnload;

    for (int i = 0; i < DEVICE_COUNT && NT_SUCCESS(status); ++i) {
        PDEVICE_OBJECT device = NULL;
        RtlInitUnicodeString(&name, DeviceNames[i]);
        RtlInitUnicodeString(&link, LinkNames[i]);
        status = IoCreateDevice(driver, sizeof(DeviceExtension), &name, 0xC350, 0, FALSE, &device);
        if (!NT_SUCCESS(status)) break;
        ((DeviceExtension*)device->DeviceExtension)->board = DeviceBoards[i];
        status = IoCreateSymbolicLink(&link, &name);
    }
    if (!NT_SUCCESS(status)) DriverUnload(driver);
    return status;
}
