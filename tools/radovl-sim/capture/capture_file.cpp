#include "capture/capture_file.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "hw/bitfield.h"
#include "hw/driver.h"
#include "text/text.h"

namespace radovl::tool {
namespace {

size_t RecordBytes(uint8_t kind) {
    switch (kind) {
        case RADOVL_CAPTURE_KIND_CALL: return sizeof(RadovlCaptureCall);
        case RADOVL_CAPTURE_KIND_REQUEST: return sizeof(RadovlCaptureRequest);
        case RADOVL_CAPTURE_KIND_RETURN: return sizeof(RadovlCaptureReturn);
        case RADOVL_CAPTURE_KIND_PLATFORM: return sizeof(RadovlCapturePlatform);
        case RADOVL_CAPTURE_KIND_FILE: return sizeof(RadovlCaptureFile);
        default: return 0;
    }
}

const char* KindName(uint8_t kind) {
    switch (kind) {
        case RADOVL_CAPTURE_KIND_CALL: return "a call record";
        case RADOVL_CAPTURE_KIND_REQUEST: return "a request record";
        case RADOVL_CAPTURE_KIND_PLATFORM: return "a platform record";
        case RADOVL_CAPTURE_KIND_FILE: return "a file record";
        default: return "a return record";
    }
}

bool IsRead(const RadovlSimRequest& r) {
    return r.code == MemoryRequestCode && IsReadFunction(r.function);
}

// The name as written, at most the record's bytes.
std::string CallName(const RadovlCaptureCall& call) {
    return std::string(call.name, strnlen(call.name, sizeof call.name));
}

}  // namespace

// A name from a file, fit for a terminal: control and non-ASCII bytes as \xNN.
std::string Printable(const std::string& name) {
    std::string text;
    for (const unsigned char c : name) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            text += static_cast<char>(c);
            continue;
        }
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
        text += escaped;
    }
    return text;
}

namespace {

// Colours and colour keys read best as hex, whatever their top bit.
bool WrittenInHex(const ExportInfo* info, size_t param) {
    if (info == nullptr || param >= info->params.size()) return false;
    const std::string& name = info->params[param];
    return name == "colour" || name == "key";
}

}  // namespace

bool CaptureReader::Fail(const std::string& message) {
    error_ = path_ + ": " + message;
    return false;
}

bool CaptureReader::Open(const std::string& path) {
    path_ = path;
    std::error_code ec;
    size_ = std::filesystem::file_size(path, ec);
    in_.open(path, std::ios::binary);
    if (ec || !in_) return Fail("cannot read the file");
    if (size_ == 0) return Fail("empty file: not a capture (nothing was ever written to it)");
    const std::string magic(RADOVL_CAPTURE_MAGIC);
    char start[RADOVL_CAPTURE_MAGIC_BYTES] = {};
    in_.read(start, sizeof start);
    if (static_cast<size_t>(in_.gcount()) < sizeof start || magic.compare(0, magic.size(), start, sizeof start) != 0) {
        return Fail("not a radovl capture (it does not start with \"" + magic + "\")");
    }
    in_.seekg(0);
    in_.read(reinterpret_cast<char*>(&header_), sizeof header_);
    if (static_cast<size_t>(in_.gcount()) < sizeof header_) {
        return Fail("ends inside the capture header (" + std::to_string(size_) + " of " +
                    std::to_string(sizeof header_) + " bytes)");
    }
    if (header_.version != RADOVL_CAPTURE_VERSION && header_.version != 1) {
        return Fail("capture format version " + std::to_string(header_.version) + "; this radovl-sim reads versions 1 to " +
                    std::to_string(RADOVL_CAPTURE_VERSION) +
                    (header_.version > RADOVL_CAPTURE_VERSION ? ": read it with a newer radovl-sim" : ""));
    }
    if (header_.headerBytes != sizeof header_) {
        return Fail("damaged header: it gives " + std::to_string(header_.headerBytes) + " header bytes, not " +
                    std::to_string(sizeof header_));
    }
    header_.library[sizeof header_.library - 1] = '\0';
    offset_ = sizeof header_;
    return true;
}

