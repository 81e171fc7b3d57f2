#include "board/bringup.h"

#include <string>

#include "board/access.h"
#include "board/loader.h"
#include "board/selection.h"
#include "hw/programs.h"
#include "hw/registers.h"
#include "platform/platform.h"

namespace radovl {
namespace {

// One row of the EMIF configuration: a register and its value for the main
// DSP and for each video DSP. Written in table order, which is not address
// order (CECTL1 and CESEC1 lie below CECTL0 and CESEC0).
struct EmifRow {
    uint32_t address;
    uint32_t main;
    uint32_t video[VideoDspCount];
};

constexpr EmifRow EmifTable[] = {
    {Emif::AGblctl, 0x00012074, {0x000127A4, 0x000127A4}},
    {Emif::ACectl0, 0xFFFFFFD3, {0xFFFFFFD3, 0xFFFFFFD3}},
    {Emif::ACectl1, 0x22A28323, {0x22A28A42, 0x22A28A23}},
    {Emif::ACectl2, 0x22A28A42, {0x22A28A42, 0x22A28A43}},
    {Emif::ACectl3, 0x22A28A23, {0x22A28A12, 0x22A28A12}},
    {Emif::ASdctl, 0x57115000, {0x57115000, 0x57115000}},
    {Emif::ASdtim, 0x0000081B, {0x0000081B, 0x0000081B}},
    {Emif::ASdext, 0x001FAF4D, {0x001FAF4D, 0x001FAF4D}},
    {Emif::ACesec0, 0x00000062, {0x00000061, 0x00000023}},
    {Emif::ACesec1, 0x00000042, {0x00000042, 0x00000041}},
    {Emif::ACesec2, 0x00000042, {0x00000042, 0x00000041}},
    {Emif::ACesec3, 0x00000041, {0x00000041, 0x00000041}},
    {Emif::BGblctl, 0x000127A4, {0x000127A4, 0x000127A4}},
    {Emif::BCectl0, 0xFFFFFF03, {0x000000B0, 0x000000B0}},
    {Emif::BCectl1, 0xFFFFFF03, {0xFFFFFF03, 0xFFFFFF03}},
    {Emif::BCectl2, 0x22A28AB3, {0x000000B3, 0x000000B0}},
    {Emif::BCectl3, 0x22A28A13, {0xFFFFFF13, 0xFFFFFF13}},
    {Emif::BSdctl, 0x57115000, {0x57115000, 0x57115000}},
    {Emif::BSdtim, 0x0000081B, {0x0000030D, 0x0000030D}},
    {Emif::BSdext, 0x001FAF4D, {0x0004B4A8, 0x0004B4A8}},
    {Emif::BCesec0, 0x00000041, {0x00000041, 0x00000041}},
    {Emif::BCesec1, 0x00000041, {0x00000041, 0x00000041}},
    {Emif::BCesec2, 0x00000042, {0x00000042, 0x00000042}},
    {Emif::BCesec3, 0x00000041, {0x00000041, 0x00000041}},
};
static_assert(sizeof EmifTable / sizeof EmifTable[0] == 24, "24 EMIF registers per DSP");

void ConfigureMainEmif() {
    for (const EmifRow& row : EmifTable) BoardWrite32(row.address, row.main);
}

void ConfigureVideoEmif(int dsp) {
    for (const EmifRow& row : EmifTable) VideoWrite32(dsp, row.address, row.video[dsp]);
}

// Program files, relative to the current directory.
std::string ProgramPath(DspProgramFile program) {
    const char separator = platform::PathSeparator();
    return std::string(".") + separator + "out" + separator + program.folder + separator + program.file;
}

constexpr uint32_t FallbackSettleMs = 100;

}  // namespace

void ResetMainDsp() {
    SendMemoryRequest(Function::Write8, Space::PciInterface, PciControl::Offset, PciControl::ResetDsp, 1,
                      CurrentBoard());
}

void ReleaseVideoDsp(int dsp) {
    const uint32_t release = DspResetControl::Release.For(dsp);
    const uint32_t enable = BoardRead8(DspResetEnable::Address);
    BoardWrite8(DspResetEnable::Address, static_cast<int8_t>((enable & DspResetEnable::Kept) | DspResetEnable::Hold));
    const uint32_t lines = BoardRead8(DspResetControl::Address) & (DspResetControl::UsedBits & ~release);
    BoardWrite8(DspResetControl::Address, static_cast<int8_t>(lines));            // held in reset
    BoardWrite8(DspResetControl::Address, static_cast<int8_t>(lines | release));  // released
    BoardWrite8(DspResetEnable::Address, static_cast<int8_t>(enable & DspResetEnable::Kept));
}

void StartVideoDsp(int dsp) { BridgeControlWrite(dsp, BridgeControl::Start); }

void InterruptMainDsp() {
    SendMemoryRequest(Function::Write8, Space::PciInterface, PciControl::Offset, PciControl::InterruptDsp, 1,
                      CurrentBoard());
    SendMemoryRequest(Function::Write8, Space::PciInterface, PciControl::Offset, 0, 1, CurrentBoard());
}

void BringUpBoard() {
    ResetMainDsp();
    ConfigureMainEmif();
    ReleaseVideoDsp(0);
    ConfigureVideoEmif(0);
    ReleaseVideoDsp(1);
    ConfigureVideoEmif(1);
    BoardRead32(DisplayControl::Address);  // read before the write, value unused
    BoardWrite32(DisplayControl::Address, 0);
}

void LoadVideoPrograms() {
    const std::string program = ProgramPath(DspPrograms::Display);
    LoadDspProgram(LoadTarget::Video(0), program.c_str());
    StartVideoDsp(0);
    LoadDspProgram(LoadTarget::Video(1), program.c_str());
    StartVideoDsp(1);
}

void LoadFallbackPrograms() {
    LoadDspProgram(LoadTarget::Video(0), ProgramPath(DspPrograms::FallbackVideo0).c_str());
    platform::Sleep(FallbackSettleMs);
    StartVideoDsp(0);
    platform::Sleep(FallbackSettleMs);
    StartVideoDsp(0);
    VideoRead32(0, FallbackTestWord::Address);
    VideoRead32(1, FallbackTestWord::Address);
    VideoWrite32(1, FallbackTestWord::Address, FallbackTestWord::Value);
    VideoRead32(1, FallbackTestWord::Address);
    LoadDspProgram(LoadTarget::Video(1), ProgramPath(DspPrograms::FallbackVideo1).c_str());
    platform::Sleep(FallbackSettleMs);
    StartVideoDsp(1);
    VideoRead32(1, FallbackTestWord::Address);
    LoadDspProgram(LoadTarget::MainDsp, ProgramPath(DspPrograms::FallbackMain).c_str());
    InterruptMainDsp();
}

}  // namespace radovl
