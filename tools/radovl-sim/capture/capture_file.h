// Reading the capture files the library writes (radovl/capture.h): record
// by record, with the call each record belongs to, stopping at the last
// whole record and saying why.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "scenario/exports_table.h"
#include "radovl/capture.h"
#include "radovl/sim.h"

namespace radovl::tool {

struct CaptureRecord {
    uint8_t kind = 0;          // RADOVL_CAPTURE_KIND_*
    uint64_t offset = 0;       // byte offset of the record in the file
    uint32_t callNumber = 0;   // 1-based call the record belongs to
    uint32_t requestNumber = 0;  // requests: 1-based within the call
    RadovlCaptureCall call{};
    RadovlCaptureRequest request{};
    RadovlCaptureReturn end{};
    RadovlCapturePlatform platform{};  // version 2: what the call read from the system
    RadovlCaptureFile file{};          // version 2: a file the call opened,
    std::string fileName, fileData;    // its name and bytes
};

class CaptureReader {
public:
    // False, with the reason in error(), for a file that cannot be read or
    // is not a capture of a version this tool knows.
    bool Open(const std::string& path);
    // The next whole record; false at the end of the file or where the file
    // stops making sense (error() then says why and where).
    bool Next(CaptureRecord* record);
    // Goes to the call record at offset (one Next gave), with the calls and
    // requests before it, so reading goes on from there as from the start.
    bool SeekToCall(uint64_t offset, uint32_t callsBefore, uint64_t requestsBefore);
    const std::string& error() const { return error_; }
    const std::string& path() const { return path_; }
    // The file's size when it was opened: what the reader reads up to.
    uint64_t size() const { return size_; }
    const RadovlCaptureHeader& header() const { return header_; }
    // The call the last record belongs to, as a scenario line.
    const std::string& currentCall() const { return callText_; }
    uint64_t requests() const { return requests_; }  // requests read so far, all calls

private:
    bool Fail(const std::string& message);
    bool ReadFileBytes(CaptureRecord* record);

    std::ifstream in_;
    std::string path_;
    std::string error_;
    RadovlCaptureHeader header_{};
    uint64_t offset_ = 0;
    uint64_t size_ = 0;
    uint32_t calls_ = 0;
    uint32_t callRequests_ = 0;
    bool inCall_ = false;
    std::string callText_;
    uint64_t requests_ = 0;
};

// A name from a file, fit for a terminal: control, non-ASCII and
// backslash bytes as \xNN.
std::string Printable(const std::string& name);
// An export call as a scenario line: "KT_RDSP_SetPPIColor 1 0x20FF6000".
std::string FormatCall(const RadovlCaptureCall& call);
// The export a call names, or nullptr; arguments rebuilt from the slots.
const ExportInfo* CallExport(const RadovlCaptureCall& call, std::vector<Argument>* args);
// A captured request as the simulator's trace shows one.
RadovlSimRequest AsTraced(const RadovlCaptureRequest& request);
// Whether two requests did the same thing: every field but a read's data
// word, which holds a host address.
bool SameRequest(const RadovlSimRequest& a, const RadovlSimRequest& b);
// The same between two captures, where the whole record as sent and the
// whole answer are known.
bool SameCapturedRequest(const RadovlCaptureRequest& a, const RadovlCaptureRequest& b);
// One request's raw fields, for a difference report.
std::string RawRequest(const RadovlSimRequest& r);

}  // namespace radovl::tool