bool CaptureReader::Next(CaptureRecord* record) {
    // Said only when the file stops making sense: millions of records a
    // second pass here.
    const uint64_t at = offset_;
    const auto where = [at] { return " at byte " + std::to_string(at); };
    const auto inCall = [this] { return inCall_ ? " (call " + std::to_string(calls_) + ", " + callText_ + ")" : std::string(); };
    if (offset_ == size_) {
        if (!inCall_) return false;
        return Fail("ends inside call " + std::to_string(calls_) + " (" + callText_ + "), after its request " +
                    std::to_string(callRequests_) + ": the console stopped or the capture was cut before it returned");
    }
    const int kind = in_.peek();
    const size_t bytes = kind == std::char_traits<char>::eof() ? 0 : RecordBytes(static_cast<uint8_t>(kind));
    if (bytes == 0) {
        return Fail("unknown record kind " + std::to_string(kind) + where() + inCall() + ": the file is damaged there");
    }
    if (offset_ + bytes > size_) {
        return Fail("truncated: ends inside " + std::string(KindName(static_cast<uint8_t>(kind))) + where() + inCall() +
                    "; decoded up to the last whole record");
    }
    if (static_cast<uint8_t>(kind) > RADOVL_CAPTURE_KIND_RETURN && header_.version < 2) {
        return Fail(std::string(KindName(static_cast<uint8_t>(kind))) + where() +
                    " in a version 1 capture: the file is damaged there");
    }
    char* target = kind == RADOVL_CAPTURE_KIND_CALL       ? reinterpret_cast<char*>(&record->call)
                   : kind == RADOVL_CAPTURE_KIND_REQUEST  ? reinterpret_cast<char*>(&record->request)
                   : kind == RADOVL_CAPTURE_KIND_PLATFORM ? reinterpret_cast<char*>(&record->platform)
                   : kind == RADOVL_CAPTURE_KIND_FILE     ? reinterpret_cast<char*>(&record->file)
                                                          : reinterpret_cast<char*>(&record->end);
    in_.read(target, static_cast<std::streamsize>(bytes));
    if (static_cast<size_t>(in_.gcount()) != bytes) return Fail("cannot read" + where());
    record->kind = static_cast<uint8_t>(kind);
    record->offset = offset_;
    offset_ += bytes;
    if (kind == RADOVL_CAPTURE_KIND_FILE && !ReadFileBytes(record)) return false;
    if (static_cast<uint8_t>(kind) >= RADOVL_CAPTURE_KIND_PLATFORM) {
        if (!inCall_) return Fail(std::string(KindName(static_cast<uint8_t>(kind))) + where() + " outside any call: the file is damaged there");
        record->callNumber = calls_;
        record->requestNumber = callRequests_;
        return true;
    }

    if (kind == RADOVL_CAPTURE_KIND_CALL) {
        if (record->call.argCount > RADOVL_CAPTURE_MAX_ARGS) {
            return Fail("call " + std::to_string(calls_ + 1) + where() + " has " +
                        std::to_string(record->call.argCount) + " arguments, more than a call takes (" +
                        std::to_string(RADOVL_CAPTURE_MAX_ARGS) + "): the file is damaged there");
        }
        if (inCall_) {
            return Fail("call " + std::to_string(calls_ + 1) + where() + " begins before call " + std::to_string(calls_) +
                        " (" + callText_ + ") returned: the file is damaged there");
        }
        inCall_ = true;
        ++calls_;
        callRequests_ = 0;
        callText_ = FormatCall(record->call);
    } else if (kind == RADOVL_CAPTURE_KIND_REQUEST) {
        if (!inCall_) return Fail("a request" + where() + " outside any call: the file is damaged there");
        ++callRequests_;
        ++requests_;
    } else {
        if (!inCall_) return Fail("a return" + where() + " without a call: the file is damaged there");
        if (record->end.requests != callRequests_) {
            return Fail("call " + std::to_string(calls_) + " (" + callText_ + ") returns" + where() + " after " +
                        std::to_string(record->end.requests) + " requests, but the capture holds " +
                        std::to_string(callRequests_) + " of them: the file is damaged there");
        }
        inCall_ = false;
    }
    record->callNumber = calls_;
    record->requestNumber = callRequests_;
    return true;
}

bool CaptureReader::SeekToCall(uint64_t offset, uint32_t callsBefore, uint64_t requestsBefore) {
    if (offset < sizeof header_ || offset >= size_ || !in_.seekg(static_cast<std::streamoff>(offset))) return false;
    offset_ = offset;
    calls_ = callsBefore;
    requests_ = requestsBefore;
    callRequests_ = 0;
    inCall_ = false;
    return true;
}

