// The named registers of the boards a capture talks to, followed while the
// captured requests are applied to a fresh simulated board: after each
// access the decoder names, the register's value as the board now holds it.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "boardview/register_names.h"
#include "boardview/trace_decoder.h"
#include "radovl/capture.h"

namespace radovl::tool {

class CaptureReader;

struct TrackedRegister {
    int32_t board = 0;
    RegisterSpace space = RegisterSpace::Main;
    int32_t dsp = 0;  // video registers: the video DSP
    RegisterName reg;
    std::string unit;  // "main", "video0", "video1", "pci"
};

// The boards a capture's requests go to, in order (reads the file once).
std::vector<int32_t> CaptureBoards(const std::string& path);
// Every board the simulated driver serves.
std::vector<int32_t> SimulatedBoards();

class RegisterTrack {
public:
    // Every named register (but the colour tables) of these boards; the
    // simulated boards are reset.
    explicit RegisterTrack(const std::vector<int32_t>& boards);
    const std::vector<TrackedRegister>& registers() const { return registers_; }
    // Every register's value on the simulated board now.
    std::vector<uint32_t> Sample() const;
    // A named register an access touched: its index, its value now on the
    // board, and whether the access wrote it.
    using Touch = std::function<void(size_t index, uint32_t value, bool written, uint32_t requestNumber)>;
    // Applies one captured request to its board and reports the registers
    // the accesses it completes touched; number counts requests.
    void Apply(const RadovlCaptureRequest& request, uint32_t number, const Touch& touch);
    // The end of a call: what the decoder still holds, then every register
    // (as not written), whatever changed it.
    void Flush(const Touch& touch);
    // What the decoder carries from one call to the next (pages, distance
    // variables), to go on later from the end of a call.
    const TraceDecoder& decoder() const { return decoder_; }
    void SetDecoder(const TraceDecoder& decoder) { decoder_ = decoder; }

private:
    void Report(const Touch& touch);
    uint32_t Peek(const TrackedRegister& r) const;

    std::vector<TrackedRegister> registers_;
    std::map<std::tuple<int32_t, int, int32_t, uint32_t>, size_t> index_;  // board, space, dsp, address
    TraceDecoder decoder_;
    uint32_t lastNumber_ = 0;
};

}  // namespace radovl::tool
