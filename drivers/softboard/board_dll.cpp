// The simulated board as a DLL that the software board driver imports: the
// same simulator as the in-process builds, entered through the driver's
// device operations and the control device. The driver runs the requests
// of every client in one process, so each entry holds one lock.
#include "softboard/board_dll.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <mutex>
#include <utility>

#include "hw/driver.h"
#include "softboard/control_answer.h"
#include "sim/simulator.h"

namespace {

std::mutex& BoardLock() {
    static std::mutex lock;
    return lock;
}

// A power cycle of the boards and controls; handles that clients hold on
// the devices stay open, as the files of a real driver do.
void ResetBoards() {
    auto handles = std::move(radovl::sim::State().handles);
    radovl::sim::PowerCycle();
    radovl::sim::State().handles = std::move(handles);
}

}  // namespace

extern "C" {

void* RadovlBoard_Open(int32_t board) {
    char path[64];
    std::snprintf(path, sizeof path, "\\\\.\\%s%d", radovl::BoardDeviceBaseName, board);
    std::lock_guard<std::mutex> hold(BoardLock());
    void* handle = radovl::sim::OpenDevice(path);
    return handle == INVALID_HANDLE_VALUE ? nullptr : handle;
}

void RadovlBoard_Close(void* handle) {
    std::lock_guard<std::mutex> hold(BoardLock());
    radovl::sim::CloseHandle(handle);
}

int32_t RadovlBoard_Request(void* handle, uint32_t code, void* record, uint32_t size, void* hostBuffer) {
    std::lock_guard<std::mutex> hold(BoardLock());
    return radovl::sim::DeviceIoControl(handle, code, record, size, hostBuffer) ? 1 : 0;
}

int32_t RadovlBoard_ReadOf(uint32_t code, const void* record, uint32_t size, uint32_t* bytes, uint32_t* destination) {
    if (code != radovl::MemoryRequestCode || size != sizeof(radovl::MemoryRequest)) return 0;
    radovl::MemoryRequest request;
    std::memcpy(&request, record, sizeof request);
    if (!radovl::IsReadFunction(request.function)) return 0;
    *bytes = radovl::FunctionWidth(request.function) * request.count;
    *destination = request.data;
    return 1;
}

uint32_t RadovlBoard_Control(const RadovlControlRequest* request, void* out, uint32_t outSize) {
    std::lock_guard<std::mutex> hold(BoardLock());
    if (request->operation != RadovlControlReset) return RadovlControlAnswer(request, out, outSize);
    ResetBoards();
    return 0;
}

// Wine runs drivers in their own process: a client's addresses are reached
// by writing into that process.
int32_t RadovlBoard_WriteClient(uint32_t processId, uint64_t address, const void* bytes, uint32_t size) {
    HANDLE process = OpenProcess(PROCESS_VM_WRITE | PROCESS_VM_OPERATION, FALSE, processId);
    if (process == nullptr) return 0;
    SIZE_T written = 0;
    const BOOL ok = WriteProcessMemory(process, reinterpret_cast<void*>(static_cast<uintptr_t>(address)), bytes,
                                       size, &written);
    CloseHandle(process);
    return ok && written == size ? 1 : 0;
}

}  // extern "C"
