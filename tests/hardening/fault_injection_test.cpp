// Driver failure at every request: start-up, and one call of each of the
// fifty exports after a clean start-up, with request k failing for
// k = 1, 2, ... until the operation no longer reaches request k; once with
// only request k failing and once with every request from k on failing,
// with a driver status and with status 0 (a failure without a code). Each
// run must end normally with one of the three statuses, print only what the
// library may print, open no handle it does not keep, and leave the library
// able to start again once the driver works.
//
// Board open failures at each step of the open leave no handle and no
// connection behind.
#include <algorithm>

#include "board/selection.h"
#include "support/export_table.h"
#include "hardening/harness.h"
#include "windows/state.h"

namespace radovl::test {
namespace {

constexpr uint32_t WindowQuery = 0xC35020C3;

bool IsStatus(int32_t status) { return status == 1 || status == -1 || status == -2; }

struct FaultMode {
    const char* name;
    int32_t count;   // requests failing from k on; -1 all
    int32_t status;  // driver status of the failure
};

constexpr FaultMode Modes[] = {
    {"request k refused by the driver", 1, DriverRefusal},
    {"request k failing without a status", 1, 0},
    {"every request from k refused by the driver", -1, DriverRefusal},
    {"every request from k failing without a status", -1, 0},
};

// Window queries of the last call: how many succeeded, and how many met
// the fault (a failure without a status is traced with status 0, so the
// fault's request numbers decide).
struct Queries {
    int succeeded = 0;
    int failed = 0;
};

bool Faulted(uint32_t number, uint32_t k, int32_t count) {
    return k > 0 && number >= k && (count < 0 || number < k + static_cast<uint32_t>(count));
}

Queries CountQueries(uint32_t k, int32_t count) {
    Queries q;
    const auto trace = Trace();
    for (size_t i = 0; i < trace.size(); ++i) {
        if (trace[i].code != WindowQuery) continue;
        (Faulted(static_cast<uint32_t>(i + 1), k, count) ? q.failed : q.succeeded)++;
    }
    return q;
}

class FaultInjection : public HardeningTest {
protected:
    struct Run {
        int32_t status;
        std::string printed;
        uint32_t requests;  // requests the call made
    };

    // Applies the fault, makes the call, clears the fault.
    Run CallWithFault(const Export& e, uint32_t k, const FaultMode& mode) {
        RadovlSim_TraceClear();
        if (k > 0) RadovlSim_FailRequests(static_cast<int32_t>(k), mode.count, mode.status);
        capture_.Begin();
        const int32_t status = Call(e, e.valid);
        Run run{status, capture_.End(), RadovlSim_RequestCount()};
        RadovlSim_FailRequests(0, 0, 0);
        return run;
    }

    // Checks what start-up (the one under test, or a repeated one) did
    // under a fault.
    void CheckStartUp(const Run& run, uint32_t k, const FaultMode& mode, int32_t handlesBefore,
                      const std::string& where) {
        SCOPED_TRACE(where);
        EXPECT_TRUE(IsStatus(run.status)) << run.status;
        std::string why;
        EXPECT_TRUE(OnlyLines(run.printed, StartUpLines(), &why)) << why;
        const Queries q = CountQueries(k, mode.count);
        // Start-up fails exactly when a board could not be opened, and says so.
        EXPECT_EQ(run.status, q.failed > 0 ? -1 : 1);
        EXPECT_EQ(run.printed.find("Error : board initialization failed") != std::string::npos, q.failed > 0);
        // Each connection opened keeps its mutex and device; a failed open keeps nothing.
        EXPECT_EQ(RadovlSim_OpenHandles(), handlesBefore + 2 * q.succeeded);
        if (q.failed > 0) {
            EXPECT_EQ(CurrentBoard(), nullptr);
        }
    }

    // After the faults are cleared a start-up works again, and the call
    // does what it did without faults.
    void CheckRecovery(const Export& e, int32_t cleanStatus, const std::string& where,
                       const std::string& startUpOutput) {
        SCOPED_TRACE(where + ", after the faults were cleared");
        std::string printed;
        ASSERT_EQ(InitCaptured(&printed), 1) << printed;
        EXPECT_EQ(printed, startUpOutput);
        if (e.prepare != nullptr) e.prepare();
        RadovlSim_TraceClear();
        capture_.Begin();
        const int32_t status = Call(e, e.valid);
        const std::string again = capture_.End();
        EXPECT_EQ(status, cleanStatus);
        if (&e != &Exports().front()) {
            EXPECT_EQ(again, "");
        }
    }

