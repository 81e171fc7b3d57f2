// The demo console captured by the library in a process of its own, then
// its captured requests applied to a fresh simulated board: the board's
// outputs, drawn, are the demo's own at the same call.
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <tuple>

#include "capture/commands.h"
#include "capture/capture_file.h"
#include "picture/renderer.h"
#include "scenario/runner.h"
#include "scenario/scenario.h"
#include "boardview/screen_model.h"
#include "test_files.h"
#include "capture/register_track.h"
#include "hw/driver.h"
#include "hw/registers.h"
#include "view/capture_index.h"
#include "tool_test.h"

namespace radovl::tool::test {
namespace {

// The demo scenario up to its calls-th export call (0: all of it).
std::string DemoUpTo(int calls) {
    std::ifstream in(std::string(RADOVL_EXAMPLES_DIR) + "/console.scenario");
    std::string text, line;
    int seen = 0;
    while (std::getline(in, line)) {
        text += line + "\n";
        if (line.rfind("KT_RDSP_", 0) == 0 && ++seen == calls) break;
    }
    return text;
}

void Draw(const ScreenModel& model, const std::string& path) {
    RenderOptions options;
    options.title = "same title";
    std::string error;
    ASSERT_TRUE(RenderScreen(model, path, options, &error)) << error;
}

using CapturedDemo = ToolTest;

TEST_F(CapturedDemo, CapturedRequestsOnAFreshBoardShowTheDemosPicture) {
    const std::string command = "RADOVL_CAPTURE=demo.cap '" RADOVL_SIM_TOOL "' run --quiet '" RADOVL_EXAMPLES_DIR
                                "/console.scenario' > run.log 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << ReadFile("run.log");

    for (const int calls : {20, 0}) {
        SCOPED_TRACE("after call " + std::to_string(calls));
        std::ofstream("part.scenario") << DemoUpTo(calls);
        const ParseResult parsed = ParseScenarioFile("part.scenario");
        ASSERT_TRUE(parsed.ok());
        std::ostringstream out, err;
        RunOptions quiet;
        quiet.quiet = true;
        Runner runner(quiet, out, err);
        ASSERT_EQ(runner.Run(parsed.scenario), 0) << err.str();
        Draw(ReadScreen(runner.host()), "demo" RADOVL_SIM_PICTURE);

        RadovlSim_Reset();
        CaptureReader reader;
        ASSERT_TRUE(reader.Open("demo.cap")) << reader.error();
        const AppliedCapture applied = ApplyCapture(reader, static_cast<uint32_t>(calls));
        EXPECT_EQ(reader.error(), "");
        EXPECT_EQ(applied.calls, calls == 0 ? 37u : 20u);
        HostView host = runner.host();
        host.board = applied.board;
        Draw(ReadScreen(host), "replayed" RADOVL_SIM_PICTURE);
        EXPECT_TRUE(ReadFile("demo" RADOVL_SIM_PICTURE) == ReadFile("replayed" RADOVL_SIM_PICTURE));
    }
}

// The demo, then 100 heading updates (call 100 sets the tail instead:
// registers no later call writes) and 10 distance changes: calls past the
// viewer's first keyframes.
void MakeLongCapture() {
    std::string scenario = DemoUpTo(0);
    for (int i = 0; i < 100; ++i) {  // calls 38 to 137
        scenario += i == 62 ? "KT_RDSP_SetPPITail 1 7\n" : "KT_RDSP_SetPPIShipDir 1 35.0\n";
    }
    for (int i = 0; i < 10; ++i) scenario += "KT_RDSP_SetPPIDist 1 24\n";        // calls 138 to 147
    std::ofstream("long.scenario") << scenario;
    const std::string command = "RADOVL_CAPTURE=long.cap '" RADOVL_SIM_TOOL "' run --quiet long.scenario > run.log 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << ReadFile("run.log");
}

// The picture the view serves of the boards as they stand now.
std::string ViewSvg(const CaptureIndex& index, const AppliedCapture& applied) {
    RenderOptions options;
    return RenderSvg(CapturedScreen(index.path(), index.site(), {}, applied, &options), options);
}

// Saved boards every few hundred requests: pictures right after saved
// boards, in the middle of a run of calls between them, and at the start-up
// call that has its own.
constexpr uint64_t FewRequests = 300;

// The viewer's index past its first keyframes: every register's value after
// a call is the board's after that call's requests, and its last writer the
// last call whose accesses wrote it, even with the value it already held;
// the boards it puts back after any call are those of the whole capture
// applied up to that call.
TEST_F(CapturedDemo, TheViewersIndexAgreesWithTheBoardAcrossKeyframes) {
    MakeLongCapture();
    CaptureIndex index(FewRequests);
    std::string error;
    ASSERT_TRUE(index.Build("long.cap", &error)) << error;
    ASSERT_EQ(index.calls().size(), 147u);
    const size_t registers = index.registers().size();

    const RegisterState last = index.At(147);
    size_t rewritten = 0;
    for (size_t r = 0; r < registers; ++r) {
        uint32_t writer = 0;
        for (const IndexedCall& c : index.calls()) {
            for (const uint32_t w : c.written) {
                if (w == r) writer = c.number;
            }
        }
        EXPECT_EQ(last.lastWriter[r], writer) << index.registers()[r].reg.name;
        if (writer == 137) ++rewritten;
    }
    EXPECT_GT(rewritten, 0u);  // the heading, written again with its own value

    // The whole capture applied call by call to one board, kept aside while
    // the index puts its own boards in place.
    const RegisterTrack board(SimulatedBoards());
    CaptureReader reader;
    ASSERT_TRUE(reader.Open("long.cap"));
    int32_t whole = RadovlSim_SaveBoards();
    for (uint32_t n = 1; n <= 147; ++n) {
        SCOPED_TRACE("after call " + std::to_string(n));
        ASSERT_EQ(RadovlSim_RestoreBoards(whole), 1);
        ApplyCapture(reader, n);
        RadovlSim_FreeBoards(whole);
        whole = RadovlSim_SaveBoards();
        const std::vector<uint32_t> sampled = board.Sample();
        const std::vector<uint32_t> held = index.At(n).values;
        for (size_t r = 0; r < registers; ++r) {
            EXPECT_EQ(held[r], sampled[r]) << index.registers()[r].unit << " " << index.registers()[r].reg.name;
        }
        AppliedCapture applied;
        ASSERT_TRUE(index.BoardsAfter(n, &applied));
        EXPECT_EQ(applied.calls, n);
        EXPECT_EQ(applied.lastCall, index.calls()[n - 1].text);
        EXPECT_EQ(board.Sample(), sampled);
        const std::string drawn = ViewSvg(index, applied);
        ASSERT_EQ(RadovlSim_RestoreBoards(whole), 1);
        EXPECT_TRUE(drawn == ViewSvg(index, applied)) << "the picture differs";
    }
    RadovlSim_FreeBoards(whole);
}

bool SameCall(const IndexedCall& a, const IndexedCall& b) {
    const auto changes = [](const IndexedCall& c) {
        std::vector<std::tuple<uint32_t, uint32_t, uint32_t>> list;
        for (const RegisterChange& r : c.changes) list.emplace_back(r.index, r.before, r.after);
        return list;
    };
    return a.number == b.number && a.text == b.text && a.offset == b.offset && a.firstRequest == b.firstRequest &&
           a.requests == b.requests && a.returned == b.returned && a.status == b.status && a.board == b.board &&
           changes(a) == changes(b) && a.written == b.written;
}

// --follow: the index of a capture read in pieces as it grew, whole calls
// or a call cut anywhere, is the index of the whole file read at once; a
// file cut or written anew is to be read again from the start.
TEST_F(CapturedDemo, TheViewersIndexGoesOnWhereTheCaptureGrew) {
    MakeLongCapture();
    const std::string data = ReadFile("long.cap");
    std::string error;
    // The capture in bytes written as pieces, each piece ending at the next
    // length, read on after each: the index of the whole file read at once.
    const auto grown = [&](const std::string& bytes, const std::vector<size_t>& pieces, uint64_t boardsEvery) {
        std::ofstream("whole.cap", std::ios::binary) << bytes;
        CaptureIndex whole(boardsEvery);
        ASSERT_TRUE(whole.Build("whole.cap", &error)) << error;
        const std::vector<IndexedCall>& calls = whole.calls();
        std::ofstream("grow.cap", std::ios::binary) << bytes.substr(0, pieces[0]);
        CaptureIndex index(boardsEvery);
        ASSERT_TRUE(index.Build("grow.cap", &error)) << error;
        for (size_t i = 1; i <= pieces.size(); ++i) {
            const size_t end = i < pieces.size() ? pieces[i] : bytes.size();
            std::ofstream("grow.cap", std::ios::binary | std::ios::app) << bytes.substr(pieces[i - 1], end - pieces[i - 1]);
            ASSERT_TRUE(index.Update());
        }
        ASSERT_EQ(index.calls().size(), calls.size());
        EXPECT_EQ(index.note(), "");
        for (size_t n = 0; n < calls.size(); ++n) EXPECT_TRUE(SameCall(index.calls()[n], calls[n])) << "call " << n + 1;
        for (const uint32_t n : {1u, 4u, 59u, 60u, 61u, 100u, 101u, 130u, 147u}) {
            SCOPED_TRACE("after call " + std::to_string(n));
            EXPECT_EQ(index.At(n).values, whole.At(n).values);
            EXPECT_EQ(index.At(n).lastWriter, whole.At(n).lastWriter);
            AppliedCapture mine, theirs;
            ASSERT_TRUE(index.BoardsAfter(n, &mine));
            const std::string drawn = ViewSvg(index, mine);
            ASSERT_TRUE(whole.BoardsAfter(n, &theirs));
            EXPECT_EQ(mine.board, theirs.board);
            EXPECT_EQ(mine.lastCall, theirs.lastCall);
            EXPECT_TRUE(drawn == ViewSvg(index, mine)) << "the picture differs";
        }
    };
    CaptureIndex whole(FewRequests);
    ASSERT_TRUE(whole.Build("long.cap", &error)) << error;
    const std::vector<IndexedCall>& calls = whole.calls();
    ASSERT_EQ(calls.size(), 147u);
    const auto offset = [&](uint32_t n) { return static_cast<size_t>(calls[n - 1].offset); };
    const struct Case {
        const char* what;
        std::vector<size_t> pieces;  // the file's length after each write
        uint64_t boardsEvery;
    } cases[] = {
        {"whole calls", {offset(100), offset(120)}, FewRequests},
        {"a call cut inside a request, then whole", {offset(100) + 100, offset(120)}, FewRequests},
        {"cut inside calls twice", {offset(60) + 57, offset(60) + 300, offset(139) + 1}, FewRequests},
        {"the start-up cut", {offset(1) + 5000, offset(2) + 40}, FewRequests},
        // Read again from the fresh board past register keyframes it holds.
        {"cut inside calls, no boards saved but the fresh ones", {offset(66) + 200, offset(130) + 200}, 1u << 30},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        grown(data, c.pieces, c.boardsEvery);
    }

    // What the decoder carries from call to call: a call whose first page
    // write is taken out leans on the page the call before it left. Read on
    // from before it, after a pass that ended inside it on another page.
    CaptureReader reader;
    ASSERT_TRUE(reader.Open("long.cap"));
    CaptureRecord record;
    std::vector<uint64_t> firstPageWrite(calls.size() + 1, 0);  // offset of a call's first request, when a page write
    std::vector<int64_t> lastPage(calls.size() + 1, -1);
    while (reader.Next(&record)) {
        if (record.kind != RADOVL_CAPTURE_KIND_REQUEST) continue;
        const RadovlSimRequest r = AsTraced(record.request);
        const bool pageWrite = r.code == MemoryRequestCode && r.space == Space::PciInterface &&
                               r.offset == PciPage::Offset && !IsReadFunction(r.function);
        if (record.requestNumber == 1 && pageWrite) firstPageWrite[record.callNumber] = record.offset;
        if (pageWrite) lastPage[record.callNumber] = r.value;
    }
    uint32_t k = 2;
    while (k <= 37 && (firstPageWrite[k] == 0 || lastPage[k - 1] < 0 || lastPage[k] == lastPage[k - 1])) ++k;
    ASSERT_LE(k, 37u) << "no demo call starts with a page write and ends on another page than the call before";
    std::string leaning = data;
    const size_t returnAt = offset(k + 1) - sizeof(RadovlCaptureReturn);
    uint32_t requests = 0;
    std::memcpy(&requests, &leaning[returnAt + offsetof(RadovlCaptureReturn, requests)], sizeof requests);
    --requests;
    std::memcpy(&leaning[returnAt + offsetof(RadovlCaptureReturn, requests)], &requests, sizeof requests);
    leaning.erase(firstPageWrite[k], sizeof(RadovlCaptureRequest));
    SCOPED_TRACE("call " + std::to_string(k) + " leaning on the page call " + std::to_string(k - 1) + " left");
    grown(leaning, {offset(k), offset(k + 1) - sizeof(RadovlCaptureRequest) - 8}, 1u << 30);

    // Cut, or written again from the start (longer than before): read
    // again from the start.
    std::ofstream("grow.cap", std::ios::binary) << data.substr(0, offset(120));
    CaptureIndex index(FewRequests);
    ASSERT_TRUE(index.Build("grow.cap", &error)) << error;
    std::ofstream("grow.cap", std::ios::binary) << data.substr(0, offset(110));
    EXPECT_FALSE(index.Update());
    ASSERT_TRUE(index.Build("grow.cap", &error)) << error;
    std::string other = data;  // another capture, longer, the same up to where the index ends but for one byte
    other[offset(110) - 20] ^= 0x5A;
    std::ofstream("grow.cap", std::ios::binary) << other;
    EXPECT_FALSE(index.Update());
}

}  // namespace
}  // namespace radovl::tool::test
