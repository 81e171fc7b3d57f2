// A console host as the radar console is one: loads radovl.dll at run time,
// resolves the fifty entry points by name and calls them. Run under Wine,
// where no board driver exists, it checks what a host sees on a machine
// without the board.
//
//   radovl_host_check [path\to\radovl.dll [--simulated-board]]
//
// Prints one line per check and exits with 0 when all of them pass.
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "radovl/radovl.h"

namespace {

// The export table, by name, as the console resolves it.
const char* const ExportNames[] = {
    "KT_RDSP_Init",
    "KT_RDSP_OpenOverlay",
    "KT_RDSP_SetScreenProp",
    "KT_RDSP_SetPPIVideoCombined",
    "SetTVP2pMode",
    "SetRDP2pMode",
    "KT_RDSP_OpenPPI",
    "KT_RDSP_ClosePPI",
    "KT_RDSP_SetPPIXY",
    "KT_RDSP_SetPPIWH",
    "KT_RDSP_SetPPIMode",
    "KT_RDSP_SetPPICenter",
    "KT_RDSP_SetPPIShipDir",
    "KT_RDSP_SetPPIColor",
    "KT_RDSP_SetPPILineColor",
    "KT_RDSP_SetPPIScan",
    "KT_RDSP_FrostPPI",
    "KT_RDSP_SetPPIDist",
    "KT_RDSP_SetPPIGate",
    "KT_RDSP_SetPPITail",
    "KT_RDSP_SetPPISwitch",
    "KT_RDSP_SetPPILineTail",
    "KT_RDSP_SetPPIOnTop",
    "KT_RDSP_OpenMiniWin",
    "KT_RDSP_CloseMiniWin",
    "KT_RDSP_SetMiniWinXY",
    "KT_RDSP_SetMiniWinWH",
    "KT_RDSP_SetMiniWinMode",
    "KT_RDSP_SetMiniWinColor",
    "KT_RDSP_SetMiniWinDistDir",
    "KT_RDSP_SetMiniWinScale",
    "KT_RDSP_OpenAr",
    "KT_RDSP_CloseAr",
    "KT_RDSP_SetArXY",
    "KT_RDSP_SetArWH",
    "KT_RDSP_SetArGate",
    "KT_RDSP_SetArDist",
    "KT_RDSP_SetArColor",
    "KT_RDSP_SetArColorKey",
    "KT_RDSP_SetAROnTop",
    "KT_RDSP_OpenTV",
    "KT_RDSP_CloseTV",
    "KT_RDSP_SetTVXY",
    "KT_RDSP_SetTVWH",
    "KT_RDSP_FrostTV",
    "KT_RDSP_SetTVBright",
    "KT_RDSP_SetTVColor",
    "KT_RDSP_SetTVContrast",
    "KT_RDSP_SetTVOnTop",
    "KT_RDSP_SetTVColorKey",
};
static_assert(sizeof ExportNames / sizeof ExportNames[0] == 50, "fifty exports");

HMODULE library = nullptr;
int checks = 0;
int failures = 0;

void Check(bool ok, const std::string& what) {
    ++checks;
    if (!ok) ++failures;
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
    std::fflush(stdout);
}

template <typename Function>
Function Resolve(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

// Calls an export through the address GetProcAddress gives, with the
// header's prototype.
#define EXPORT(name) Resolve<decltype(&name)>(#name)

// Every export that passes the gate first, with arguments that would be
// accepted after start-up, and again with channel 0 where it has one.
struct GatedCall {
    const char* name;
    int32_t (*call)(int32_t channel);
};

const GatedCall GatedCalls[] = {
    {"KT_RDSP_OpenOverlay", [](int32_t c) { return EXPORT(KT_RDSP_OpenOverlay)(c, 1); }},
    {"KT_RDSP_SetPPIVideoCombined", [](int32_t) { return EXPORT(KT_RDSP_SetPPIVideoCombined)(1); }},
    {"SetTVP2pMode", [](int32_t c) { return EXPORT(SetTVP2pMode)(c, 1); }},
    {"SetRDP2pMode", [](int32_t c) { return EXPORT(SetRDP2pMode)(c, 1); }},
    {"KT_RDSP_OpenPPI", [](int32_t c) { return EXPORT(KT_RDSP_OpenPPI)(c, 100, 50, 400, 300); }},
    {"KT_RDSP_ClosePPI", [](int32_t c) { return EXPORT(KT_RDSP_ClosePPI)(c); }},
    {"KT_RDSP_SetPPIXY", [](int32_t c) { return EXPORT(KT_RDSP_SetPPIXY)(c, 100, 50); }},
    {"KT_RDSP_SetPPIWH", [](int32_t c) { return EXPORT(KT_RDSP_SetPPIWH)(c, 400, 300); }},
    {"KT_RDSP_SetPPIMode", [](int32_t c) { return EXPORT(KT_RDSP_SetPPIMode)(c, 0); }},
    {"KT_RDSP_SetPPICenter", [](int32_t c) { return EXPORT(KT_RDSP_SetPPICenter)(c, 0, 0); }},
    {"KT_RDSP_SetPPIShipDir", [](int32_t c) { return EXPORT(KT_RDSP_SetPPIShipDir)(c, 30.0f); }},
    {"KT_RDSP_SetPPIColor", [](int32_t c) { return EXPORT(KT_RDSP_SetPPIColor)(c, 0x00FF0000u); }},
    {"KT_RDSP_SetPPILineColor", [](int32_t c) { return EXPORT(KT_RDSP_SetPPILineColor)(c, 0xFF000000u); }},
    {"KT_RDSP_SetPPIScan", [](int32_t c) { return EXPORT(KT_RDSP_SetPPIScan)(c, 1); }},
    {"KT_RDSP_FrostPPI", [](int32_t c) { return EXPORT(KT_RDSP_FrostPPI)(c, 1); }},
    {"KT_RDSP_SetPPIDist", [](int32_t c) { return EXPORT(KT_RDSP_SetPPIDist)(c, 10); }},
    {"KT_RDSP_SetPPIGate", [](int32_t c) { return EXPORT(KT_RDSP_SetPPIGate)(c, 1); }},
    {"KT_RDSP_SetPPITail", [](int32_t c) { return EXPORT(KT_RDSP_SetPPITail)(c, 1); }},
    {"KT_RDSP_SetPPISwitch", [](int32_t c) { return EXPORT(KT_RDSP_SetPPISwitch)(c, 1); }},
    {"KT_RDSP_SetPPILineTail", [](int32_t c) { return EXPORT(KT_RDSP_SetPPILineTail)(c, 1u); }},
    {"KT_RDSP_SetPPIOnTop", [](int32_t c) { return EXPORT(KT_RDSP_SetPPIOnTop)(c, 1); }},
    {"KT_RDSP_OpenMiniWin", [](int32_t c) { return EXPORT(KT_RDSP_OpenMiniWin)(c, 100, 50, 200, 100); }},
    {"KT_RDSP_CloseMiniWin", [](int32_t c) { return EXPORT(KT_RDSP_CloseMiniWin)(c); }},
    {"KT_RDSP_SetMiniWinXY", [](int32_t c) { return EXPORT(KT_RDSP_SetMiniWinXY)(c, 100, 50); }},
    {"KT_RDSP_SetMiniWinWH", [](int32_t c) { return EXPORT(KT_RDSP_SetMiniWinWH)(c, 200, 100); }},
    {"KT_RDSP_SetMiniWinMode", [](int32_t c) { return EXPORT(KT_RDSP_SetMiniWinMode)(c, 0); }},
    {"KT_RDSP_SetMiniWinColor", [](int32_t c) { return EXPORT(KT_RDSP_SetMiniWinColor)(c, 0x00FF0000u); }},
    {"KT_RDSP_SetMiniWinDistDir", [](int32_t c) { return EXPORT(KT_RDSP_SetMiniWinDistDir)(c, 10, 30.0f); }},
    {"KT_RDSP_SetMiniWinScale", [](int32_t c) { return EXPORT(KT_RDSP_SetMiniWinScale)(c, 2); }},
    {"KT_RDSP_OpenAr", [](int32_t c) { return EXPORT(KT_RDSP_OpenAr)(c, 100, 50, 200, 100); }},
    {"KT_RDSP_CloseAr", [](int32_t c) { return EXPORT(KT_RDSP_CloseAr)(c); }},
    {"KT_RDSP_SetArXY", [](int32_t c) { return EXPORT(KT_RDSP_SetArXY)(c, 100, 50); }},
    {"KT_RDSP_SetArWH", [](int32_t c) { return EXPORT(KT_RDSP_SetArWH)(c, 200, 100); }},
    {"KT_RDSP_SetArGate", [](int32_t c) { return EXPORT(KT_RDSP_SetArGate)(c, 1); }},
    {"KT_RDSP_SetArDist", [](int32_t c) { return EXPORT(KT_RDSP_SetArDist)(c, 10); }},
    {"KT_RDSP_SetArColor", [](int32_t c) { return EXPORT(KT_RDSP_SetArColor)(c, 0x00010000u); }},
    {"KT_RDSP_SetArColorKey", [](int32_t c) { return EXPORT(KT_RDSP_SetArColorKey)(c, 0xFF00FFu); }},
    {"KT_RDSP_SetAROnTop", [](int32_t c) { return EXPORT(KT_RDSP_SetAROnTop)(c, 1); }},
    {"KT_RDSP_OpenTV", [](int32_t c) { return EXPORT(KT_RDSP_OpenTV)(c, 100, 50, 320, 240); }},
    {"KT_RDSP_CloseTV", [](int32_t c) { return EXPORT(KT_RDSP_CloseTV)(c); }},
    {"KT_RDSP_SetTVXY", [](int32_t c) { return EXPORT(KT_RDSP_SetTVXY)(c, 100, 50); }},
    {"KT_RDSP_SetTVWH", [](int32_t c) { return EXPORT(KT_RDSP_SetTVWH)(c, 320, 240); }},
    {"KT_RDSP_FrostTV", [](int32_t c) { return EXPORT(KT_RDSP_FrostTV)(c, 1); }},
    {"KT_RDSP_SetTVBright", [](int32_t c) { return EXPORT(KT_RDSP_SetTVBright)(c, 128); }},
    {"KT_RDSP_SetTVColor", [](int32_t c) { return EXPORT(KT_RDSP_SetTVColor)(c, 128); }},
    {"KT_RDSP_SetTVContrast", [](int32_t c) { return EXPORT(KT_RDSP_SetTVContrast)(c, 128); }},
    {"KT_RDSP_SetTVOnTop", [](int32_t c) { return EXPORT(KT_RDSP_SetTVOnTop)(c, 1); }},
    {"KT_RDSP_SetTVColorKey", [](int32_t c) { return EXPORT(KT_RDSP_SetTVColorKey)(c, 0xFF00FFu); }},
};
static_assert(sizeof GatedCalls / sizeof GatedCalls[0] == 48, "all exports but Init and SetScreenProp");

void CheckGatedCallsRefused(const char* when) {
    for (const GatedCall& g : GatedCalls) {
        for (int32_t channel : {1, 2, 0}) {
            const int32_t status = g.call(channel);
            Check(status == -2, std::string(g.name) + "(channel " + std::to_string(channel) + ") " + when +
                                    " returns -2, got " + std::to_string(status));
        }
    }
}

// Runs fn with the C runtime's standard output going to a file, and gives
// back what was printed, read as text.
template <typename Fn>
std::string CaptureStdout(Fn fn) {
    char directory[MAX_PATH];
    char file[MAX_PATH];
    if (GetTempPathA(MAX_PATH, directory) == 0 || GetTempFileNameA(directory, "rdv", 0, file) == 0) {
        Check(false, "temporary file for standard output");
        fn();
        return std::string();
    }
    std::fflush(stdout);
    const int saved = _dup(1);
    const int target = _open(file, _O_WRONLY | _O_TRUNC | _O_CREAT, _S_IREAD | _S_IWRITE);
    _dup2(target, 1);
    fn();
    std::fflush(stdout);
    _dup2(saved, 1);
    _close(saved);
    _close(target);

    std::string text;
    if (std::FILE* in = std::fopen(file, "r")) {
        char buffer[512];
        size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0) text.append(buffer, n);
        std::fclose(in);
    }
    DeleteFileA(file);
    return text;
}

std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) out += c == '\n' ? std::string("\\n") : c == '\r' ? std::string("\\r") : std::string(1, c);
    return out + "\"";
}

