// The one way into the library: every exported call runs its body through
// RunExport, which is where whatever must hold for a whole call (the
// process-wide lock, the capture of calls and requests) is taken and given
// back. Operations that call one another call radovl::op directly, never
// an export, so RunExport is entered once per host call.
#pragma once

#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "board/capture.h"
#include "radovl/capture.h"
#include "platform/platform.h"

namespace radovl {

// One argument as the host passed it: the raw bits of its 32-bit stack
// slot (a float's bit pattern, not its value).
struct ArgumentSlot {
    uint32_t bits;
    ArgumentSlot(int32_t value) : bits(static_cast<uint32_t>(value)) {}
    ArgumentSlot(uint32_t value) : bits(value) {}
    ArgumentSlot(float value) : bits(0) {
        static_assert(sizeof(float) == sizeof(uint32_t), "a float fills one 32-bit slot");
        std::memcpy(&bits, &value, sizeof bits);
    }
};

// The call and its status in the capture file, when one is written.
inline void CaptureCallBegin(const char* name, std::initializer_list<ArgumentSlot> slots) {
    uint32_t args[RADOVL_CAPTURE_MAX_ARGS] = {};
    size_t count = 0;
    for (const ArgumentSlot& slot : slots) {
        if (count < sizeof args / sizeof args[0]) args[count++] = slot.bits;
    }
    capture::BeginCall(name, args, count);
}
inline int32_t CaptureCallEnd(int32_t status) {
    capture::EndCall(status);
    return status;
}

// Runs one exported call: name is the export's undecorated name, slots its
// arguments in order, body the operation; returns the body's status. The
// call lock is held throughout, so a call from another host thread waits
// until this one has sent all of its requests.
template <typename Body>
int32_t RunExport(const char* name, std::initializer_list<ArgumentSlot> slots, Body&& body) {
    const platform::CallHeld held;
    CaptureCallBegin(name, slots);
    return CaptureCallEnd(body());
}

}  // namespace radovl
