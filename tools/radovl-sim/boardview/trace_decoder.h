// Turns the simulated driver's request trace back into what each request
// did on the board: a PciPage write and the access after it become one main
// DSP access (page + offset); a bridge sequence (BridgeControl,
// BridgeAddress, BridgeData) becomes one video DSP access; the writes and
// status polls of an I2C transaction become one decoder register write.
// Each access carries the register's name and decoded fields.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "radovl/sim.h"
#include "boardview/register_names.h"

namespace radovl::tool {

enum class AccessKind {
    Main,          // main DSP space through the memory window (or register window)
    Video,         // a video DSP word through its bridge
    Pci,           // a PCI interface register
    DecoderWrite,  // an I2C transaction to a video decoder
    I2cOther,      // an I2C transaction that is not a decoder register write
    WindowQuery,
};

struct DecodedAccess {
    AccessKind kind = AccessKind::Main;
    int32_t board = 0;
    uint32_t firstRequest = 0;  // request numbers, counted by the caller of Feed
    uint32_t lastRequest = 0;
    char op = 'W';              // R read, W write, S set bits, C clear bits
    uint32_t width = 32;        // bits
    uint32_t address = 0;       // main or video DSP address, or PCI offset
    uint32_t page = 0;          // main accesses: PciPage in force and window offset
    uint32_t offset = 0;
    bool pageKnown = false;
    bool registerWindow = false;  // through the register window (space 1), no page
    int32_t dsp = 0;            // video accesses
    uint32_t value = 0;
    int32_t status = 0;         // first failing driver status, 0 when all succeeded
    std::optional<RegisterName> reg;
    bool memory = false;        // an address no register lives at: program or data memory
    std::string note;           // "distance variable", "program load", ...
    // I2C transactions.
    uint32_t device = 0;             // 7-bit address
    std::vector<uint8_t> bytes;      // bytes after the address byte
    uint32_t polls = 0;              // status reads
};

class TraceDecoder {
public:
    // Feeds one request; number is its position as the caller counts it.
    void Feed(const RadovlSimRequest& request, uint32_t number);
    // Finishes whatever is pending (end of a step).
    void Flush();
    // Accesses decoded so far, in order; the list is emptied.
    std::vector<DecodedAccess> Take();

private:
    // The decoding passes, each handing on what it does not take: the page
    // selection joined to its access (Feed), the bridge's three accesses
    // joined into one video DSP access, the I2C core's accesses into one
    // transaction.
    void ReleasePendingPage();
    void JoinBridgeSequence(DecodedAccess access);
    void ReleaseBridgeSequence();
    void JoinI2cTransaction(DecodedAccess access);
    void ReleaseI2cTransaction();
    void Output(DecodedAccess access);
    void EmitI2c();
    DecodedAccess Resolve(DecodedAccess access);

    std::optional<DecodedAccess> pendingPage_;
    uint32_t lastPage_[2] = {0, 0};
    bool pageSeen_[2] = {false, false};
    std::vector<DecodedAccess> bridge_;  // up to two accesses of a bridge sequence
    // I2C transaction in progress.
    std::vector<DecodedAccess> i2cRaw_;
    bool i2cStarted_ = false;
    bool i2cStopped_ = false;
    bool i2cFinalWaitDone_ = false;  // the idle wait after the stop has seen a clear status
    uint32_t i2cData_ = 0;
    uint32_t i2cAddressByte_ = 0;
    std::vector<uint8_t> i2cBytes_;
    uint32_t i2cPolls_ = 0;
    // Address of each video DSP's distance variable, as last read from
    // DistancePointer, per board.
    std::optional<uint32_t> distanceVariable_[2][2];
    std::vector<DecodedAccess> out_;
};

// One line of text for an access, e.g.
//   "     19  main  W32 0xB0201008  PpiStart[1]      = 0x003200B4  x=122 y=50 (col=180 row=50)  [page 704 +0x201008]"
std::string FormatAccess(const DecodedAccess& access);

// Whole trace of requests, decoded (for tests and small traces).
std::vector<DecodedAccess> DecodeTrace(const std::vector<RadovlSimRequest>& requests);

// The recorded trace of the simulator.
std::vector<RadovlSimRequest> RecordedTrace();

}  // namespace radovl::tool
