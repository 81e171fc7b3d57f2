// Fuzz target: any bytes as a capture file, read by radovl-sim's reader.
//
// The reader must neither crash nor hang, and what it yields must hold
// together: records in file order, each inside the call it names, a call's
// requests numbered from 1, a file record's name and bytes as long as it
// says, and a return only when its count is the requests read.
#include <cstdint>
#include <string>

#include "capture/capture_file.h"
#include "fuzz/fuzz_support.h"

using radovl::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = radovl::fuzz::WorkDir() + "/input.cap";
    radovl::fuzz::WriteBytes(path, data, size);
    radovl::tool::CaptureReader reader;
    if (!reader.Open(path)) return 0;
    radovl::tool::CaptureRecord record;
    uint64_t previous = 0;
    uint32_t requests = 0;
    while (reader.Next(&record)) {
        Check(record.offset >= 32, "record inside the header", static_cast<long long>(record.offset));
        Check(record.offset >= previous, "records out of file order", static_cast<long long>(record.offset),
              static_cast<long long>(previous));
        Check(record.offset < size, "record beyond the file", static_cast<long long>(record.offset),
              static_cast<long long>(size));
        previous = record.offset + 1;
        if (record.kind == RADOVL_CAPTURE_KIND_CALL) {
            Check(record.call.argCount <= RADOVL_CAPTURE_MAX_ARGS, "call with too many arguments", record.call.argCount);
            requests = 0;
        } else if (record.kind == RADOVL_CAPTURE_KIND_REQUEST) {
            ++requests;
            Check(record.requestNumber == requests, "request numbers out of step", record.requestNumber, requests);
        } else if (record.kind == RADOVL_CAPTURE_KIND_RETURN) {
            Check(record.end.requests == requests, "return count differs from the requests", record.end.requests,
                  requests);
        } else if (record.kind == RADOVL_CAPTURE_KIND_FILE) {
            Check(record.fileName.size() == record.file.nameBytes, "file name of another length");
            Check(record.fileData.size() == record.file.dataBytes, "file bytes of another length");
            Check(record.file.present != 0 || record.fileData.empty(), "absent file with bytes");
        }
        Check(record.callNumber >= 1, "record outside any call");
        (void)radovl::tool::FormatCall(record.call);
    }
    return 0;
}
