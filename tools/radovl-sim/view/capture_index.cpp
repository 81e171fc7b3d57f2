#include "view/capture_index.h"

#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <map>

#include "capture/capture_file.h"
#include "radovl/sim.h"

namespace radovl::tool {

CaptureIndex::~CaptureIndex() {
    for (const Resume& r : boards_) RadovlSim_FreeBoards(r.saved);
    RadovlSim_FreeBoards(tail_.saved);
}

bool CaptureIndex::Build(const std::string& path, std::string* error) {
    path_ = path;
    CaptureReader reader;
    if (!reader.Open(path)) {
        *error = reader.error();
        return false;
    }
    for (const Resume& r : boards_) RadovlSim_FreeBoards(r.saved);
    RadovlSim_FreeBoards(tail_.saved);
    // The registers of every board the simulator has, in one pass over the
    // file; the page shows those of the boards the capture talks to.
    track_ = std::make_unique<RegisterTrack>(SimulatedBoards());
    Resume start;
    start.offset = sizeof(RadovlCaptureHeader);
    start.saved = RadovlSim_SaveBoards();
    start.registers = {track_->Sample(), std::vector<uint32_t>(track_->registers().size(), 0)};
    start.decoder = track_->decoder();
    {
        const std::unique_lock<IndexLock> hold(lock_);
        registers_ = track_->registers();
        calls_.clear();
        keyframes_ = {start.registers};
        boards_ = {start};
        site_ = SiteReads();
        std::fill(std::begin(boardSeen_), std::end(boardSeen_), false);
    }
    tail_ = Resume();
    if (!Pass(error)) return false;
    mark_ = MarkAfterPass();
    return true;
}

// The file as the pass left it; its size is what the pass read, so bytes
// written while it read are read by the next Update.
CaptureIndex::FileMark CaptureIndex::MarkAfterPass() const {
    FileMark mark = Mark(From().offset);
    mark.size = std::min(mark.size, passRead_);
    return mark;
}

const CaptureIndex::Resume& CaptureIndex::From() const {
    return tail_.saved != 0 && tail_.calls > boards_.back().calls ? tail_ : boards_.back();
}

bool CaptureIndex::Update() {
    const FileMark now = Mark(From().offset);
    if (!SameFile(now)) return false;
    if (now.size == mark_.size) return true;
    std::string error;
    if (!Pass(&error)) return false;
    mark_ = MarkAfterPass();
    return true;
}

CaptureIndex::FileMark CaptureIndex::Mark(uint64_t offset) const {
    FileMark mark;
    struct stat st {};
    if (stat(path_.c_str(), &st) != 0) return mark;
    mark.size = static_cast<uint64_t>(st.st_size);
    mark.device = static_cast<uint64_t>(st.st_dev);
    mark.inode = static_cast<uint64_t>(st.st_ino);
    std::ifstream in(path_, std::ios::binary);
    mark.header.resize(sizeof(RadovlCaptureHeader));
    in.read(mark.header.data(), static_cast<std::streamsize>(mark.header.size()));
    mark.header.resize(static_cast<size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    // The last record before where the next pass starts: a file written
    // again from the start shows there even when it has grown past it.
    const uint64_t from = offset > sizeof(RadovlCaptureHeader) + 64 ? offset - 64 : sizeof(RadovlCaptureHeader);
    if (offset > from) {
        in.clear();
        in.seekg(static_cast<std::streamoff>(from));
        mark.before.resize(offset - from);
        in.read(mark.before.data(), static_cast<std::streamsize>(mark.before.size()));
        mark.before.resize(static_cast<size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    }
    return mark;
}

bool CaptureIndex::SameFile(const FileMark& now) const {
    return now.device == mark_.device && now.inode == mark_.inode && now.size >= mark_.size &&
           now.header == mark_.header && now.before == mark_.before;
}

bool CaptureIndex::Pass(std::string* error) {
    const Resume start = From();
    CaptureReader reader;
    if (!reader.Open(path_)) {
        *error = reader.error();
        return false;
    }
    passRead_ = reader.size();
    RadovlSim_RestoreBoards(start.saved);
    track_->SetDecoder(start.decoder);
    // Read aside and published at the end: pages reading the index never
    // see a call half read, nor the calls read again from start.
    std::vector<IndexedCall> fresh;
    std::vector<RegisterState> keyframes;
    std::vector<Resume> boards;
    std::optional<Resume> tail;
    bool seen[256] = {};
    RegisterState state = start.registers;
    int32_t lastBoard = start.lastBoard;
    uint64_t sinceBoards = start.requests - boards_.back().requests;
    std::map<uint32_t, uint32_t> before;  // this call's registers: value before it
    std::vector<bool> wrote(registers_.size(), false);
    const RegisterTrack::Touch touch = [&](size_t index, uint32_t value, bool written, uint32_t) {
        IndexedCall& call = fresh.back();
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
        track_->Flush(touch);
        IndexedCall& call = fresh.back();
        for (const auto& [index, value] : before) {
            if (value != state.values[index]) call.changes.push_back({index, value, state.values[index]});
        }
        before.clear();
        for (const uint32_t i : call.written) wrote[i] = false;
        if (call.number % KeyframeEvery == 0) keyframes.push_back(state);
    };
    const auto here = [&](uint64_t offset) {
        Resume r;
        r.calls = fresh.back().number;
        r.offset = offset;
        r.requests = reader.requests();
        r.lastBoard = lastBoard;
        r.saved = RadovlSim_SaveBoards();
        r.registers = state;
        r.decoder = track_->decoder();
        return r;
    };
    uint64_t afterReturn = 0;
    if (reader.SeekToCall(start.offset, start.calls, start.requests)) {
        CaptureRecord record;
        while (reader.Next(&record)) {
            if (record.kind == RADOVL_CAPTURE_KIND_CALL) {
                IndexedCall call;
                call.number = record.callNumber;
                call.text = reader.currentCall();
                call.offset = record.offset;
                call.firstRequest = reader.requests();
                fresh.push_back(std::move(call));
            } else if (record.kind == RADOVL_CAPTURE_KIND_REQUEST) {
                IndexedCall& call = fresh.back();
                ++call.requests;
                ++sinceBoards;
                if (call.board < 0) call.board = record.request.board;
                seen[record.request.board] = true;
                if (record.request.answered != 0) lastBoard = record.request.board;
                track_->Apply(record.request, static_cast<uint32_t>(reader.requests()), touch);
            } else if (record.kind == RADOVL_CAPTURE_KIND_RETURN) {
                fresh.back().returned = true;
                fresh.back().status = record.end.status;
                endCall();
                afterReturn = record.offset + sizeof(RadovlCaptureReturn);
                if (sinceBoards >= boardsEvery_) {
                    boards.push_back(here(afterReturn));
                    sinceBoards = 0;
                }
            } else {
                const std::unique_lock<IndexLock> hold(lock_);
                site_.Take(record);
            }
        }
    }
    const bool insideCall = !fresh.empty() && !fresh.back().returned;
    if (!fresh.empty() && !insideCall && (boards.empty() || boards.back().calls != fresh.back().number)) {
        // The file ends after a whole call: the next pass starts here.
        tail = here(afterReturn);
    }
    // A call the file stops inside shows what it holds so far; the next
    // pass reads it again from its start.
    if (insideCall) endCall();

    const std::unique_lock<IndexLock> hold(lock_);
    calls_.resize(start.calls);
    std::move(fresh.begin(), fresh.end(), std::back_inserter(calls_));
    keyframes_.resize(start.calls / KeyframeEvery + 1);
    std::move(keyframes.begin(), keyframes.end(), std::back_inserter(keyframes_));
    std::move(boards.begin(), boards.end(), std::back_inserter(boards_));
    for (int b = 0; b < 256; ++b) boardSeen_[b] = boardSeen_[b] || seen[b];
    note_ = reader.error();
    if (tail) {
        RadovlSim_FreeBoards(tail_.saved);
        tail_ = std::move(*tail);
    }
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

bool CaptureIndex::BoardsAfter(uint32_t n, AppliedCapture* applied) const {
    uint32_t calls = 0, wanted = 0;
    uint64_t offset = 0, requests = 0;
    int32_t saved = 0;
    {
        const auto hold = ReadLock();
        if (n < 1 || n > calls_.size()) return false;
        const auto key = std::upper_bound(boards_.begin(), boards_.end(), n,
                                          [](uint32_t call, const Resume& r) { return call < r.calls; }) - 1;
        calls = key->calls;
        offset = key->offset;
        requests = key->requests;
        saved = key->saved;
        applied->board = key->lastBoard;
        applied->calls = n;
        applied->lastCall = calls_[n - 1].text;
        wanted = calls_[n - 1].requests;
    }
    if (RadovlSim_RestoreBoards(saved) == 0) return false;
    if (calls == n) return true;
    CaptureReader reader;
    if (!reader.Open(path_) || !reader.SeekToCall(offset, calls, requests)) return false;
    CaptureRecord record;
    while (reader.Next(&record)) {
        if (record.kind == RADOVL_CAPTURE_KIND_REQUEST && ApplyRequest(record.request)) {
            applied->board = record.request.board;
        }
        if (record.callNumber == n && record.requestNumber == wanted) return true;
    }
    return false;
}

}  // namespace radovl::tool
