#include "board/capture.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

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
    int file = -1;
    std::string path;
    uint8_t buffer[BufferBytes];
    size_t used = 0;
    uint64_t written = 0;       // bytes the file holds
    uint64_t wholeCalls = 0;    // bytes up to the end of the last whole call
    uint32_t callRequests = 0;  // requests recorded since the call began
    uint32_t calls = 0;         // calls whose end reached the file
    std::vector<std::string> filesOfCall;  // recorded since the call began
};

CaptureState capture;

#ifdef _WIN32
int CreateNewFile(const char* path) {
    return _open(path, _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
}
// A device or pipe is written as it is; only a regular file holds data.
int OpenDevice(const char* path) {
    struct _stat64 status;
    if (_stat64(path, &status) != 0 || (status.st_mode & _S_IFMT) == _S_IFREG) return -1;
    return _open(path, _O_WRONLY | _O_BINARY);
}
int WriteSome(int file, const uint8_t* bytes, size_t count) {
    return _write(file, bytes, static_cast<unsigned>(count));
}
bool CutFile(int file, uint64_t size) { return _chsize_s(file, static_cast<long long>(size)) == 0; }
void CloseFile(int file) { _close(file); }
#else
int CreateNewFile(const char* path) { return open(path, O_WRONLY | O_CREAT | O_EXCL, 0644); }
int OpenDevice(const char* path) {
    struct stat status;
    if (stat(path, &status) != 0 || S_ISREG(status.st_mode)) return -1;
    return open(path, O_WRONLY);
}
int WriteSome(int file, const uint8_t* bytes, size_t count) { return static_cast<int>(write(file, bytes, count)); }
bool CutFile(int file, uint64_t size) { return ftruncate(file, static_cast<off_t>(size)) == 0; }
void CloseFile(int file) { close(file); }
#endif

// path with ".N" before its extension, in the same folder: site.cap gives
// site.1.cap, a name without an extension site.1.
std::string NumberedName(const std::string& path, unsigned number) {
    const size_t folder = path.find_last_of("/\\");
    const size_t nameStart = folder == std::string::npos ? 0 : folder + 1;
    size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || dot <= nameStart) dot = path.size();
    return path.substr(0, dot) + "." + std::to_string(number) + path.substr(dot);
}

// A capture never replaces a file: an existing one (the capture before a
// console restart, say) stays, and the new capture goes beside it.
int CreateCaptureFile(const std::string& path, std::string* used) {
    constexpr unsigned MostNumbers = 9999;
    *used = path;
    int file = CreateNewFile(path.c_str());
    if (file < 0 && errno == EEXIST) {
        const int device = OpenDevice(path.c_str());
        if (device >= 0) return device;
        errno = EEXIST;
    }
    for (unsigned n = 1; file < 0 && errno == EEXIST && n <= MostNumbers; ++n) {
        *used = NumberedName(path, n);
        file = CreateNewFile(used->c_str());
    }
    return file;
}

// The file can take no more (a full disk, a file-size limit, a removed
// drive): whatever part of a call reached it is cut off, so the capture
// ends after its last whole call; capture stops, the console goes on.
void Abandon(int error) {
    // A device or pipe cannot be cut: what reached it stays.
    const bool cut = CutFile(capture.file, capture.wholeCalls);
    const std::string end = cut ? "; the file ends after them, at byte " + std::to_string(capture.wholeCalls) : "";
    platform::Print("radovl: capture to %s stopped: writing failed: %s (%u calls recorded%s)\n", capture.path.c_str(),
                    std::strerror(error), capture.calls, end.c_str());
    CloseFile(capture.file);
    capture.file = -1;
    capture.used = 0;
    recording = false;
}

void Drain() {
    size_t done = 0;
    while (done < capture.used) {
        errno = 0;
        const int wrote = WriteSome(capture.file, capture.buffer + done, capture.used - done);
        if (wrote <= 0) {
            if (wrote < 0 && errno == EINTR) continue;
            Abandon(errno != 0 ? errno : EIO);
            return;
        }
        done += static_cast<size_t>(wrote);
        capture.written += static_cast<size_t>(wrote);
    }
    capture.used = 0;
}