bool CaptureReader::ReadFileBytes(CaptureRecord* record) {
    const RadovlCaptureFile& file = record->file;
    const uint64_t bytes = uint64_t{file.nameBytes} + file.dataBytes;
    if (offset_ + bytes > size_) {
        return Fail("truncated: ends inside the name or bytes of the file record at byte " +
                    std::to_string(record->offset) + "; decoded up to the last whole record");
    }
    if (file.present == 0 && file.dataBytes != 0) {
        return Fail("an absent file with bytes at byte " + std::to_string(record->offset) + ": the file is damaged there");
    }
    record->fileName.resize(file.nameBytes);
    record->fileData.resize(file.dataBytes);
    in_.read(record->fileName.data(), file.nameBytes);
    in_.read(record->fileData.data(), file.dataBytes);
    if (!in_) return Fail("cannot read at byte " + std::to_string(record->offset));
    offset_ += bytes;
    return true;
}

std::string FormatCall(const RadovlCaptureCall& call) {
    const ExportInfo* info = FindExport(CallName(call));
    std::string text = Printable(CallName(call));
    for (uint32_t i = 0; i < call.argCount && i < RADOVL_CAPTURE_MAX_ARGS; ++i) {
        const uint32_t bits = call.args[i];
        if (info != nullptr && i < info->kinds.size() && info->kinds[i] == ParamKind::Float) {
            float value;
            std::memcpy(&value, &bits, sizeof value);
            char number[32];
            std::snprintf(number, sizeof number, "%.9g", static_cast<double>(value));
            // A float argument is written with a point, so a scenario reads it back as one.
            text += " " + std::string(number) + (std::strpbrk(number, ".en") == nullptr ? ".0" : "");
        } else if (bits > 0xFFFF && (bits < 0xFFFF0000u || WrittenInHex(info, i))) {
            text += " " + Hex(bits);
        } else {
            text += " " + std::to_string(static_cast<int32_t>(bits));
        }
    }
    return text;
}

const ExportInfo* CallExport(const RadovlCaptureCall& call, std::vector<Argument>* args) {
    const ExportInfo* info = FindExport(CallName(call));
    if (info == nullptr || info->kinds.size() != call.argCount) return nullptr;
    args->clear();
    for (uint32_t i = 0; i < call.argCount; ++i) {
        Argument a;
        a.kind = info->kinds[i];
        if (a.kind == ParamKind::Float) {
            float value;
            std::memcpy(&value, &call.args[i], sizeof value);
            a.real = value;
        } else {
            a.integer = call.args[i];
        }
        args->push_back(a);
    }
    return info;
}

RadovlSimRequest AsTraced(const RadovlCaptureRequest& c) {
    RadovlSimRequest r{};
    r.board = c.board;
    r.code = c.code;
    r.status = c.status;
    if (c.code != MemoryRequestCode) return r;
    MemoryRequest sent;
    std::memcpy(&sent, c.sent, sizeof sent);
    r.function = sent.function;
    r.space = sent.space;
    r.offset = sent.offset;
    r.data = sent.data;
    r.count = sent.count;
    r.value = IsRead(r) ? c.value : sent.data & UnitMask(FunctionWidth(sent.function));
    return r;
}

bool SameRequest(const RadovlSimRequest& a, const RadovlSimRequest& b) {
    const bool read = IsRead(a);
    return a.board == b.board && a.code == b.code && a.function == b.function && a.space == b.space &&
           a.offset == b.offset && a.count == b.count && a.status == b.status && (read || a.data == b.data) &&
           (!read || a.value == b.value);
}

bool SameCapturedRequest(const RadovlCaptureRequest& a, const RadovlCaptureRequest& b) {
    if (!SameRequest(AsTraced(a), AsTraced(b)) || a.answered != b.answered || a.extra != b.extra) return false;
    if (a.code != MemoryRequestCode) return std::memcmp(a.sent, b.sent, sizeof a.sent) == 0 && a.value == b.value;
    MemoryRequest sentA, sentB;
    std::memcpy(&sentA, a.sent, sizeof sentA);
    std::memcpy(&sentB, b.sent, sizeof sentB);
    return sentA.status == sentB.status && sentA.reserved == sentB.reserved;
}

std::string RawRequest(const RadovlSimRequest& r) {
    std::string text = "board " + std::to_string(r.board);
    if (r.code == WindowQueryCode) return text + " window query, status " + std::to_string(r.status);
    if (r.code != MemoryRequestCode) return text + " request code " + Hex(r.code);
    text += " function " + std::to_string(r.function) + " space " + std::to_string(r.space) + " offset " +
            Hex(r.offset) + " count " + std::to_string(r.count);
    text += IsRead(r) ? " read " + Hex(r.value) : " data " + Hex(r.data);
    return text + ", status " + std::to_string(r.status);
}

}  // namespace radovl::tool
