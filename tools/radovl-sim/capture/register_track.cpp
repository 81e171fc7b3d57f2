#include "capture/register_track.h"

#include "capture/capture_file.h"
#include "capture/commands.h"
#include "radovl/sim.h"

namespace radovl::tool {

std::vector<int32_t> CaptureBoards(const std::string& path) {
    bool seen[256] = {};
    CaptureReader reader;
    CaptureRecord record;
    if (reader.Open(path)) {
        while (reader.Next(&record)) {
            if (record.kind == RADOVL_CAPTURE_KIND_REQUEST) seen[record.request.board] = true;
        }
    }
    std::vector<int32_t> boards;
    for (int32_t b = 0; b < 256; ++b) {
        if (seen[b]) boards.push_back(b);
    }
    if (boards.empty()) boards.push_back(0);
    return boards;
}

std::vector<int32_t> SimulatedBoards() {
    constexpr int32_t Boards = 2;  // the simulated driver's boards
    std::vector<int32_t> boards;
    for (int32_t b = 0; b < Boards; ++b) boards.push_back(b);
    return boards;
}

RegisterTrack::RegisterTrack(const std::vector<int32_t>& boards) {
    RadovlSim_Reset();
    RadovlSim_SetTraceEnabled(0);
    const std::vector<ListedRegister> all = AllRegisters();
    // Grouped by board, then by unit: the main DSP, each video DSP, the PCI interface.
    const std::pair<RegisterSpace, int32_t> units[] = {
        {RegisterSpace::Main, 0}, {RegisterSpace::Video, 0}, {RegisterSpace::Video, 1}, {RegisterSpace::Pci, 0}};
    for (const int32_t board : boards) {
        for (const auto& [space, dsp] : units) {
            for (const ListedRegister& l : all) {
                if (l.space != space || l.count != 1) continue;  // colour tables: drawn in the picture
                TrackedRegister t{board, space, dsp, l.reg, ""};
                t.unit = space == RegisterSpace::Main ? "main" : space == RegisterSpace::Pci ? "pci"
                                                                 : "video" + std::to_string(dsp);
                index_[{board, static_cast<int>(space), dsp, l.reg.address}] = registers_.size();
                registers_.push_back(std::move(t));
            }
        }
    }
}

uint32_t RegisterTrack::Peek(const TrackedRegister& r) const {
    switch (r.space) {
        case RegisterSpace::Main: return RadovlSim_PeekMain(r.board, r.reg.address);
        case RegisterSpace::Video: return RadovlSim_PeekVideo(r.board, r.dsp, r.reg.address);
        case RegisterSpace::Pci: return RadovlSim_PeekPci(r.board, r.reg.address);
    }
    return 0;
}

std::vector<uint32_t> RegisterTrack::Sample() const {
    std::vector<uint32_t> values;
    values.reserve(registers_.size());
    for (const TrackedRegister& r : registers_) values.push_back(Peek(r));
    return values;
}

void RegisterTrack::Apply(const RadovlCaptureRequest& request, uint32_t number, const Touch& touch) {
    ApplyRequest(request);
    lastNumber_ = number;
    decoder_.Feed(AsTraced(request), number);
    Report(touch);
}

void RegisterTrack::Flush(const Touch& touch) {
    decoder_.Flush();
    Report(touch);
    // Registers no decoded access names change too: the bridge and I2C
    // registers the decoder folds into the video DSP or decoder access they
    // carry, reset lines the board releases, words a started DSP writes.
    for (size_t i = 0; i < registers_.size(); ++i) touch(i, Peek(registers_[i]), false, lastNumber_);
}

void RegisterTrack::Report(const Touch& touch) {
    for (const DecodedAccess& a : decoder_.Take()) {
        if (!a.reg) continue;
        RegisterSpace space;
        if (a.kind == AccessKind::Main) space = RegisterSpace::Main;
        else if (a.kind == AccessKind::Video) space = RegisterSpace::Video;
        else if (a.kind == AccessKind::Pci) space = RegisterSpace::Pci;
        else continue;
        const int32_t dsp = space == RegisterSpace::Video ? a.dsp : 0;
        const auto found = index_.find({a.board, static_cast<int>(space), dsp, a.reg->address});
        if (found == index_.end()) continue;
        touch(found->second, Peek(registers_[found->second]), a.op != 'R', a.lastRequest);
    }
}

}  // namespace radovl::tool
