// What the viewer knows of a capture after one pass over it: each call
// (where it starts, its line, status and requests), the named registers
// each call changed and wrote, and every so many calls the registers as
// they stood, so any call's registers are a short walk from a keyframe.
// Every so many requests it also keeps the simulated boards as they stood
// (saved boards share their memory pages), so the boards after any call
// are a short replay away; and it goes on from its last whole call when
// the capture grows.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <vector>

#include "boardview/trace_decoder.h"
#include "capture/commands.h"
#include "capture/register_track.h"

namespace radovl::tool {

#ifdef _WIN32
// No view server in the Windows tool (view_none.cpp), so no second thread
// reads an index there; MinGW's win32 threads model has no shared_mutex.
struct IndexLock {
    void lock() {}
    void unlock() {}
    void lock_shared() {}
    void unlock_shared() {}
};
#else
using IndexLock = std::shared_mutex;
#endif

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
    // Requests at most between saved boards (a call as long as this, a
    // start-up, has its own): the boards after any call are at most this
    // many requests away from saved ones, a few milliseconds.
    static constexpr uint64_t BoardsEvery = 65536;

    explicit CaptureIndex(uint64_t boardsEvery = BoardsEvery) : boardsEvery_(boardsEvery) {}
    CaptureIndex(const CaptureIndex&) = delete;
    CaptureIndex& operator=(const CaptureIndex&) = delete;
    ~CaptureIndex();

    // Reads the whole capture, applying its requests to a fresh simulated
    // board. False only for a file that is not a capture; a file that
    // stops early is indexed up to its last whole record (note() says so).
    // The caller has the simulator to itself while this and Update run.
    bool Build(const std::string& path, std::string* error);
    // Reads what the capture gained since the last Build or Update, going
    // on from the last whole call (a call the file stopped inside is read
    // again). False when the file was cut, written again from the start or
    // replaced: it is then to be indexed again from the start.
    bool Update();

    // What follows is read while a follower may be updating: hold
    // ReadLock() while using it.
    std::shared_lock<IndexLock> ReadLock() const { return std::shared_lock<IndexLock>(lock_); }
    const std::vector<IndexedCall>& calls() const { return calls_; }
    const std::vector<TrackedRegister>& registers() const { return registers_; }
    const std::string& note() const { return note_; }
    const std::string& path() const { return path_; }
    const SiteReads& site() const { return site_; }
    // Whether any request went to the board (board 0 always shows).
    bool BoardSeen(int32_t board) const { return board == 0 || (board > 0 && board < 256 && boardSeen_[board]); }
    // The registers after call n (0: before the first call).
    RegisterState At(uint32_t n) const;

    // Puts the simulated boards as they stand after call n (1 to calls()):
    // the nearest saved boards at or before it, then the requests of the
    // calls between read from the file, as many of call n's as the index
    // holds. The caller has the simulator to itself, without ReadLock().
    // False when the file no longer reads there.
    bool BoardsAfter(uint32_t n, AppliedCapture* applied) const;

private:
    // The pass's state at the end of a call, to go on from.
    struct Resume {
        uint32_t calls = 0;      // whole calls before
        uint64_t offset = 0;     // where the next call's record starts
        uint64_t requests = 0;   // requests before
        int32_t lastBoard = 0;   // board of the last request sent
        int32_t saved = 0;       // the boards then (RadovlSim_SaveBoards)
        RegisterState registers;
        TraceDecoder decoder;
    };
    struct FileMark {
        uint64_t size = 0;
        uint64_t device = 0, inode = 0;
        std::string header;    // the header's bytes
        std::string before;    // the bytes before resume's offset
    };
    bool Pass(std::string* error);
    const Resume& From() const;
    bool SameFile(const FileMark& now) const;
    FileMark Mark(uint64_t offset) const;
    FileMark MarkAfterPass() const;

    const uint64_t boardsEvery_;
    mutable IndexLock lock_;
    std::string path_;
    std::vector<IndexedCall> calls_;
    std::vector<TrackedRegister> registers_;
    std::vector<RegisterState> keyframes_;  // after calls 0, KeyframeEvery, 2 * KeyframeEvery, ...
    std::vector<Resume> boards_;            // saved boards, by call; the first before any call
    std::string note_;
    SiteReads site_;
    bool boardSeen_[256] = {};
    // The indexer's own, used by Build and Update only.
    std::unique_ptr<RegisterTrack> track_;
    Resume tail_;  // the end of the file when it last ended after a whole call
    FileMark mark_;
    uint64_t passRead_ = 0;  // the file's size when the last pass opened it
};

}  // namespace radovl::tool
