// What the viewer knows of a capture after one pass over it: each call
// (where it starts, its line, status and requests), the named registers
// each call changed and wrote, and every so many calls the registers as
// they stood, so any call's registers are a short walk from a keyframe.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "capture/register_track.h"

namespace radovl::tool {

struct RegisterChange {
    uint32_t index = 0;  // into registers()
    uint32_t before = 0;
    uint32_t after = 0;
};

struct IndexedCall {
    uint32_t number = 0;
    std::string text;          // the call as a scenario line
    uint64_t offset = 0;       // of its call record in the file
    uint64_t firstRequest = 0; // requests before it, all calls
    uint32_t requests = 0;
    bool returned = false;     // false: the file stops inside the call
    int32_t status = 0;
    int32_t board = -1;        // board of its first request, -1 for none
    std::vector<RegisterChange> changes;
    std::vector<uint32_t> written;  // registers its accesses wrote
};

struct RegisterState {
    std::vector<uint32_t> values;
    std::vector<uint32_t> lastWriter;  // call number, 0: never written
};

class CaptureIndex {
public:
    static constexpr uint32_t KeyframeEvery = 64;  // calls

    // Reads the whole capture, applying its requests to a fresh simulated
    // board. False only for a file that is not a capture; a file that
    // stops early is indexed up to its last whole record (note() says so).
    bool Build(const std::string& path, std::string* error);
    const std::vector<IndexedCall>& calls() const { return calls_; }
    const std::vector<TrackedRegister>& registers() const { return registers_; }
    const std::string& note() const { return note_; }
    uint64_t bytes() const { return bytes_; }
    // Whether any request went to the board (board 0 always shows).
    bool BoardSeen(int32_t board) const { return board == 0 || (board > 0 && board < 256 && boardSeen_[board]); }
    // The registers after call n (0: before the first call).
    RegisterState At(uint32_t n) const;

private:
    std::vector<IndexedCall> calls_;
    std::vector<TrackedRegister> registers_;
    std::vector<RegisterState> keyframes_;  // after calls 0, KeyframeEvery, 2 * KeyframeEvery, ...
    std::string note_;
    uint64_t bytes_ = 0;
    bool boardSeen_[256] = {};
};

}  // namespace radovl::tool
