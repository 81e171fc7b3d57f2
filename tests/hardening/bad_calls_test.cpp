// Seeded random sequences of calls across all fifty exports with any slot
// values: every channel byte with any upper bits, 0x80000000, NaN and
// infinite floats, values just inside and just outside each range; before
// and after start-up, with the I2C core slow, quick or stuck busy.
//
// Every call returns 1, -1 or -2; a refused call leaves the library's record
// as it was and sends nothing (the three operations that read a register
// before refusing send that one read and no write); nothing but start-up
// prints; every call returns.
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <random>

#include "support/export_table.h"
#include "hardening/harness.h"
#include "windows/state.h"

namespace radovl::test {
namespace {

const uint32_t Interesting[] = {
    0,          1,          2,          3,          4,          7,          8,          9,
    0xFFFFFFFF, 0xFFFFFFFE, 0x80000000, 0x7FFFFFFF, 0x80000001, 0x8000,     0x7FFF,     0xFFFF,
    0x10000,    0x10001,    0x10002,    0x80,       0x7F,       0xFF,       0x100,      0x101,
    0x102,      0x1FF,      0x17F,      0xFF01,     0xFF02,     300,        301,        511,
    512,        513,        576,        577,        719,        720,        721,        1023,
    1024,       1199,       1200,       1201,       1279,       1280,       32767,      0xFFFF8000,
};

const float InterestingFloats[] = {
    std::numeric_limits<float>::quiet_NaN(),
    -std::numeric_limits<float>::quiet_NaN(),
    std::numeric_limits<float>::signaling_NaN(),
    std::numeric_limits<float>::infinity(),
    -std::numeric_limits<float>::infinity(),
    std::numeric_limits<float>::max(),
    std::numeric_limits<float>::lowest(),
    std::numeric_limits<float>::denorm_min(),
    -std::numeric_limits<float>::denorm_min(),
    0.0f,
    -0.0f,
    1e10f,
    -1e10f,
    2147483648.0f,
    -2147483648.0f,
    2147483520.0f,
    4294967296.0f,
    360.0f,
    -360.0f,
    359.99f,
    -0.0001f,
    -90.5f,
    450.25f,
    1e-30f,
};

class CallMaker {
public:
    explicit CallMaker(uint64_t seed) : rng_(seed) {}

    size_t Pick(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng_); }
    bool OneIn(uint32_t n) { return Pick(n) == 0; }
    uint32_t Bits() { return static_cast<uint32_t>(rng_()); }

    Slots Arguments(const Export& e) {
        Slots slots(e.params.size());
        for (size_t i = 0; i < slots.size(); ++i) slots[i] = Slot(e.params[i], e.valid[i]);
        return slots;
    }

private:
    uint32_t Slot(Param param, uint32_t valid) {
        if (param == Param::Channel) return Channel();
        if (param == Param::Float) return Float(valid);
        switch (Pick(6)) {
            case 0: return valid;
            case 1: return valid + static_cast<uint32_t>(static_cast<int32_t>(Pick(5)) - 2);
            case 2: return Interesting[Pick(std::size(Interesting))];
            case 3: return static_cast<uint32_t>(static_cast<int32_t>(Pick(3400)) - 1700);
            case 4: return Bits();
            default: return (Bits() & 0xFFFF0000u) | (valid & 0xFFFFu);  // noise above a 16-bit value
        }
    }

    // Every channel byte, with and without noise in the upper 24 bits.
    uint32_t Channel() {
        const uint32_t byte = Pick(2) == 0 ? static_cast<uint32_t>(1 + Pick(2)) : static_cast<uint32_t>(Pick(256));
        return OneIn(4) ? (Bits() & 0xFFFFFF00u) | byte : byte;
    }

    uint32_t Float(uint32_t valid) {
        switch (Pick(4)) {
            case 0: return valid;
            case 1: return Bits();
            case 2: return FloatBits(std::uniform_real_distribution<float>(-1000.0f, 1000.0f)(rng_));
            default: return FloatBits(InterestingFloats[Pick(std::size(InterestingFloats))]);
        }
    }

    std::mt19937_64 rng_;
};

// The library's record byte for byte, padding included: copied with
// memcpy so that the padding is the record's own.
using StateBytes = std::array<unsigned char, sizeof(LibraryState)>;

StateBytes Snapshot() {
    StateBytes bytes;
    std::memcpy(bytes.data(), &state, sizeof state);
    return bytes;
}

bool IsStatus(int32_t status) { return status == 1 || status == -1 || status == -2; }

class BadCalls : public HardeningTest {
protected:
    struct Tally {
        std::map<int32_t, int> statuses;
        int calls = 0;
    };

