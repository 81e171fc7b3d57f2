#include "view/capture_index.h"

#include <algorithm>
#include <map>

#include "capture/capture_file.h"

namespace radovl::tool {

bool CaptureIndex::Build(const std::string& path, std::string* error) {
    CaptureReader reader;
    if (!reader.Open(path)) {
        *error = reader.error();
        return false;
    }
    // The registers of every board the simulator has, in one pass over the
    // file; the page shows those of the boards the capture talks to.
    RegisterTrack track(SimulatedBoards());
    std::fill(std::begin(boardSeen_), std::end(boardSeen_), false);
    registers_ = track.registers();
    calls_.clear();
    keyframes_.clear();
    RegisterState state{track.Sample(), std::vector<uint32_t>(registers_.size(), 0)};
    keyframes_.push_back(state);
    std::map<uint32_t, uint32_t> before;  // this call's registers: value before it
    std::vector<bool> wrote(registers_.size(), false);
    const RegisterTrack::Touch touch = [&](size_t index, uint32_t value, bool written, uint32_t) {
        IndexedCall& call = calls_.back();
        if (written && !wrote[index]) {
            wrote[index] = true;
            call.written.push_back(static_cast<uint32_t>(index));
        }
        if (written) state.lastWriter[index] = call.number;
        if (value == state.values[index]) return;
        before.emplace(static_cast<uint32_t>(index), state.values[index]);
        state.values[index] = value;
    };
    const auto endCall = [&]() {
        track.Flush(touch);
        IndexedCall& call = calls_.back();
        for (const auto& [index, value] : before) {
            if (value != state.values[index]) call.changes.push_back({index, value, state.values[index]});
        }
        before.clear();
        for (const uint32_t i : call.written) wrote[i] = false;
        if (call.number % KeyframeEvery == 0) keyframes_.push_back(state);
    };
    CaptureRecord record;
    while (reader.Next(&record)) {
        if (record.kind == RADOVL_CAPTURE_KIND_CALL) {
            IndexedCall call;
            call.number = record.callNumber;
            call.text = reader.currentCall();
            call.offset = record.offset;
            call.firstRequest = reader.requests();
            calls_.push_back(std::move(call));
        } else if (record.kind == RADOVL_CAPTURE_KIND_REQUEST) {
            IndexedCall& call = calls_.back();
            ++call.requests;
            if (call.board < 0) call.board = record.request.board;
            boardSeen_[record.request.board] = true;
            track.Apply(record.request, static_cast<uint32_t>(reader.requests()), touch);
        } else if (record.kind == RADOVL_CAPTURE_KIND_RETURN) {
            calls_.back().returned = true;
            calls_.back().status = record.end.status;
            endCall();
        }
    }
    if (!calls_.empty() && !calls_.back().returned) endCall();
    note_ = reader.error();
    bytes_ = record.offset;
    return true;
}

RegisterState CaptureIndex::At(uint32_t n) const {
    if (n > calls_.size()) n = static_cast<uint32_t>(calls_.size());
    size_t key = n / KeyframeEvery;
    if (key >= keyframes_.size()) key = keyframes_.size() - 1;
    RegisterState state = keyframes_[key];
    for (uint32_t c = static_cast<uint32_t>(key * KeyframeEvery) + 1; c <= n; ++c) {
        const IndexedCall& call = calls_[c - 1];
        for (const RegisterChange& change : call.changes) state.values[change.index] = change.after;
        for (const uint32_t i : call.written) state.lastWriter[i] = c;
    }
    return state;
}

}  // namespace radovl::tool