// The product: no driver under Wine, so start-up fails with the board
// library's message and the library stays closed.
void CheckWithoutDriver() {
    Check(GetProcAddress(library, "RadovlSim_Reset") == nullptr, "no simulator control in the product");

    const char* const expected =
        "Error : board initialization failed : 0xA1020000 : Can't communicate with\n"
        "the driver for board #0\n";
    int32_t status = 0;
    const std::string printed = CaptureStdout([&] { status = EXPORT(KT_RDSP_Init)(); });
    Check(status == -1, "KT_RDSP_Init without the driver returns -1, got " + std::to_string(status));
    Check(printed == expected, "KT_RDSP_Init prints " + Quoted(expected) + ", printed " + Quoted(printed));

    CheckGatedCallsRefused("after a failed start-up");

    status = EXPORT(KT_RDSP_SetScreenProp)(1, 0);
    Check(status == 1, "KT_RDSP_SetScreenProp(1, 0) returns 1, got " + std::to_string(status));
}

// The simulated-board flavour: start-up succeeds on the simulated board
// (without program files in the current directory) and operations reach
// the board.
void CheckSimulatedBoard() {
    using TraceCount = int32_t(RADOVL_CALL*)(void);
    const auto traceCount = reinterpret_cast<TraceCount>(
        reinterpret_cast<void*>(GetProcAddress(library, "RadovlSim_TraceCount")));
    Check(traceCount != nullptr, "RadovlSim_TraceCount resolves");

    int32_t status = EXPORT(KT_RDSP_SetScreenProp)(1, 0);
    Check(status == 1, "KT_RDSP_SetScreenProp(1, 0) returns 1, got " + std::to_string(status));

    const char* const expected =
        "The file .\\out\\idbout\\testcmp.out was not opened\n"
        "The file .\\out\\idbout\\testcmp.out was not opened\n";
    const std::string printed = CaptureStdout([&] { status = EXPORT(KT_RDSP_Init)(); });
    Check(status == 1, "KT_RDSP_Init on the simulated board returns 1, got " + std::to_string(status));
    Check(printed == expected, "KT_RDSP_Init prints " + Quoted(expected) + ", printed " + Quoted(printed));

    const int32_t before = traceCount != nullptr ? traceCount() : 0;
    status = EXPORT(KT_RDSP_SetTVColorKey)(1, 0x00123456u);
    Check(status == 1, "KT_RDSP_SetTVColorKey(1, 0x123456) returns 1, got " + std::to_string(status));
    Check(traceCount != nullptr && traceCount() > before, "the colour key reaches the simulated board");
    status = EXPORT(KT_RDSP_SetTVColorKey)(3, 0x00123456u);
    Check(status == -1, "KT_RDSP_SetTVColorKey on channel 3 returns -1, got " + std::to_string(status));
}

}  // namespace

int main(int argc, char** argv) {
    const char* path = argc > 1 ? argv[1] : "radovl.dll";
    library = LoadLibraryA(path);
    Check(library != nullptr, std::string("LoadLibraryA(\"") + path + "\")");
    if (library == nullptr) return 1;

    int resolved = 0;
    for (const char* name : ExportNames) {
        const bool found = GetProcAddress(library, name) != nullptr;
        resolved += found ? 1 : 0;
        if (!found) Check(false, std::string("GetProcAddress(\"") + name + "\")");
    }
    Check(resolved == 50, "all fifty exports resolve by name (" + std::to_string(resolved) + ")");

    CheckGatedCallsRefused("before start-up");

    const bool simulated = argc > 2 && std::string(argv[2]) == "--simulated-board";
    if (simulated) {
        CheckSimulatedBoard();
    } else {
        CheckWithoutDriver();
    }

    FreeLibrary(library);
    std::printf("host check: %d checks, %d failed\n", checks, failures);
    return failures == 0 ? 0 : 1;
}
