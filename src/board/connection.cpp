#include "board/connection.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "board/capture.h"
#include "hw/registers.h"

namespace radovl {
namespace {

bool IsOpenHandle(platform::Handle handle) {
    return handle != nullptr && handle != platform::InvalidHandle();
}

// The driver's record carries the low 32 bits of the destination's host
// address: the whole address in the 32-bit product, a tag elsewhere.
uint32_t HostAddress(const void* pointer) {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(pointer));
}

// The driver call, with the record as sent and the answer written to the
// capture file.
bool DeviceControlCaptured(BoardConnection* connection, uint32_t code, void* record, uint32_t size,
                           const int32_t* status, void* hostBuffer) {
    uint8_t sent[sizeof(MemoryRequest)] = {};
    std::memcpy(sent, record, size < sizeof sent ? size : sizeof sent);
    const bool succeeded = platform::DeviceControl(connection->device, code, record, size, hostBuffer);
    capture::Request(connection->boardIndex, code, sent, record, size, succeeded, *status, hostBuffer);
    return succeeded;
}

ErrorCode Send(BoardConnection* connection, uint32_t code, void* record, uint32_t size,
               int32_t* status, void* hostBuffer) {
    if (connection == nullptr) return ErrorSendingRequest;
    const bool succeeded = capture::recording
                               ? DeviceControlCaptured(connection, code, record, size, status, hostBuffer)
                               : platform::DeviceControl(connection->device, code, record, size, hostBuffer);
    if (succeeded) return ErrorOk;
    if (*status < 0) return static_cast<ErrorCode>(*status);
    return ErrorSendingRequest;
}

ErrorCode QueryWindow(BoardConnection* connection) {
    connection->windowAddress = 0;
    connection->windowExtra = 0;
    WindowQuery query{};
    ErrorCode code = Send(connection, WindowQueryCode, &query, sizeof query, &query.status, nullptr);
    if (code != ErrorOk) return code;
    connection->windowAddress = query.windowAddress;
    connection->windowExtra = query.windowExtra;
    return ErrorOk;
}

ErrorCode CloseDevice(BoardConnection* connection) {
    ErrorCode code = ErrorOk;
    if (IsOpenHandle(connection->device) && !platform::CloseHandle(connection->device)) {
        code = ErrorClosingDevice;
    }
    connection->device = nullptr;
    return code;
}

// Close steps 2 and 3: PciControl reset request, then the device.
ErrorCode ResetAndCloseDevice(BoardConnection* connection) {
    SendMemoryRequest(Function::SetBits8, Space::PciInterface, PciControl::Offset, PciControl::ResetDsp,
                      1, connection);
    return CloseDevice(connection);
}

}  // namespace

namespace {

MemoryRequest MakeRequest(uint32_t function, uint32_t space, uint32_t offset, uint32_t count, uint32_t data) {
    MemoryRequest request{};
    request.function = function;
    request.space = space;
    request.offset = offset;
    request.count = count;
    request.data = data;
    return request;
}

}  // namespace

ErrorCode SendMemoryRequest(uint32_t function, uint32_t space, uint32_t offset, uint32_t data,
                            uint32_t count, BoardConnection* connection) {
    MemoryRequest request = MakeRequest(function, space, offset, count, data);
    return Send(connection, MemoryRequestCode, &request, sizeof request, &request.status, nullptr);
}

ErrorCode SendReadRequest(uint32_t function, uint32_t space, uint32_t offset, void* destination,
                          uint32_t count, BoardConnection* connection) {
    MemoryRequest request = MakeRequest(function, space, offset, count, HostAddress(destination));
    return Send(connection, MemoryRequestCode, &request, sizeof request, &request.status, destination);
}

ErrorCode BoardOpen(int32_t n, BoardConnection** out) {
    auto* connection = new (std::nothrow) BoardConnection{};
    if (connection == nullptr) return ErrorCannotInitialise;

    connection->mutex = platform::InvalidHandle();
    connection->boardIndex = n;
    std::snprintf(connection->mutexName, sizeof connection->mutexName, "%s%d", BoardDeviceBaseName, n);

    connection->mutex = platform::CreateNamedMutex(connection->mutexName);
    if (connection->mutex == nullptr) connection->mutex = platform::OpenNamedMutex(connection->mutexName);
    if (connection->mutex == nullptr) {
        delete connection;
        return ErrorMutex;
    }

    char path[300];
    std::snprintf(path, sizeof path, "\\\\.\\%s%d", BoardDeviceBaseName, n);
    connection->device = platform::OpenDevice(path);
    ErrorCode code = ErrorOk;
    if (connection->device == platform::InvalidHandle()) {
        code = ErrorNoDriver + (static_cast<uint32_t>(n) & 0xFFFF);
    } else {
        code = QueryWindow(connection);
        if (code == ErrorOk) {
            SendMemoryRequest(Function::ClearBits8, Space::PciInterface, PciStatus::Offset,
                              PciStatus::ClearedAtOpen, 1, connection);
        }
    }

    if (code != ErrorOk) {
        platform::CloseHandle(connection->mutex);
        ResetAndCloseDevice(connection);
        delete connection;
        *out = nullptr;
        return code;
    }
    *out = connection;
    return ErrorOk;
}

