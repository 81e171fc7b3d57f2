// Word and byte access to the main DSP's and the video DSPs' spaces, over
// the current board connection (CurrentBoard). No caching: every call goes
// to the driver. A video DSP is named by its index, 0 or 1 (VideoDspOf a
// channel).
#pragma once

#include <cstdint>

namespace radovl {

// Writes the page of a main DSP address to PciPage; returns the offset of
// the address inside the memory window.
uint32_t SelectPage(uint32_t address);

void BoardWrite8(uint32_t address, int8_t value);
void BoardWrite16(uint32_t address, int16_t value);
void BoardWrite32(uint32_t address, uint32_t value);
uint8_t BoardRead8(uint32_t address);
uint16_t BoardRead16(uint32_t address);
uint32_t BoardRead32(uint32_t address);  // 0 when the request fails
void BoardWriteBlock(uint32_t address, const uint32_t* words, int32_t count);

void BridgeControlWrite(int dsp, uint32_t value);
void VideoWrite32(int dsp, uint32_t address, uint32_t value);
uint32_t VideoRead32(int dsp, uint32_t address);
void VideoWriteBlock(int dsp, uint32_t address, int32_t count, const uint32_t* words);

// Load targets name a program's DSP with the main DSP first: 0 the main
// DSP, 1 + n video DSP n.
namespace LoadTarget {
constexpr int32_t MainDsp = 0;
constexpr int32_t Video(int dsp) { return 1 + dsp; }
constexpr int DspIndex(int32_t target) { return target - Video(0); }  // of a Video(dsp) target
constexpr int32_t Count = 3;
}  // namespace LoadTarget
void TargetWriteBlock(int32_t target, uint32_t address, const uint32_t* words, int32_t count);

// Read-modify-write of one word: read it, replace the bits of mask with
// those of bits, write it back (always, even when nothing changed).
// Returns the word written.
uint32_t UpdateBoard32(uint32_t address, uint32_t mask, uint32_t bits);
uint32_t UpdateVideo32(int dsp, uint32_t address, uint32_t mask, uint32_t bits);

}  // namespace radovl
