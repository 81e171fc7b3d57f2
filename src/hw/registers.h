// The board's register map: every address, field mask and fixed value the
// library, the simulator and the trace decoder use, declared once.
//
// Main DSP space (reached through the PCI memory window) holds the mixer and
// window registers of the board logic, the I2C core, the reset lines, the
// host-port bridges and the main DSP's EMIFs. Each video DSP has its own
// space, reached word by word through its bridge. The PCI interface has a
// few 8-bit registers of its own.
#pragma once

#include <cstdint>

#include "hw/bitfield.h"  // the one header of ours hw/ includes

namespace radovl {

// Display channels and video DSPs. The host numbers its display channels 1
// and 2; the board serves each with its own video DSP, which the bridge and
// reset registers number 0 and 1. This is the one conversion between the
// two. Any channel other than 1 is taken as channel 2, as the hardware's
// decode of the per-channel registers does.
constexpr int VideoDspOf(int channel) { return channel == 1 ? 0 : 1; }
constexpr int VideoDspCount = 2;

// A register, or a bit of a shared register, that exists once per display
// channel (channel 1 or 2).
struct ChannelRegister {
    uint32_t channel1;
    uint32_t channel2;
    constexpr uint32_t For(int channel) const { return VideoDspOf(channel) == 0 ? channel1 : channel2; }
};

// A register or bit that exists once per video DSP (0 or 1). Index 0 has
// its own; any other index reaches video DSP 1's.
struct VideoDspRegister {
    uint32_t dsp0;
    uint32_t dsp1;
    constexpr uint32_t For(int dsp) const { return dsp == 0 ? dsp0 : dsp1; }
};

// Position words: a point as (row << 16) | column, both 16 bits; a
// coordinate beyond 16 bits keeps its low bits, as the register does.
namespace Position {
constexpr uint32_t Row = FieldMask(0xFFFF0000);
constexpr uint32_t Column = FieldMask(0x0000FFFF);
}  // namespace Position

constexpr uint32_t PositionWord(int32_t row, int32_t column) {
    return FieldPrepLow(Position::Row, static_cast<uint32_t>(row)) |
           FieldPrepLow(Position::Column, static_cast<uint32_t>(column));
}

// ---------------------------------------------------------------------------
// PCI interface (driver space 2), 8-bit registers.
namespace PciStatus {
constexpr uint32_t Offset = 0;
constexpr uint32_t ClearedAtOpen = Bit(2);
}  // namespace PciStatus
namespace PciControl {
constexpr uint32_t Offset = 4;
constexpr uint32_t ResetDsp = Bit(0);
constexpr uint32_t InterruptDsp = Bit(1);
constexpr uint32_t BootMode = Bit(2);
}  // namespace PciControl
namespace PciPage {
constexpr uint32_t Offset = 8;
constexpr uint32_t Number = FieldMask(0x3FF);  // the register's page number
// A main DSP address: the page number (bits 22-31) goes to PciPage, the
// rest is the offset inside the memory window.
constexpr uint32_t AddressPage = FieldMask(0xFFC00000);
constexpr uint32_t WindowOffset = FieldMask(0x003FFFFF);
}  // namespace PciPage

// Register window (driver space 1): offset 0 is this main DSP address.
constexpr uint32_t RegisterWindowBase = 0x01800000;

// ---------------------------------------------------------------------------
// Main DSP space: reset lines and host-port bridges.
namespace DspResetControl {
constexpr uint32_t Address = 0x6C000004;
constexpr VideoDspRegister Release{Bit(0), Bit(1)};  // 1 releases the video DSP, 0 holds it in reset
constexpr uint32_t UsedBits = 0x0F;            // bits 4-7 are always written 0
}  // namespace DspResetControl
namespace DspResetEnable {
constexpr uint32_t Address = 0x6C000006;
constexpr uint32_t Hold = Bit(3);   // held at 1 while a reset line changes
constexpr uint32_t Kept = 0x07;     // bits 0-2 keep their value
}  // namespace DspResetEnable

namespace BridgeControl {
constexpr VideoDspRegister Address{0x6C000400, 0x6C000410};
constexpr uint32_t Access = 0x00010001;  // before every video DSP access
constexpr uint32_t Start = 0x00030003;   // starts the loaded video DSP program
}  // namespace BridgeControl
namespace BridgeAddress {
constexpr VideoDspRegister Address{0x6C000404, 0x6C000414};
}
namespace BridgeData {
constexpr VideoDspRegister Address{0x6C00040C, 0x6C00041C};
}

// ---------------------------------------------------------------------------
// EMIF registers of a C64x DSP (the same addresses in each DSP's space).
namespace Emif {
constexpr uint32_t AGblctl = 0x01800000;
constexpr uint32_t ACectl1 = 0x01800004;
constexpr uint32_t ACectl0 = 0x01800008;
constexpr uint32_t ACectl2 = 0x01800010;
constexpr uint32_t ACectl3 = 0x01800014;
constexpr uint32_t ASdctl = 0x01800018;
constexpr uint32_t ASdtim = 0x0180001C;
constexpr uint32_t ASdext = 0x01800020;
constexpr uint32_t ACesec1 = 0x01800044;
constexpr uint32_t ACesec0 = 0x01800048;
constexpr uint32_t ACesec2 = 0x01800050;
constexpr uint32_t ACesec3 = 0x01800054;
constexpr uint32_t BGblctl = 0x01A80000;
constexpr uint32_t BCectl1 = 0x01A80004;
constexpr uint32_t BCectl0 = 0x01A80008;
constexpr uint32_t BCectl2 = 0x01A80010;
constexpr uint32_t BCectl3 = 0x01A80014;
constexpr uint32_t BSdctl = 0x01A80018;
constexpr uint32_t BSdtim = 0x01A8001C;
constexpr uint32_t BSdext = 0x01A80020;
constexpr uint32_t BCesec1 = 0x01A80044;
constexpr uint32_t BCesec0 = 0x01A80048;
constexpr uint32_t BCesec2 = 0x01A80050;
constexpr uint32_t BCesec3 = 0x01A80054;
}  // namespace Emif

// ---------------------------------------------------------------------------
// Main DSP space: mixer registers.
namespace DisplayControl {
constexpr uint32_t Address = 0xB0203000;
constexpr uint32_t ScreenProperty = FieldMask(0x00000003);
constexpr uint32_t ScreenPropertyMax = 3;
constexpr ChannelRegister PpiShown{Bit(8), Bit(9)};
constexpr ChannelRegister TvShown{Bit(10), Bit(11)};
constexpr ChannelRegister ArShown{Bit(12), Bit(13)};
// Priority bits exist once: channel 1's on-top sets them, channel 2's clears.
constexpr uint32_t PpiPriority = Bit(24);
constexpr uint32_t TvPriority = Bit(25);
constexpr uint32_t ArPriority = Bit(26);
}  // namespace DisplayControl

namespace TestAndCombine {
constexpr uint32_t Address = 0xB0203008;
constexpr uint32_t VideoCombined = Bit(4);
constexpr uint32_t ScratchPattern = 0x1234;  // written by the start-up access test
}  // namespace TestAndCombine

// Output select rule: the bit the TV and PPI key-control registers carry.
constexpr uint32_t OutputSelectBit = Bit(28);

namespace TvKeyControl {
constexpr ChannelRegister Address{0xB0203010, 0xB0203014};
constexpr uint32_t ColourKey = FieldMask(0x00FFFFFF);
constexpr uint32_t OnTop = Bit(26);
constexpr uint32_t OutputSelect = OutputSelectBit;
}  // namespace TvKeyControl

namespace PpiKeyControl {
constexpr ChannelRegister Address{0xB0203018, 0xB020301C};
constexpr uint32_t OverlayEnable = Bit(25);
constexpr uint32_t OnTop = Bit(26);
constexpr uint32_t OutputSelect = OutputSelectBit;
}  // namespace PpiKeyControl

namespace ArKeyControl {
constexpr ChannelRegister Address{0xB0203020, 0xB0203024};
constexpr uint32_t ColourKey = FieldMask(0x00FFFFFF);
constexpr uint32_t Blue = Bit(24);
constexpr uint32_t Green = Bit(25);
constexpr uint32_t Red = Bit(26);
constexpr uint32_t Colour = Blue | Green | Red;
constexpr uint32_t OnTop = Bit(26);  // the same bit as Red
}  // namespace ArKeyControl

// ---------------------------------------------------------------------------
// Main DSP space: window start and end registers.
namespace MiniStart {
constexpr ChannelRegister Address{0xB0201000, 0xB0201100};
constexpr uint32_t Shown = Bit(31);
constexpr uint32_t Row = FieldMask(0x7FFF0000);
constexpr uint32_t Column = FieldMask(0x0000FFFF);
}  // namespace MiniStart
namespace MiniEnd {
constexpr ChannelRegister Address{0xB0201004, 0xB0201104};
}
namespace PpiStart {
constexpr ChannelRegister Address{0xB0201008, 0xB0201108};
}
namespace PpiEnd {
constexpr ChannelRegister Address{0xB020100C, 0xB020110C};
}
namespace ArStart {
constexpr ChannelRegister Address{0xB0201010, 0xB0201110};
}
namespace ArEnd {
constexpr ChannelRegister Address{0xB0201014, 0xB0201114};
}

namespace TvStart {
constexpr ChannelRegister Address{0xB0202000, 0xB0202010};
}

// Where each window register counts its pixels from, relative to the
// monitor's top-left corner: the mixer's and the video DSPs' pixel clocks
// start a few columns (and for some windows rows) before the visible picture.
namespace PixelOffset {
constexpr int32_t MixerColumn = 58;  // PpiStart, PpiEnd, MiniStart, MiniEnd
constexpr int32_t DspColumn = 16;    // PpiDspStart, PpiCentre, MiniDspStart, MiniCentre
constexpr int32_t ArStartColumn = 56;
constexpr int32_t ArStartRow = -1;
constexpr int32_t ArEndColumn = 60;
constexpr int32_t TvColumn = 56;
constexpr int32_t TvRow = -4;
}  // namespace PixelOffset
namespace TvCaptureStart {
constexpr ChannelRegister Address{0xB0202008, 0xB0202018};
constexpr uint32_t Column = FieldMask(0x0000FFFF);
constexpr uint32_t Row = FieldMask(0xFFFF0000);
constexpr uint32_t DefaultMode01 = 0x0001000A;  // row 1, column 10
constexpr uint32_t DefaultOther = 0x00010005;   // row 1, column 5
}  // namespace TvCaptureStart
namespace TvCaptureEnd {
constexpr ChannelRegister Address{0xB020200C, 0xB020201C};
constexpr uint32_t DefaultMode01 = 0x024002DA;  // row 576, column 730
constexpr uint32_t DefaultOther = 0x024002D5;   // row 576, column 725
}  // namespace TvCaptureEnd
namespace TvScale {
constexpr ChannelRegister Address{0xB0202020, 0xB0202024};
constexpr uint32_t Horizontal = FieldMask(0x0000FFFF);
constexpr uint32_t Vertical = FieldMask(0xFFFF0000);
constexpr int32_t Unit = 4096;      // one frame pixel per window pixel (a ratio of 1.0)
constexpr int32_t Max = 0xFFFF;
}  // namespace TvScale

// The decoder's frame, and the largest reduction the scaler makes: a window
// narrower or lower than a sixteenth of the frame shows a cropped capture.
namespace TvFrame {
constexpr int32_t Width = 720;
constexpr int32_t Height = 576;
constexpr int32_t MaxDownscale = 16;
constexpr int32_t HeightMargin = 4;  // the vertical scale counts four more rows
}  // namespace TvFrame

// The distance scale of the PPI (distance x 500 / range) is 20 bits wide:
// bits 0-15 go to PpiScale, bits 16-19 to the top nibble of PpiGate. The
// A/R distance is split the same way.
namespace DistanceScale {
constexpr uint32_t Low = FieldMask(0x0000FFFF);
constexpr uint32_t High = FieldMask(0x000F0000);
constexpr int32_t Factor = 500;
}  // namespace DistanceScale

// Written each time a TV window is shown or hidden; the main DSP program
// watches it.
namespace MainMarkerWord {
constexpr uint32_t Address = 0x80000000;
constexpr uint32_t Value = 0x12345678;
}  // namespace MainMarkerWord

// Colours as the host passes them: 0xRRGGBBxx (bits 0-7 unused).
namespace HostColour {
constexpr uint32_t Red = FieldMask(0xFF000000);
constexpr uint32_t Green = FieldMask(0x00FF0000);
constexpr uint32_t Blue = FieldMask(0x0000FF00);
}  // namespace HostColour
// Colours and colour keys as the board holds them: 0x00RRGGBB.
namespace Rgb {
constexpr uint32_t Red = FieldMask(0x00FF0000);
constexpr uint32_t Green = FieldMask(0x0000FF00);
constexpr uint32_t Blue = FieldMask(0x000000FF);
constexpr uint32_t All = Red | Green | Blue;
}  // namespace Rgb

// The A/R colour: each colour bit of ArKeyControl switches one primary of
// the echo colour fully on or off.
namespace ArKeyControl {
struct Primary {
    uint32_t bit;
    uint32_t rgb;
};
constexpr Primary Primaries[] = {{Red, Rgb::Red}, {Green, Rgb::Green}, {Blue, Rgb::Blue}};
// The bits for a colour: a primary is on when any of its bits is.
constexpr uint32_t ColourBitsOf(uint32_t rgb) {
    uint32_t bits = 0;
    for (const Primary& p : Primaries) bits |= (rgb & p.rgb) != 0 ? p.bit : 0;
    return bits;
}
// The colour the bits of a register word show.
constexpr uint32_t RgbOf(uint32_t word) {
    uint32_t rgb = 0;
    for (const Primary& p : Primaries) rgb |= (word & p.bit) != 0 ? p.rgb : 0;
    return rgb;
}
}  // namespace ArKeyControl
constexpr uint32_t DefaultColourKey = 0xFF00FF;  // magenta

// Colour tables: 256 words of 0x00RRGGBB each.
constexpr uint32_t ColourLutEntries = 256;
namespace PpiColourLut {
constexpr ChannelRegister Address{0xB0301000, 0xB0302000};
}
namespace PpiLineColourLut {
constexpr ChannelRegister Address{0xB0301800, 0xB0302800};
}
namespace MiniColourLut {
constexpr ChannelRegister Address{0xB0303000, 0xB0304000};
}

// ---------------------------------------------------------------------------
// Main DSP space: I2C master core (one byte per register, 4 bytes apart).
namespace I2cPrescaleLow {
constexpr uint32_t Address = 0xB0300020;
}
namespace I2cPrescaleHigh {
constexpr uint32_t Address = 0xB0300024;
}
namespace I2cControl {
constexpr uint32_t Address = 0xB0300028;
constexpr uint32_t CoreEnable = Bit(7);
constexpr uint32_t InterruptEnable = Bit(6);
}  // namespace I2cControl
namespace I2cData {
constexpr uint32_t Address = 0xB030002C;
}
namespace I2cCommand {
constexpr uint32_t Address = 0xB0300030;  // write: command; read: status
constexpr uint32_t Start = 0x80;
constexpr uint32_t Stop = 0x40;
constexpr uint32_t Write = 0x10;
constexpr uint32_t StatusBusy = Bit(1);  // transfer in progress
}  // namespace I2cCommand
constexpr uint32_t I2cPrescale = 1500;  // 0x05DC
namespace I2cPrescaleBytes {
constexpr uint32_t Low = FieldMask(0x00FF);
constexpr uint32_t High = FieldMask(0xFF00);
}  // namespace I2cPrescaleBytes
// First byte of a transaction: 7-bit device address above the R/W bit.
namespace I2cAddressByte {
constexpr uint32_t Device = FieldMask(0xFE);
constexpr uint32_t Read = Bit(0);
}  // namespace I2cAddressByte

// Video decoders on the I2C bus, 7-bit addresses, indexed by channel.
constexpr ChannelRegister DecoderAddress{0x5C, 0x5D};
namespace Decoder {
constexpr uint32_t Brightness = 0x09;
constexpr uint32_t Colour = 0x0A;
constexpr uint32_t Contrast = 0x0C;
constexpr uint32_t Registers = 256;
}  // namespace Decoder

// ---------------------------------------------------------------------------
// Video DSP space (each channel's video DSP has the same map).
namespace ChannelControl {
constexpr uint32_t Address = 0xB0080000;
constexpr uint32_t TvMode = FieldMask(0x0003);       // 01 or 11; 00 while the TV picture is frozen
constexpr uint32_t TvModeNormal = 0x1;    // the value "01"
constexpr uint32_t RdP2p = Bit(3) | Bit(6) | Bit(8);
constexpr uint32_t WindowsTouched = Bit(4);  // set at PPI open and Mini enable/disable
constexpr uint32_t PpiClearedAtOpen = Bit(5);
constexpr uint32_t MiniShown = Bit(12);
constexpr uint32_t PpiShown = Bit(13);
}  // namespace ChannelControl

namespace PpiFlags {
constexpr uint32_t Address = 0xB0080002;  // overlaps ChannelControl's upper half
constexpr uint32_t Scan = Bit(27);
constexpr uint32_t Frozen = 0x0F000000;
}  // namespace PpiFlags

// Cleared on both video DSPs during start-up.
namespace VideoStartupWord {
constexpr uint32_t Address = 0xB0080004;
}

namespace PpiTails {
constexpr uint32_t Address = 0xB008002C;
constexpr uint32_t Tail = FieldMask(0xFFFF0000);
constexpr uint32_t LineTail = FieldMask(0x0000FFFF);
}  // namespace PpiTails

namespace ArEndMirror {
constexpr uint32_t Address = 0xB0080038;
}

// Bit 0 of each block control word is an RD P2p bit.
constexpr uint32_t BlockRdP2p = Bit(0);

namespace PpiControl {
constexpr uint32_t Address = 0xB0080100;
constexpr uint32_t Mode = FieldMask(0x30);
constexpr uint32_t ModeCentred = 0x00;
constexpr uint32_t ModeCornerHeight = 0x10;  // range from the height
constexpr uint32_t ModeCornerWidth = 0x20;   // range from the width
constexpr uint32_t ModeNone = 0x30;          // neither centre nor range written
}  // namespace PpiControl
namespace PpiDspStart {
constexpr uint32_t Address = 0xB0080104;
}
namespace PpiSize {
constexpr uint32_t Address = 0xB0080108;
constexpr uint32_t Width = FieldMask(0x0000FFFF);
constexpr uint32_t Height = FieldMask(0xFFFF0000);
}  // namespace PpiSize
namespace PpiGate {
constexpr uint32_t Address = 0xB0080114;
constexpr uint32_t Gate = FieldMask(0x00FF0000);
constexpr uint32_t DistanceHigh = FieldMask(0xF0000000);  // distance scale bits 16-19
}  // namespace PpiGate
namespace PpiCentre {
constexpr uint32_t Address = 0xB0080118;
}
namespace PpiScale {
constexpr uint32_t Address = 0xB0080120;
constexpr uint32_t Step = FieldMask(0x0000FF00);
constexpr uint32_t DistanceLow = FieldMask(0xFFFF0000);  // distance scale bits 0-15
}  // namespace PpiScale
namespace PpiRange {
constexpr uint32_t Address = 0xB0080124;
constexpr uint32_t Range = FieldMask(0x000007FF);
constexpr uint32_t Written = FieldMask(0x0000FFFF);  // bits 11-15 are written as 0
}  // namespace PpiRange
namespace PpiHeading {
constexpr uint32_t Address = 0xB0080128;
constexpr uint32_t Direction = FieldMask(0x0000FFFF);
constexpr int32_t UnitsPerTurn = 4096;
}  // namespace PpiHeading

namespace MiniControl {
constexpr uint32_t Address = 0xB0080200;
constexpr uint32_t Mode = FieldMask(0x30);
constexpr uint32_t ModeCentred = 0x00;
constexpr uint32_t ModeCorner = 0x10;
}  // namespace MiniControl
namespace MiniDspStart {
constexpr uint32_t Address = 0xB0080204;
constexpr uint32_t Row = FieldMask(0x7FFF0000);
constexpr uint32_t Column = FieldMask(0x0000FFFF);
}  // namespace MiniDspStart
namespace MiniSize {
constexpr uint32_t Address = 0xB0080208;
constexpr uint32_t Width = FieldMask(0x0000FFFF);
constexpr uint32_t Height = FieldMask(0xFFFF0000);
}  // namespace MiniSize
namespace MiniDirection {
constexpr uint32_t Address = 0xB008020C;
constexpr uint32_t Direction = FieldMask(0xFFFF0000);
constexpr int32_t UnitsPerTurn = 8192;
constexpr uint32_t Offset = FieldMask(0x0000FFFF);
}  // namespace MiniDirection
namespace MiniGate {
constexpr uint32_t Address = 0xB0080214;  // copy of PpiGate
}
namespace MiniCentre {
constexpr uint32_t Address = 0xB0080218;
}
namespace MiniOffset {
constexpr uint32_t Address = 0xB008021C;
constexpr uint32_t Offset = FieldMask(0x0000FFFF);
}  // namespace MiniOffset
namespace MiniScale {
constexpr uint32_t Address = 0xB0080220;
constexpr uint32_t Zoom = FieldMask(0x000000FF);
constexpr uint32_t Step = FieldMask(0x0000FF00);
constexpr uint32_t Distance = FieldMask(0xFFFF0000);
}  // namespace MiniScale
namespace MiniRange {
constexpr uint32_t Address = 0xB0080224;
constexpr uint32_t Range = FieldMask(0x000007FF);
constexpr uint32_t Written = FieldMask(0x0000FFFF);
constexpr uint32_t Centred = 0x04B004B0;  // 1200 in both halves
}  // namespace MiniRange

namespace ArUpperControl {
constexpr uint32_t Address = 0xB0080300;
}
namespace ArUpperStart {
constexpr uint32_t Address = 0xB0080304;
}
namespace ArUpperSize {
constexpr uint32_t Address = 0xB0080308;
constexpr uint32_t Width = FieldMask(0x0000FFFF);
constexpr uint32_t HalfHeight = FieldMask(0xFFFF0000);
}  // namespace ArUpperSize
namespace ArDistance {
constexpr uint32_t Address = 0xB0080310;
constexpr uint32_t Distance = FieldMask(0xFFFF0000);
}  // namespace ArDistance
namespace ArGate {
constexpr uint32_t Address = 0xB0080314;
constexpr uint32_t Gate = FieldMask(0x00FF0000);
constexpr uint32_t DistanceHigh = FieldMask(0xF0000000);
}  // namespace ArGate
namespace ArUpperPresetA {
constexpr uint32_t Address = 0xB0080318;
}
namespace ArUpperPresetB {
constexpr uint32_t Address = 0xB008031C;
}
namespace ArLowerControl {
constexpr uint32_t Address = 0xB0080400;
}
namespace ArLowerStart {
constexpr uint32_t Address = 0xB0080404;
}
namespace ArLowerSize {
constexpr uint32_t Address = 0xB0080408;
}
namespace ArLowerPresetA {
constexpr uint32_t Address = 0xB0080418;
}
namespace ArLowerPresetB {
constexpr uint32_t Address = 0xB008041C;
}
// Band control words: bit 3 shows the band.
constexpr uint32_t ArBandEnable = Bit(3);
constexpr uint32_t ArPresetA = 0xFFFF0000;
constexpr uint32_t ArPresetB = 240;

// The video DSP program keeps here the address of its distance variable.
namespace DistancePointer {
constexpr uint32_t Address = 0x80000000;
}

// Touched by the fallback program set.
namespace FallbackTestWord {
constexpr uint32_t Address = 0x81FFFFFC;
constexpr uint32_t Value = 0x12345678;
}  // namespace FallbackTestWord

}  // namespace radovl
