#include "boardview/trace_decoder.h"

#include <cstdio>
#include <utility>

#include "hw/driver.h"
#include "hw/registers.h"
#include "text/text.h"

namespace radovl::tool {
namespace {

char OperationLetter(uint32_t function) {
    switch (function & Function::OperationMask) {
        case Function::OpRead: return 'R';
        case Function::OpWrite: return 'W';
        case Function::OpSetBits: return 'S';
        default: return 'C';
    }
}

bool IsWrite32(const DecodedAccess& a, uint32_t address) {
    return a.kind == AccessKind::Main && a.op == 'W' && a.width == 32 && a.address == address;
}

bool IsStatusPoll(const DecodedAccess& a) {
    return a.kind == AccessKind::Main && a.op == 'R' && a.address == I2cCommand::Address;
}

bool IsI2cData(const DecodedAccess& a) { return IsWrite32(a, I2cData::Address); }
bool IsI2cCommand(const DecodedAccess& a) { return IsWrite32(a, I2cCommand::Address); }

int BoardSlot(int32_t board) { return board == 1 ? 1 : 0; }

void Merge(DecodedAccess& into, const DecodedAccess& from) {
    into.lastRequest = from.lastRequest;
    if (into.status == 0) into.status = from.status;
}

}  // namespace

void TraceDecoder::Feed(const RadovlSimRequest& r, uint32_t number) {
    DecodedAccess a;
    a.board = r.board;
    a.firstRequest = number;
    a.lastRequest = number;
    a.status = r.status;
    if (r.code != MemoryRequestCode) {
        ReleasePendingPage();
        a.kind = AccessKind::WindowQuery;
        a.op = 'Q';
        JoinBridgeSequence(a);
        return;
    }
    a.op = OperationLetter(r.function);
    a.width = 8 * FunctionWidth(r.function);
    a.value = r.value;
    if (r.space == Space::PciInterface) {
        a.kind = AccessKind::Pci;
        a.address = r.offset;
        ReleasePendingPage();
        if (r.offset == PciPage::Offset && a.op == 'W') {
            // Selects the page of the next memory-window access.
            const int slot = BoardSlot(r.board);
            if (r.status == 0) {
                lastPage_[slot] = r.value & PciPage::Number;
                pageSeen_[slot] = true;
            }
            pendingPage_ = a;
            return;
        }
        JoinBridgeSequence(a);
        return;
    }
    a.kind = AccessKind::Main;
    if (r.space == Space::MemoryWindow) {
        const int slot = BoardSlot(r.board);
        a.page = lastPage_[slot];
        a.pageKnown = pageSeen_[slot];
        a.offset = r.offset;
        a.address = FieldPrep(PciPage::AddressPage, a.page) | (r.offset & PciPage::WindowOffset);
        if (pendingPage_ && pendingPage_->board == r.board) {
            a.firstRequest = pendingPage_->firstRequest;
            if (a.status == 0) a.status = pendingPage_->status;
            pendingPage_.reset();
        }
    } else {
        a.address = RegisterWindowBase + r.offset;
        a.registerWindow = true;
    }
    ReleasePendingPage();
    JoinBridgeSequence(a);
}

// A page selection held for the memory-window access it belongs to goes on
// as an access of its own.
void TraceDecoder::ReleasePendingPage() {
    if (pendingPage_) JoinBridgeSequence(*std::exchange(pendingPage_, std::nullopt));
}

// Bridge sequences: BridgeControl <- access word, BridgeAddress <- address,
// then BridgeData read or written, all for the same video DSP.
void TraceDecoder::JoinBridgeSequence(DecodedAccess a) {
    for (;;) {
        const size_t held = bridge_.size();
        const int dsp = held == 0 ? 0 : bridge_[0].dsp;
        bool taken = false;
        if (held == 0) {
            for (int d = 0; d < 2 && !taken; ++d) {
                if (IsWrite32(a, BridgeControl::Address.For(d)) && a.value == BridgeControl::Access &&
                    a.status == 0) {
                    a.dsp = d;
                    bridge_.push_back(a);
                    taken = true;
                }
            }
            if (!taken) {
                JoinI2cTransaction(std::move(a));
                return;
            }
            return;
        }
        if (held == 1 && IsWrite32(a, BridgeAddress::Address.For(dsp)) && a.status == 0 &&
            a.board == bridge_[0].board) {
            bridge_.push_back(a);
            return;
        }
        if (held == 2 && a.kind == AccessKind::Main && a.width == 32 && (a.op == 'R' || a.op == 'W') &&
            a.address == BridgeData::Address.For(dsp) && a.board == bridge_[0].board) {
            DecodedAccess v;
            v.kind = AccessKind::Video;
            v.board = a.board;
            v.firstRequest = bridge_[0].firstRequest;
            v.lastRequest = a.lastRequest;
            v.op = a.op;
            v.width = 32;
            v.dsp = dsp;
            v.address = bridge_[1].value;
            v.value = a.value;
            v.status = a.status;
            bridge_.clear();
            JoinI2cTransaction(std::move(v));
            return;
        }
        // Not a bridge sequence after all: pass on what was held and look
        // at this access afresh.
        ReleaseBridgeSequence();
    }
}

void TraceDecoder::ReleaseBridgeSequence() {
    std::vector<DecodedAccess> held;
    held.swap(bridge_);
    for (DecodedAccess& h : held) JoinI2cTransaction(std::move(h));
}

// I2C: status polls, data writes and command writes from the start command
// to the polls after the stop command form one transaction.
void TraceDecoder::JoinI2cTransaction(DecodedAccess a) {
    if (IsStatusPoll(a)) {
        // The idle wait after a stop belongs to that transaction, up to the
        // first poll that shows the core idle; later polls open the next.
        if (i2cStopped_ && i2cFinalWaitDone_) EmitI2c();
        i2cRaw_.push_back(a);
        ++i2cPolls_;
        if (i2cStopped_ && (a.value & I2cCommand::StatusBusy) == 0) i2cFinalWaitDone_ = true;
        return;
    }
    if (i2cStopped_) EmitI2c();
    if (IsI2cData(a)) {
        i2cData_ = a.value;
        i2cRaw_.push_back(a);
        return;
    }
    if (IsI2cCommand(a)) {
        i2cRaw_.push_back(a);
        if (a.value & I2cCommand::Start) {
            if (i2cStarted_) {
                // A repeated start: the earlier transaction stays raw.
                std::vector<DecodedAccess> raw;
                raw.swap(i2cRaw_);
                raw.pop_back();
                for (DecodedAccess& r : raw) Output(std::move(r));
                i2cRaw_.push_back(a);
                i2cPolls_ = 0;
            }
            i2cStarted_ = true;
            i2cAddressByte_ = i2cData_;
            i2cBytes_.clear();
        } else if ((a.value & I2cCommand::Write) && i2cStarted_) {
            i2cBytes_.push_back(static_cast<uint8_t>(i2cData_));
        }
        if ((a.value & I2cCommand::Stop) && i2cStarted_) i2cStopped_ = true;
        return;
    }
    ReleaseI2cTransaction();
    Output(std::move(a));
}

void TraceDecoder::EmitI2c() {
    DecodedAccess t;
    const DecodedAccess& first = i2cRaw_.front();
    t.board = first.board;
    t.firstRequest = first.firstRequest;
    t.lastRequest = first.lastRequest;
    for (const DecodedAccess& r : i2cRaw_) Merge(t, r);
    t.device = (i2cAddressByte_ & I2cAddressByte::Device) >> 1;
    t.bytes = i2cBytes_;
    t.polls = i2cPolls_;
    t.op = 'W';
    t.width = 8;
    const bool toDecoder = t.device == DecoderAddress.channel1 || t.device == DecoderAddress.channel2;
    const bool isWrite = (i2cAddressByte_ & I2cAddressByte::Read) == 0;
    t.kind = (toDecoder && isWrite && t.bytes.size() >= 2) ? AccessKind::DecoderWrite : AccessKind::I2cOther;
    if (t.kind == AccessKind::DecoderWrite) {
        t.address = t.bytes[0];
        t.value = t.bytes[1];
    }
    i2cRaw_.clear();
    i2cStarted_ = false;
    i2cStopped_ = false;
    i2cFinalWaitDone_ = false;
    i2cBytes_.clear();
    i2cPolls_ = 0;
    Output(std::move(t));
}

void TraceDecoder::ReleaseI2cTransaction() {
    if (i2cStopped_) {
        EmitI2c();
        return;
    }
    // Polls or writes that never became a transaction stay as they were.
    std::vector<DecodedAccess> raw;
    raw.swap(i2cRaw_);
    i2cStarted_ = false;
    i2cBytes_.clear();
    i2cPolls_ = 0;
    for (DecodedAccess& r : raw) Output(std::move(r));
}

DecodedAccess TraceDecoder::Resolve(DecodedAccess a) {
    switch (a.kind) {
        case AccessKind::Main:
            a.reg = LookupRegister(RegisterSpace::Main, a.address);
            a.memory = !a.reg && !IsRegisterRegion(RegisterSpace::Main, a.address);
            break;
        case AccessKind::Video: {
            a.reg = LookupRegister(RegisterSpace::Video, a.address);
            a.memory = !a.reg && !IsRegisterRegion(RegisterSpace::Video, a.address);
            std::optional<uint32_t>& variable = distanceVariable_[BoardSlot(a.board)][a.dsp == 1 ? 1 : 0];
            if (a.address == DistancePointer::Address && a.status == 0) {
                variable = a.value;
            } else if (variable && a.address == *variable) {
                a.note = "distance variable";
            }
            break;
        }
        case AccessKind::Pci:
            a.reg = LookupRegister(RegisterSpace::Pci, a.address);
            break;
        default:
            break;
    }
    if (a.memory && a.note.empty() && a.op == 'W') a.note = "program load";
    return a;
}

void TraceDecoder::Output(DecodedAccess a) { out_.push_back(Resolve(std::move(a))); }

void TraceDecoder::Flush() {
    ReleasePendingPage();
    ReleaseBridgeSequence();
    ReleaseI2cTransaction();
}

std::vector<DecodedAccess> TraceDecoder::Take() {
    std::vector<DecodedAccess> out;
    out.swap(out_);
    return out;
}

namespace {

std::string Pad(std::string s, size_t width) {
    if (s.size() < width) s.append(width - s.size(), ' ');
    return s;
}

std::string Where(const DecodedAccess& a) {
    std::string where;
    switch (a.kind) {
        case AccessKind::Main: where = "main"; break;
        case AccessKind::Video: where = "dsp" + std::to_string(a.dsp); break;
        case AccessKind::Pci: where = "pci"; break;
        case AccessKind::DecoderWrite:
        case AccessKind::I2cOther: where = "i2c"; break;
        case AccessKind::WindowQuery: where = "query"; break;
    }
    if (a.board != 0) where += "@" + std::to_string(a.board);
    return where;
}

std::string ValueText(const DecodedAccess& a) {
    const bool read = a.op == 'R';
    const std::string arrow = read ? "-> " : a.op == 'S' ? "|= " : a.op == 'C' ? "&=~" : "=  ";
    return arrow + Hex(a.value, static_cast<int>(a.width / 4));
}

std::string StatusText(int32_t status) {
    return status == 0 ? std::string() : "  FAILED status " + Hex(static_cast<uint32_t>(status));
}

}  // namespace

std::string FormatAccess(const DecodedAccess& a) {
    char number[16];
    std::snprintf(number, sizeof number, "%7u", a.firstRequest);
    // At least one blank after the place, "query@1" included.
    std::string line = std::string(number) + "  " + Pad(Where(a) + " ", 7);
    if (a.kind == AccessKind::WindowQuery) return line + "window query" + StatusText(a.status);
    if (a.kind == AccessKind::DecoderWrite || a.kind == AccessKind::I2cOther) {
        const int channel = a.device == DecoderAddress.channel1 ? 1 : 2;
        if (a.kind == AccessKind::I2cOther) {
            std::string bytes;
            for (uint8_t b : a.bytes) bytes += " " + HexByte(b);
            return line + "I2C transaction to " + HexByte(a.device) + ":" + bytes + StatusText(a.status);
        }
        const std::optional<std::string> name = DecoderRegisterName(a.address);
        const std::string target = "Decoder[" + std::to_string(channel) + "] " + (name ? *name : HexByte(a.address));
        std::string text = line + "W8  " + Pad(HexByte(a.device), 10) + "  " + Pad(target, 22) + "=  " + HexByte(a.value);
        for (size_t i = 2; i < a.bytes.size(); ++i) text += " " + HexByte(a.bytes[i]);
        return text + "  (" + std::to_string(a.polls) + " status polls)" + StatusText(a.status);
    }
    const std::string op = std::string(1, a.op) + std::to_string(a.width);
    const std::string address = a.kind == AccessKind::Pci ? Pad(std::to_string(a.address), 10) : Hex(a.address);
    std::string name = a.reg ? a.reg->name : a.memory ? "(memory)" : "(unnamed)";
    std::string text = line + Pad(op, 4) + address + "  " + Pad(name, 22) + ValueText(a);
    std::string fields = a.reg ? DecodeFields(*a.reg, a.value) : std::string();
    if (!a.note.empty()) fields += (fields.empty() ? "" : " ") + a.note;
    if (!fields.empty()) text += "  " + fields;
    if (a.kind == AccessKind::Main && a.registerWindow) {
        text += "  [register window]";
    } else if (a.kind == AccessKind::Main) {
        char where[48];
        std::snprintf(where, sizeof where, "  [page %u +0x%06X]", a.page, a.offset);
        text += where;
    }
    return text + StatusText(a.status);
}

std::vector<DecodedAccess> DecodeTrace(const std::vector<RadovlSimRequest>& requests) {
    TraceDecoder decoder;
    uint32_t number = 0;
    for (const RadovlSimRequest& r : requests) decoder.Feed(r, ++number);
    decoder.Flush();
    return decoder.Take();
}

std::vector<RadovlSimRequest> RecordedTrace() {
    std::vector<RadovlSimRequest> out(static_cast<size_t>(RadovlSim_TraceCount()));
    for (size_t i = 0; i < out.size(); ++i) RadovlSim_TraceGet(static_cast<int32_t>(i), &out[i]);
    return out;
}

}  // namespace radovl::tool
