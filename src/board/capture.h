// Capture of calls and driver requests to the file RADOVL_CAPTURE names
// (format in radovl/capture.h). Writing never fails a call: a file that
// cannot be opened or written prints one line and capture stops.
#pragma once

#include <cstddef>
#include <cstdint>

namespace radovl::capture {

// True while a capture file is being written. Read on every driver
// request; false in a process without RADOVL_CAPTURE.
extern bool recording;

// The start of a host export call: on the first of the process, reads
// RADOVL_CAPTURE and opens the file it names.
void BeginCall(const char* name, const uint32_t* args, size_t count);
// The end of the call: its status, then everything written so far goes to
// the file.
void EndCall(int32_t status);

// One driver request as sent (record, size bytes, before the driver saw
// it), and the answer: the driver call's result, the record's status word
// after it, the answered record, and for a read the destination.
void Request(int32_t board, uint32_t code, const void* sent, const void* answered, uint32_t size,
             bool succeeded, int32_t status, const void* readDestination);

// What the call read from the system: the screen's clip box (x, y 0) or
// the monitor of a point (RADOVL_CAPTURE_SCREEN / _MONITOR).
void PlatformRead(uint8_t what, int32_t x, int32_t y, int32_t left, int32_t top, int32_t right, int32_t bottom);
// A file the call opens (opened: false when it could not be): its bytes,
// read here, once per call.
void FileOpened(const char* path, bool opened);

// Starts writing a capture to path now (the first call's reading of
// RADOVL_CAPTURE does this); false, after one printed line, when the file
// cannot be opened. Stop closes it.
bool Start(const char* path);
void Stop();

}  // namespace radovl::capture
