#include "board/access.h"

#include "board/selection.h"
#include "hw/registers.h"
#include "platform/platform.h"

namespace radovl {
namespace {

uint32_t SignExtended(int32_t value) { return static_cast<uint32_t>(value); }

uint32_t ReadMain(uint32_t function, uint32_t address) {
    const uint32_t offset = SelectPage(address);
    uint32_t value = 0;  // stays 0 when the request fails
    SendReadRequest(function, Space::MemoryWindow, offset, &value, 1, CurrentBoard());
    return value;
}

void WriteMain(uint32_t function, uint32_t address, uint32_t data) {
    const uint32_t offset = SelectPage(address);
    SendMemoryRequest(function, Space::MemoryWindow, offset, data, 1, CurrentBoard());
}

}  // namespace

uint32_t SelectPage(uint32_t address) {
    SendMemoryRequest(Function::Write32, Space::PciInterface, PciPage::Offset,
                      FieldGet(PciPage::AddressPage, address), 1, CurrentBoard());
    return address & PciPage::WindowOffset;
}

void BoardWrite8(uint32_t address, int8_t value) { WriteMain(Function::Write8, address, SignExtended(value)); }
void BoardWrite16(uint32_t address, int16_t value) { WriteMain(Function::Write16, address, SignExtended(value)); }
void BoardWrite32(uint32_t address, uint32_t value) { WriteMain(Function::Write32, address, value); }

uint8_t BoardRead8(uint32_t address) { return static_cast<uint8_t>(ReadMain(Function::Read8, address)); }
uint16_t BoardRead16(uint32_t address) { return static_cast<uint16_t>(ReadMain(Function::Read16, address)); }
uint32_t BoardRead32(uint32_t address) { return ReadMain(Function::Read32, address); }

void BoardWriteBlock(uint32_t address, const uint32_t* words, int32_t count) {
    for (int32_t i = 0; i < count; ++i) BoardWrite32(address + 4u * static_cast<uint32_t>(i), words[i]);
}

void BridgeControlWrite(int dsp, uint32_t value) {
    BoardWrite32(BridgeControl::Address.For(dsp), value);
}

void VideoWrite32(int dsp, uint32_t address, uint32_t value) {
    BridgeControlWrite(dsp, BridgeControl::Access);
    BoardWrite32(BridgeAddress::Address.For(dsp), address);
    BoardWrite32(BridgeData::Address.For(dsp), value);
}

uint32_t VideoRead32(int dsp, uint32_t address) {
    BridgeControlWrite(dsp, BridgeControl::Access);
    BoardWrite32(BridgeAddress::Address.For(dsp), address);
    return BoardRead32(BridgeData::Address.For(dsp));
}

void VideoWriteBlock(int dsp, uint32_t address, int32_t count, const uint32_t* words) {
    for (int32_t i = 0; i < count; ++i) VideoWrite32(dsp, address + 4u * static_cast<uint32_t>(i), words[i]);
}

void TargetWriteBlock(int32_t target, uint32_t address, const uint32_t* words, int32_t count) {
    if (target == LoadTarget::MainDsp) {
        BoardWriteBlock(address, words, count);
    } else if (target == LoadTarget::Video(0) || target == LoadTarget::Video(1)) {
        VideoWriteBlock(LoadTarget::DspIndex(target), address, count, words);
    } else {
        platform::Print("this dsp is not pressent\n");
    }
}

uint32_t UpdateBoard32(uint32_t address, uint32_t mask, uint32_t bits) {
    const uint32_t word = (BoardRead32(address) & ~mask) | (bits & mask);
    BoardWrite32(address, word);
    return word;
}

uint32_t UpdateVideo32(int dsp, uint32_t address, uint32_t mask, uint32_t bits) {
    const uint32_t word = (VideoRead32(dsp, address) & ~mask) | (bits & mask);
    VideoWrite32(dsp, address, word);
    return word;
}

}  // namespace radovl