ErrorCode BoardClose(BoardConnection* connection) {
    platform::CloseHandle(connection->mutex);
    ErrorCode code = ResetAndCloseDevice(connection);
    delete connection;
    return code;
}

// ---------------------------------------------------------------------------
// Error texts.
namespace {

struct ErrorText {
    ErrorCode code;  // bits 16-31
    const char* text;
};

struct ErrorFamily {
    uint32_t family;  // bits 24-30 of a code
    const ErrorText* texts;
    size_t count;
    const char* undocumented;  // with the whole code as %08X
};

constexpr ErrorText DriverTexts[] = {
    {0x90010000, "Unsupported driver version"},
    {DriverInvalidFunction, "Invalid register function"},
    {DriverInvalidSpace, "Invalid register space"},
    {DriverInvalidOffset, "Invalid register offset"},
    {DriverInvalidCount, "Invalid register count"},
    {0x900E0000, "Error creating event"},
    {0x90130000, "Timeout during DMA transfer"},
    {0x90140000, "DMA transfer abort"},
};

constexpr ErrorText ConnectionTexts[] = {
    {0xA1010000, "The library\nis already openned"},
    {ErrorNoDriver, "Can't communicate with\nthe driver for board #%d"},
    {ErrorClosingDevice, "Error while closing\nthe device handle"},
    {0xA1040000, "Library version error"},
    {0xA1050000, "Driver version error"},
    {0xA1060000, "Invalid board index"},
    {ErrorSendingRequest, "Error while sending a\nrequest to the driver"},
    {0xA1080000, "Unreadable message"},
    {0xA1090000, "Error on message size"},
    {0xA10A0000, "Error no message in fifo"},
    {0xA10B0000, "Error pointer on message is NULL"},
    {0xA10C0000, "Message buffer size not enough large"},
    {0xA10D0000, "PC to DSP Descriptor not initialized"},
    {0xA10E0000, "Cannot send acknowledge message to DSP\nafter DMA success under indirect message"},
    {0xA10F0000, "Fifo message DSP to PC is corrupted\n"},
};

constexpr ErrorText BoardTexts[] = {
    {0xA2010000, "Illegal parameter"},
    {0xA2030000, "Error while reading file"},
    {0xA2040000, "Hardware revision unsupported\nby this SDK version"},
    {0xA2050000, "Can't read SDK's\nregistry key"},
    {ErrorCannotInitialise, "Can't initialize\nboard"},
    {ErrorMutex, "Can't create or\nopen board's mutex"},
};

constexpr ErrorText MemoryTexts[] = {
    {0xA3010000, "Dsp software is too big.\n"},
    {0xA3020000, "Error while writing\nto the DSP memory."},
    {0xA3030000, "Error while reading\nfrom the DSP memory."},
    {0xA3040000, "The DSP software did not\nacknowledge its start."},
    {0xA3050000, "Can't load coff file."},
    {0xA3060000, "Mapping DSP bars failed."},
    {0xA3070000, "Cannot download DSP code\nfrom PCI in this boot mode."},
    {0xA3080000, "Cannot access to the DSP memory's\nblock. Already in use."},
    {0xA3090000, "Cannot reached the end of\nblock. Outbound 4 Mo"},
    {0xA30A0000, "Cannot release mutex\non memory page"},
    {0xA30B0000, "Cannot attribute value\nto null pointer"},
    {0xA30C0000, "Cannot write code section in DSP memory\n"},
    {0xA30D0000, "Cannot write code section in DSP memory\ncause too long for DSP memory page"},
};

template <size_t N>
constexpr ErrorFamily Family(uint32_t family, const ErrorText (&texts)[N], const char* undocumented) {
    return ErrorFamily{family, texts, N, undocumented};
}

constexpr ErrorFamily Families[] = {
    Family(0x10, DriverTexts, "Undocumented error for\nZUDE64 Driver : %08X"),
    Family(0x21, ConnectionTexts, "Undocumented error for\nDIDI64Zovo : %08X"),
    Family(0x22, BoardTexts, "Undocumented Error for\nZuzU64Rade : %08X"),
    Family(0x23, MemoryTexts, "Undocumented error for\nDod128Ozo : %08X"),
};

char errorTextBuffer[200];

}  // namespace

const char* BoardErrorText(ErrorCode code) {
    if (code == ErrorOk) return "Ok";
    const uint32_t family = (code >> 24) & 0x7F;
    const ErrorCode reason = code & 0xFFFF0000;
    for (const ErrorFamily& f : Families) {
        if (f.family != family) continue;
        for (size_t i = 0; i < f.count; ++i) {
            if (f.texts[i].code != reason) continue;
            if (reason == ErrorNoDriver) {
                std::snprintf(errorTextBuffer, sizeof errorTextBuffer, f.texts[i].text,
                              static_cast<int>(code & 0xFFFF));
            } else {
                std::snprintf(errorTextBuffer, sizeof errorTextBuffer, "%s", f.texts[i].text);
            }
            return errorTextBuffer;
        }
        std::snprintf(errorTextBuffer, sizeof errorTextBuffer, f.undocumented, code);
        return errorTextBuffer;
    }
    std::snprintf(errorTextBuffer, sizeof errorTextBuffer, "Undocumented Error :\ncode is : %08X", code);
    return errorTextBuffer;
}

}  // namespace radovl
