#include "support/board_test.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

namespace radovl::test {
namespace {

// Literal numbers of the board's map, for decoding only.
constexpr uint32_t MemoryRequest = 0xC3502047;
constexpr uint32_t BridgeControl[2] = {0x6C000400, 0x6C000410};
constexpr uint32_t BridgeAddress[2] = {0x6C000404, 0x6C000414};
constexpr uint32_t BridgeData[2] = {0x6C00040C, 0x6C00041C};

struct Main {
    bool pci;          // PCI interface register rather than main DSP memory
    uint32_t function;
    uint32_t address;  // main DSP address, or PCI offset
    uint32_t value;
    int32_t status;
    bool query;
};

const char* Operation(uint32_t function) {
    switch (function & 3) {
        case 0: return "R";
        case 1: return "W";
        case 2: return "S";
        default: return "C";
    }
}

int Width(uint32_t function) { return 8 << ((function >> 2) & 3); }

std::string Status(int32_t status) { return status == 0 ? "" : " !" + Hex(static_cast<uint32_t>(status)); }

std::string MainText(const Main& m) {
    if (m.query) return "QUERY" + Status(m.status);
    const bool read = (m.function & 3) == 0;
    std::string text = m.pci ? "PCI " : "";
    text += Operation(m.function) + std::to_string(Width(m.function)) + " ";
    text += m.pci ? std::to_string(m.address) : Hex(m.address);
    text += read ? " -> " : " = ";
    text += Hex(m.value, Width(m.function) / 4);
    return text + Status(m.status);
}

std::vector<Main> Decode(const std::vector<RadovlSimRequest>& trace) {
    std::vector<Main> out;
    uint32_t page = 0;
    for (const RadovlSimRequest& r : trace) {
        if (r.code != MemoryRequest) {
            out.push_back(Main{false, 0, 0, 0, r.status, true});
            continue;
        }
        if (r.space == 2 && r.offset == 8 && r.function == 9) {
            page = r.value;  // selects the page of the next access
            if (r.status != 0) out.push_back(Main{true, r.function, r.offset, r.value, r.status, false});
            continue;
        }
        if (r.space == 2) {
            out.push_back(Main{true, r.function, r.offset, r.value, r.status, false});
            continue;
        }
        const uint32_t base = r.space == 0 ? (page << 22) : 0x01800000;
        out.push_back(Main{false, r.function, base | r.offset, r.value, r.status, false});
    }
    return out;
}

}  // namespace

std::string Hex(uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

std::string NativePath(std::string path) {
#if defined(_WIN32)
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
#endif
    return path;
}

std::vector<RadovlSimRequest> Trace() {
    std::vector<RadovlSimRequest> out(static_cast<size_t>(RadovlSim_TraceCount()));
    for (size_t i = 0; i < out.size(); ++i) RadovlSim_TraceGet(static_cast<int32_t>(i), &out[i]);
    return out;
}

std::vector<std::string> MainAccesses(const std::vector<RadovlSimRequest>& trace) {
    std::vector<std::string> out;
    for (const Main& m : Decode(trace)) out.push_back(MainText(m));
    return out;
}

std::vector<std::string> Accesses(const std::vector<RadovlSimRequest>& trace) {
    const std::vector<Main> main = Decode(trace);
    std::vector<std::string> out;
    for (size_t i = 0; i < main.size(); ++i) {
        bool collapsed = false;
        for (int d = 0; d < 2 && !collapsed && i + 2 < main.size(); ++d) {
            const Main& control = main[i];
            const Main& address = main[i + 1];
            const Main& data = main[i + 2];
            if (!control.pci && !control.query && control.function == 9 && control.address == BridgeControl[d] &&
                control.value == 0x00010001 && control.status == 0 && !address.pci && !address.query &&
                address.function == 9 && address.address == BridgeAddress[d] && address.status == 0 &&
                !data.pci && !data.query && (data.function == 9 || data.function == 8) &&
                data.address == BridgeData[d]) {
                const bool read = data.function == 8;
                out.push_back("V" + std::to_string(d) + (read ? " R " : " W ") + Hex(address.value) +
                              (read ? " -> " : " = ") + Hex(data.value) + Status(data.status));
                i += 2;
                collapsed = true;
            }
        }
        if (!collapsed) out.push_back(MainText(main[i]));
    }
    return out;
}

std::vector<std::string> Accesses() { return Accesses(Trace()); }

std::vector<std::string> Matching(const std::vector<std::string>& accesses, const std::string& needle) {
    std::vector<std::string> out;
    for (const std::string& a : accesses) {
        if (a.find(needle) != std::string::npos) out.push_back(a);
    }
    return out;
}

std::string CaptureStdout(const std::function<void()>& fn) {
    std::fflush(stdout);
    ::testing::internal::CaptureStdout();
    fn();
    std::fflush(stdout);
    return ::testing::internal::GetCapturedStdout();
}

std::vector<CapturedCall> ReadCapture(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<CapturedCall> calls;
    RadovlCaptureHeader header{};
    if (bytes.size() < 32) {
        ADD_FAILURE() << path << ": " << bytes.size() << " bytes";
        return calls;
    }
    std::memcpy(&header, bytes.data(), 32);
    EXPECT_EQ(std::string(header.magic, 8), "RADOVCAP");
    EXPECT_EQ(header.version, 2u);
    EXPECT_EQ(header.headerBytes, 32u);
    bool inCall = false;
    for (size_t at = 32; at < bytes.size();) {
        const uint8_t kind = static_cast<uint8_t>(bytes[at]);
        // What the call read besides the board: a platform record, a file
        // record with its name's and contents' bytes after it.
        if ((kind == 4 || kind == 5) && inCall && at + 16 <= bytes.size()) {
            uint16_t nameBytes = 0;
            uint32_t dataBytes = 0;
            std::memcpy(&nameBytes, bytes.data() + at + 2, sizeof nameBytes);
            std::memcpy(&dataBytes, bytes.data() + at + 4, sizeof dataBytes);
            calls.back().reads.push_back(kind == 4 ? std::string(bytes, at + 4, 28)
                                                   : std::string(bytes, at + 16, nameBytes));
            at += kind == 4 ? 32 : 16 + size_t{nameBytes} + dataBytes;
            continue;
        }
        const size_t size = kind == 1 ? 64 : kind == 2 ? 48 : kind == 3 ? 16 : 0;
        if (size == 0 || at + size > bytes.size() || inCall == (kind == 1)) {
            ADD_FAILURE() << path << ": record kind " << int{kind} << " at byte " << at;
            return calls;
        }
        if (kind == 1) {
            calls.emplace_back();
            std::memcpy(&calls.back().call, bytes.data() + at, size);
        } else if (kind == 2) {
            calls.back().requests.emplace_back();
            std::memcpy(&calls.back().requests.back(), bytes.data() + at, size);
        } else {
            std::memcpy(&calls.back().end, bytes.data() + at, size);
            EXPECT_EQ(calls.back().end.requests, calls.back().requests.size()) << calls.back().call.name;
        }
        inCall = kind != 3;
        at += size;
    }
    EXPECT_FALSE(inCall) << path << " ends inside a call";
    return calls;
}

std::vector<coff::Section> DisplayProgram(uint32_t distanceVariable) {
    coff::Section pointer;
    pointer.name = ".distptr";
    pointer.address = 0x80000000;
    pointer.data = coff::WordBytes({distanceVariable});
    coff::Section text;
    text.name = ".text";
    text.address = 0x80010000;
    text.data = coff::WordBytes({0x0000A120, 0x0000A121, 0x0000A122, 0x0000A123});
    return {pointer, text};
}

namespace {

// A new directory of its own under the system's temporary directory.
std::filesystem::path MakeTemporaryDirectory() {
    static std::mt19937_64 random{std::random_device{}()};
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[32];
        std::snprintf(name, sizeof name, "radovl-test-%08X", static_cast<unsigned>(random()));
        std::error_code error;
        if (std::filesystem::create_directory(base / name, error)) return base / name;
    }
    return std::filesystem::path();
}

}  // namespace

void BoardTest::SetUp() {
    RadovlSim_Reset();
    // A reset keeps the trace settings of the test before; these tests
    // read whole traces.
    RadovlSim_SetTraceEnabled(1);
    RadovlSim_SetTraceCapacity(-1);
    std::error_code error;
    previousDir_ = std::filesystem::current_path(error).string();
    ASSERT_FALSE(error) << error.message();
    const std::filesystem::path dir = MakeTemporaryDirectory();
    ASSERT_FALSE(dir.empty()) << "no temporary directory";
    dir_ = dir.string();
    std::filesystem::create_directories(dir / "bin");
    std::filesystem::current_path(dir, error);
    ASSERT_FALSE(error) << error.message();
    RadovlSim_SetExecutablePath((dir / "bin" / "console").string().c_str());
}

void BoardTest::TearDown() {
    RadovlSim_Reset();
    std::error_code error;
    if (!previousDir_.empty()) std::filesystem::current_path(previousDir_, error);
    if (!dir_.empty()) std::filesystem::remove_all(dir_, error);
}

std::string BoardTest::DisplayModeFile() const { return dir_ + "/bin/out/dismodeconfig.inf"; }

void BoardTest::WriteDisplayModeFile(const std::string& content) const {
    std::filesystem::create_directories(dir_ + "/bin/out");
    std::ofstream(DisplayModeFile(), std::ios::binary) << content;
}

void BoardTest::WriteProgram(const std::string& relativePath, const std::vector<coff::Section>& sections) const {
    ASSERT_TRUE(coff::WriteFile(dir_ + "/" + relativePath, coff::BuildProgram(sections)));
}

void BoardTest::WriteDisplayPrograms() const { WriteProgram("out/idbout/testcmp.out", DisplayProgram()); }

void BoardTest::StartUp() {
    WriteDisplayPrograms();
    std::string output;
    int32_t status = 0;
    output = CaptureStdout([&] { status = KT_RDSP_Init(); });
    ASSERT_EQ(status, 1) << output;
    RadovlSim_TraceClear();
}

}  // namespace radovl::test