    // Start-up under test: a fresh process and board, then KT_RDSP_Init
    // with request k failing.
    void StartUpFaults(bool fallbackPath) {
        const Export& init = Exports().front();
        auto fresh = [&] {
            RadovlSim_Reset();
            RadovlSim_SetExecutablePath((Dir() + "/bin/console").c_str());
            RadovlSim_SetScratchFault(0, fallbackPath ? 1 : 0);
        };
        fresh();
        const Run clean = CallWithFault(init, 0, Modes[0]);
        ASSERT_EQ(clean.status, 1) << clean.printed;
        ASSERT_GT(clean.requests, 100u);
        int runs = 0;
        for (const FaultMode& mode : Modes) {
            for (uint32_t k = 1;; ++k) {
                ASSERT_LE(k, 4 * clean.requests + 64) << "start-up keeps meeting the fault: " << mode.name;
                fresh();
                const Run run = CallWithFault(init, k, mode);
                const std::string where = std::string(mode.name) + ", k = " + std::to_string(k);
                CheckStartUp(run, k, mode, 0, where);
                CheckRecovery(init, 1, where, clean.printed);
                ++runs;
                if (HasFailure()) return;
                if (run.requests < k) break;  // finished without reaching the fault
            }
        }
        RecordProperty("runs", runs);
    }
};

TEST_F(FaultInjection, StartUpOnTheNormalPath) { StartUpFaults(false); }

// Board 0 fails the scratch test: fallback programs on board 0, then board 1.
TEST_F(FaultInjection, StartUpOnTheFallbackPath) { StartUpFaults(true); }

class EveryExport : public FaultInjection, public ::testing::WithParamInterface<size_t> {};

TEST_P(EveryExport, SurvivesAFailureAtEveryRequest) {
    const Export& e = Exports()[GetParam()];
    const bool isInit = GetParam() == 0;
    auto prepared = [&] {
        std::string printed;
        const int32_t status = Restart(&printed);
        if (e.prepare != nullptr) e.prepare();
        return status == 1;
    };

    ASSERT_TRUE(prepared());
    const Run clean = CallWithFault(e, 0, Modes[0]);
    ASSERT_TRUE(IsStatus(clean.status)) << clean.status;
    if (!isInit) {
        EXPECT_EQ(clean.printed, "");
    }

    int runs = 0;
    for (const FaultMode& mode : Modes) {
        for (uint32_t k = 1;; ++k) {
            ASSERT_LE(k, 4 * clean.requests + 64) << e.name << " keeps meeting the fault: " << mode.name;
            ASSERT_TRUE(prepared());
            const int32_t handles = RadovlSim_OpenHandles();
            const Run run = CallWithFault(e, k, mode);
            const std::string where = std::string(e.name) + ": " + mode.name + ", k = " + std::to_string(k);
            if (isInit) {
                CheckStartUp(run, k, mode, handles, where);
            } else {
                SCOPED_TRACE(where);
                EXPECT_TRUE(IsStatus(run.status)) << run.status;
                // The gate and the argument checks do not depend on the board.
                EXPECT_EQ(run.status, clean.status);
                EXPECT_EQ(run.printed, "");
                EXPECT_EQ(RadovlSim_OpenHandles(), handles);
            }
            CheckRecovery(e, clean.status, where, NormalStartUpOutput());
            ++runs;
            if (HasFailure()) return;
            if (run.requests < k) break;
        }
    }
    RecordProperty("runs", runs);
}

std::string ExportName(const ::testing::TestParamInfo<size_t>& info) { return Exports()[info.param].name; }

INSTANTIATE_TEST_SUITE_P(AllFifty, EveryExport, ::testing::Range<size_t>(0, 50), ExportName);

TEST(ExportTable, HasTheFiftyExportsOnce) {
    ASSERT_EQ(Exports().size(), 50u);
    std::vector<std::string> names;
    for (const Export& e : Exports()) {
        names.push_back(e.name);
        EXPECT_EQ(e.params.size(), e.valid.size()) << e.name;
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(std::unique(names.begin(), names.end()), names.end());
}

// ---------------------------------------------------------------------------
// Board open failures, step by step.

using OpenFailure = HardeningTest;

std::string QuietInit(StdoutCapture& capture, int32_t* status) {
    capture.Begin();
    *status = KT_RDSP_Init();
    return capture.End();
}

TEST_F(OpenFailure, NoDevice) {
    RadovlSim_SetBoardPresent(0, 0);
    int32_t status = 0;
    const std::string printed = QuietInit(capture_, &status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(printed, BoardFailedLine(0xA1020000, "Can't communicate with\nthe driver for board #0"));
    EXPECT_EQ(RadovlSim_OpenHandles(), 0);
    EXPECT_EQ(RadovlSim_RequestCount(), 0u);
    EXPECT_EQ(CurrentBoard(), nullptr);
    EXPECT_EQ(KT_RDSP_OpenOverlay(1, 1), -2);
}

TEST_F(OpenFailure, MutexNeitherCreatedNorOpened) {
    RadovlSim_SetMutexFault(2);
    int32_t status = 0;
    const std::string printed = QuietInit(capture_, &status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(printed, BoardFailedLine(0xA2070000, "Can't create or\nopen board's mutex"));
    EXPECT_EQ(RadovlSim_OpenHandles(), 0);
    EXPECT_EQ(RadovlSim_RequestCount(), 0u);
    EXPECT_EQ(CurrentBoard(), nullptr);
    EXPECT_EQ(KT_RDSP_OpenOverlay(1, 1), -2);
}

TEST_F(OpenFailure, MutexOpenedWhenItCannotBeCreated) {
    RadovlSim_SetMutexFault(1);
    int32_t status = 0;
    QuietInit(capture_, &status);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(RadovlSim_OpenHandles(), 2);
}

TEST_F(OpenFailure, WindowQueryFails) {
    struct Case {
        int32_t status;
        uint32_t code;
        const char* text;
    };
    for (const Case& c : {Case{DriverRefusal, 0x900B0000, "Invalid register space"},
                          Case{0, 0xA1070000, "Error while sending a\nrequest to the driver"}}) {
        SCOPED_TRACE(c.text);
        RadovlSim_Reset();
        RadovlSim_FailRequests(1, 1, c.status);
        int32_t status = 0;
        const std::string printed = QuietInit(capture_, &status);
        EXPECT_EQ(status, -1);
        EXPECT_EQ(printed, BoardFailedLine(c.code, c.text));
        EXPECT_EQ(RadovlSim_OpenHandles(), 0);
        EXPECT_EQ(CurrentBoard(), nullptr);
        // The failed query, then the reset request of the close; nothing else.
        const auto trace = Trace();
        ASSERT_EQ(trace.size(), 2u);
        EXPECT_EQ(trace[0].code, WindowQuery);
        EXPECT_EQ(trace[0].status, c.status);
        EXPECT_EQ(trace[1].function, 2u);
        EXPECT_EQ(trace[1].space, 2u);
        EXPECT_EQ(trace[1].offset, 4u);
        EXPECT_EQ(KT_RDSP_OpenOverlay(1, 1), -2);
    }
}

TEST_F(OpenFailure, Board1AbsentOnTheFallbackPathKeepsOnlyBoard0) {
    RadovlSim_SetScratchFault(0, 1);
    RadovlSim_SetBoardPresent(1, 0);
    int32_t status = 0;
    const std::string printed = QuietInit(capture_, &status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(printed, "The file ./out/vibout/clktest_b.out was opened\n"
                       "The file ./out/vibout/clktest_c.out was opened\n"
                       "The file ./out/vibout/NicTest.out was opened\n" +
                           BoardFailedLine(0xA1020001, "Can't communicate with\nthe driver for board #1"));
    EXPECT_EQ(RadovlSim_OpenHandles(), 2);  // board 0's mutex and device, kept for the process
    EXPECT_EQ(CurrentBoard(), nullptr);
    EXPECT_EQ(KT_RDSP_OpenOverlay(1, 1), -2);
}

TEST_F(OpenFailure, RepeatedStartUpWhoseOpenFails) {
    ASSERT_EQ(Restart(), 1);
    EXPECT_EQ(RadovlSim_OpenHandles(), 2);
    RadovlSim_TraceClear();
    RadovlSim_FailRequests(1, 1, DriverRefusal);
    int32_t status = 0;
    QuietInit(capture_, &status);
    RadovlSim_FailRequests(0, 0, 0);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(RadovlSim_OpenHandles(), 2);
    // No connection to reach the board with: nothing is sent.
    RadovlSim_TraceClear();
    EXPECT_NE(KT_RDSP_OpenOverlay(1, 1), 1);
    EXPECT_EQ(RadovlSim_RequestCount(), 0u);
    // The driver works again: so does start-up.
    std::string printed;
    EXPECT_EQ(InitCaptured(&printed), 1);
    EXPECT_EQ(printed, NormalStartUpOutput());
    EXPECT_EQ(KT_RDSP_OpenOverlay(1, 1), 1);
}

}  // namespace
}  // namespace radovl::test
