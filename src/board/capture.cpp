#include "board/capture.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "hw/bitfield.h"
#include "hw/driver.h"
#include "platform/platform.h"
#include "radovl/capture.h"
#include "radovl/version.h"

namespace radovl::capture {

bool recording = false;

namespace {

// Start-up alone sends millions of requests: records collect here and go
// to the file in large writes, and at the end of every call.
constexpr size_t BufferBytes = 64 * 1024;

struct CaptureState {
    bool environmentRead = false;
    std::FILE* file = nullptr;
    char path[260] = {};
    uint8_t buffer[BufferBytes];
    size_t used = 0;
    uint32_t callRequests = 0;  // requests recorded since the call began
    uint32_t calls = 0;         // calls whose end reached the file
};

CaptureState capture;

// The file can take no more (a full disk, a removed drive): capture stops,
// the console goes on.
void Abandon(const char* what, int error) {
    platform::Print("radovl: capture to %s stopped: %s failed: %s (%u calls recorded)\n", capture.path, what,
                    std::strerror(error), capture.calls);
    std::fclose(capture.file);
    capture.file = nullptr;
    capture.used = 0;
    recording = false;
}

void Drain() {
    if (capture.used == 0) return;
    errno = 0;
    const bool whole = std::fwrite(capture.buffer, 1, capture.used, capture.file) == capture.used;
    capture.used = 0;
    if (!whole) Abandon("writing", errno != 0 ? errno : EIO);
}

template <typename Record>
void Append(const Record& record) {
    if (capture.used + sizeof record > BufferBytes) Drain();
    if (!recording) return;
    std::memcpy(capture.buffer + capture.used, &record, sizeof record);
    capture.used += sizeof record;
}

// The value a successful read delivered: its units as one little-endian
// number, at most a word.
uint32_t ValueRead(const MemoryRequest& request, const void* destination) {
    const uint32_t bytes = std::min<uint32_t>(FunctionWidth(request.function) * request.count, sizeof(uint32_t));
    uint8_t raw[sizeof(uint32_t)] = {};
    std::memcpy(raw, destination, bytes);
    uint32_t value = 0;
    for (uint32_t i = bytes; i > 0; --i) value = value << 8 | raw[i - 1];
    return value;
}

}  // namespace

bool Start(const char* path) {
    Stop();
    std::snprintf(capture.path, sizeof capture.path, "%s", path);
    capture.file = std::fopen(path, "wb");
    if (capture.file == nullptr) {
        platform::Print("radovl: cannot capture to %s: %s; running without capture\n", path, std::strerror(errno));
        return false;
    }
    recording = true;
    capture.used = 0;
    capture.calls = 0;
    RadovlCaptureHeader header{};
    std::memcpy(header.magic, RADOVL_CAPTURE_MAGIC, RADOVL_CAPTURE_MAGIC_BYTES);
    header.version = RADOVL_CAPTURE_VERSION;
    header.headerBytes = sizeof header;
    std::snprintf(header.library, sizeof header.library, "%s", RADOVL_VERSION_STRING);
    Append(header);
    return true;
}

void Stop() {
    if (capture.file == nullptr) return;
    Drain();
    if (capture.file != nullptr) std::fclose(capture.file);
    capture.file = nullptr;
    recording = false;
}

void BeginCall(const char* name, const uint32_t* args, size_t count) {
    if (!capture.environmentRead) {
        capture.environmentRead = true;
        const char* path = std::getenv("RADOVL_CAPTURE");
        if (path != nullptr && path[0] != '\0') Start(path);
    }
    if (!recording) return;
    RadovlCaptureCall call{};
    call.kind = RADOVL_CAPTURE_KIND_CALL;
    call.argCount = static_cast<uint8_t>(std::min<size_t>(count, RADOVL_CAPTURE_MAX_ARGS));
    std::strncpy(call.name, name, sizeof call.name - 1);
    std::memcpy(call.args, args, call.argCount * sizeof call.args[0]);
    capture.callRequests = 0;
    Append(call);
}

void EndCall(int32_t status) {
    if (!recording) return;
    RadovlCaptureReturn end{};
    end.kind = RADOVL_CAPTURE_KIND_RETURN;
    end.status = status;
    end.requests = capture.callRequests;
    Append(end);
    Drain();
    if (!recording) return;
    if (std::fflush(capture.file) != 0) {
        Abandon("writing", errno != 0 ? errno : EIO);
        return;
    }
    ++capture.calls;
}

void Request(int32_t board, uint32_t code, const void* sent, const void* answered, uint32_t size,
             bool succeeded, int32_t status, const void* readDestination) {
    RadovlCaptureRequest record{};
    record.kind = RADOVL_CAPTURE_KIND_REQUEST;
    record.board = static_cast<uint8_t>(board);
    record.answered = succeeded ? 1 : 0;
    record.code = code;
    std::memcpy(record.sent, sent, std::min<size_t>(size, sizeof record.sent));
    record.status = status;
    if (code == WindowQueryCode && size == sizeof(WindowQuery)) {
        WindowQuery query;
        std::memcpy(&query, answered, sizeof query);
        record.value = query.windowAddress;
        record.extra = query.windowExtra;
    } else if (code == MemoryRequestCode && size == sizeof(MemoryRequest) && readDestination != nullptr &&
               succeeded) {
        MemoryRequest request;
        std::memcpy(&request, sent, sizeof request);
        if (IsReadFunction(request.function)) {
            record.value = ValueRead(request, readDestination);
        }
    }
    ++capture.callRequests;
    Append(record);
}

}  // namespace radovl::capture