void AppendBytes(const void* bytes, size_t count) {
    const uint8_t* from = static_cast<const uint8_t*>(bytes);
    while (count > 0 && recording) {
        if (capture.used == BufferBytes) Drain();
        const size_t part = std::min(count, BufferBytes - capture.used);
        std::memcpy(capture.buffer + capture.used, from, part);
        capture.used += part;
        from += part;
        count -= part;
    }
}

template <typename Record>
void Append(const Record& record) {
    if (capture.used + sizeof record > BufferBytes) Drain();
    if (!recording) return;
    AppendBytes(&record, sizeof record);
}

// The file's name as recorded: from the executable's folder when inside it.
std::string RecordedName(const std::string& path) {
    const std::string executable = platform::ExecutablePath();
    const size_t folder = executable.find_last_of("/\\");
    if (folder == std::string::npos || path.compare(0, folder + 1, executable, 0, folder + 1) != 0) return path;
    return path.substr(folder + 1);
}

// The file's bytes as they are now; false when it cannot be read whole.
bool ReadWhole(const char* path, std::vector<uint8_t>* bytes) {
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return false;
    uint8_t chunk[16384];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes->insert(bytes->end(), chunk, chunk + got);
    const bool whole = std::ferror(file) == 0;
    std::fclose(file);
    return whole;
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
    capture.file = CreateCaptureFile(path, &capture.path);
    if (capture.file < 0) {
        platform::Print("radovl: cannot capture to %s: %s; running without capture\n", capture.path.c_str(),
                        std::strerror(errno));
        return false;
    }
    if (capture.path != path) platform::Print("radovl: %s exists: capturing to %s\n", path, capture.path.c_str());
    recording = true;
    capture.used = 0;
    capture.written = 0;
    capture.wholeCalls = 0;
    capture.calls = 0;
    RadovlCaptureHeader header{};
    std::memcpy(header.magic, RADOVL_CAPTURE_MAGIC, RADOVL_CAPTURE_MAGIC_BYTES);
    header.version = RADOVL_CAPTURE_VERSION;
    header.headerBytes = sizeof header;
    std::snprintf(header.library, sizeof header.library, "%s", RADOVL_VERSION_STRING);
    Append(header);
    Drain();
    capture.wholeCalls = capture.written;
    return recording;
}

void Stop() {
    if (capture.file < 0) return;
    Drain();
    if (capture.file >= 0) CloseFile(capture.file);
    capture.file = -1;
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
    capture.filesOfCall.clear();
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
    capture.wholeCalls = capture.written;
    ++capture.calls;
}

void PlatformRead(uint8_t what, int32_t x, int32_t y, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    if (!recording) return;
    RadovlCapturePlatform record{};
    record.kind = RADOVL_CAPTURE_KIND_PLATFORM;
    record.what = what;
    record.x = x;
    record.y = y;
    record.left = left;
    record.top = top;
    record.right = right;
    record.bottom = bottom;
    Append(record);
}

void FileOpened(const char* path, bool opened) {
    if (!recording) return;
    const std::string name = RecordedName(path);
    if (std::find(capture.filesOfCall.begin(), capture.filesOfCall.end(), name) != capture.filesOfCall.end()) return;
    capture.filesOfCall.push_back(name);
    std::vector<uint8_t> bytes;
    RadovlCaptureFile record{};
    record.kind = RADOVL_CAPTURE_KIND_FILE;
    record.present = opened && ReadWhole(path, &bytes) ? 1 : 0;
    if (record.present == 0) bytes.clear();
    record.nameBytes = static_cast<uint16_t>(std::min<size_t>(name.size(), UINT16_MAX));
    record.dataBytes = static_cast<uint32_t>(std::min<size_t>(bytes.size(), UINT32_MAX));
    Append(record);
    AppendBytes(name.data(), record.nameBytes);
    AppendBytes(bytes.data(), record.dataBytes);
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