    // One call and everything that must hold for it. started: a start-up
    // has completed and left a connection.
    void CheckedCall(const Export& e, const Slots& slots, bool started, Tally* tally) {
        const std::string call = Describe(e, slots);
        const bool isInit = &e == &Exports().front();
        const StateBytes before = Snapshot();
        RadovlSim_TraceClear();
        capture_.Begin();
        const int32_t status = Call(e, slots);
        const std::string printed = capture_.End();
        const uint32_t requests = RadovlSim_RequestCount();
        tally->statuses[status]++;
        tally->calls++;

        ASSERT_TRUE(IsStatus(status)) << call << " returned " << status;
        if (isInit) {
            ASSERT_EQ(status, 1) << call;
            ASSERT_EQ(printed, NormalStartUpOutput()) << call;
            return;
        }
        ASSERT_EQ(printed, "") << call;
        if (!started) {
            // No connection: nothing can be sent, and every gated call says so.
            ASSERT_EQ(requests, 0u) << call;
            if (e.gated) {
                ASSERT_EQ(status, -2) << call;
            }
        } else {
            ASSERT_NE(status, -2) << call;
        }
        if (status == 1) return;

        ASSERT_TRUE(before == Snapshot()) << call << " changed the library's record and returned " << status;
        const std::vector<std::string> accesses = Accesses();
        switch (e.refusal) {
            case Refusal::SendsNothing:
                ASSERT_EQ(requests, 0u) << call << " returned " << status << " after sending "
                                        << (accesses.empty() ? std::string("?") : accesses.front());
                break;
            case Refusal::MayReadDisplayControl:
                ASSERT_TRUE(accesses.empty() || (accesses.size() == 1 && accesses[0].rfind("R32 0xB0203000 ->", 0) == 0))
                    << call << " sent " << accesses.size() << " accesses before refusing";
                break;
            case Refusal::MayReadPpiFlags:
                ASSERT_TRUE(accesses.empty() ||
                            (accesses.size() == 1 && (accesses[0].rfind("V0 R 0xB0080002 ->", 0) == 0 ||
                                                      accesses[0].rfind("V1 R 0xB0080002 ->", 0) == 0)))
                    << call << " sent " << accesses.size() << " accesses before refusing";
                break;
        }
    }

    void Sequence(uint64_t seed, int calls, bool startUp) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        ASSERT_EQ(Restart(), 1);
        if (!startUp) {
            RadovlSim_Reset();
            RadovlSim_SetExecutablePath((Dir() + "/bin/console").c_str());
        }
        CallMaker maker(seed);
        Tally tally;
        const auto& exports = Exports();
        for (int i = 0; i < calls; ++i) {
            // The I2C core: quick, slow, or stuck busy for a while.
            if (startUp && maker.OneIn(300)) {
                const int32_t busy[] = {0, 1, 4, -1};
                RadovlSim_SetI2cBusyReads(busy[maker.Pick(std::size(busy))]);
            }
            // Start-up again now and then (without start-up: never).
            size_t index = 1 + maker.Pick(exports.size() - 1);
            if (startUp && maker.OneIn(400)) index = 0;
            const Export& e = exports[index];
            const Slots slots = maker.Arguments(e);
            SCOPED_TRACE("call " + std::to_string(i));
            CheckedCall(e, slots, startUp, &tally);
            if (HasFatalFailure()) return;
        }
        RecordProperty("calls", tally.calls);
        for (const auto& [status, count] : tally.statuses) {
            RecordProperty("status " + std::to_string(status), count);
        }
        // Calls were carried out too, not only refused.
        if (startUp) {
            EXPECT_GT(tally.statuses[1], calls / 50);
        }
    }
};

TEST_F(BadCalls, BeforeStartUp) {
    for (uint64_t seed : {1, 2}) Sequence(seed, 5000, false);
}

TEST_F(BadCalls, AfterStartUpSeed1) { Sequence(101, 10000, true); }
TEST_F(BadCalls, AfterStartUpSeed2) { Sequence(202, 10000, true); }
TEST_F(BadCalls, AfterStartUpSeed3) { Sequence(303, 10000, true); }

// A core that never leaves busy: start-up and the decoder writes of the TV
// operations still return, and once the core answers again the decoders
// are written.
TEST_F(BadCalls, I2cStuckBusyNeverHangs) {
    RadovlSim_SetI2cBusyReads(-1);
    RadovlSim_SetExecutablePath((Dir() + "/bin/console").c_str());
    std::string printed;
    ASSERT_EQ(InitCaptured(&printed), 1);
    EXPECT_EQ(printed, NormalStartUpOutput());
    for (int32_t channel : {1, 2}) {
        EXPECT_TRUE(IsStatus(KT_RDSP_SetTVBright(channel, 0x11)));
        EXPECT_TRUE(IsStatus(KT_RDSP_SetTVColor(channel, 0x22)));
        EXPECT_TRUE(IsStatus(KT_RDSP_SetTVContrast(channel, 0x33)));
    }
    // Nothing reached the decoders while the bus was busy.
    EXPECT_EQ(RadovlSim_PeekDecoder(0, 0x5C, 0x09), 0);
    EXPECT_EQ(RadovlSim_PeekDecoder(0, 0x5D, 0x15), 0);

    RadovlSim_SetI2cBusyReads(1);
    ASSERT_EQ(InitCaptured(&printed), 1);
    EXPECT_EQ(RadovlSim_PeekDecoder(0, 0x5C, 0x09), 0x80);
    EXPECT_EQ(RadovlSim_PeekDecoder(0, 0x5D, 0x15), 0x15);
}

}  // namespace
}  // namespace radovl::test
