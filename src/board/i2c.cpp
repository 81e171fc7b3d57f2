#include "board/i2c.h"

#include "board/access.h"
#include "hw/registers.h"

namespace radovl {
namespace {

struct DecoderSetting {
    uint8_t reg;
    uint8_t channel1;
    uint8_t channel2;
};

// Start-up settings of both decoders, in write order. Only register 0x00
// differs between the channels.
constexpr DecoderSetting DecoderStartup[] = {
    {0x00, 0x02, 0x00}, {0x03, 0x6D, 0x6D}, {0x0D, 0x47, 0x47},
    {0x0F, 0x00, 0x00}, {0x1B, 0x14, 0x14}, {0x07, 0x60, 0x60},
    {0x08, 0x00, 0x00}, {Decoder::Brightness, 0x80, 0x80},
    {Decoder::Colour, 0x80, 0x80}, {0x0B, 0x00, 0x00},
    {Decoder::Contrast, 0x80, 0x80}, {0x15, 0x15, 0x15},
};
static_assert(sizeof DecoderStartup / sizeof DecoderStartup[0] == 12, "twelve decoder settings");

// Address byte of a write: the R/W bit stays 0.
constexpr uint32_t AddressByteWrite(uint32_t device) { return FieldPrep(I2cAddressByte::Device, device); }

// Puts a byte in the data register and issues a command; false when the
// core then stays busy.
bool SendByte(uint32_t byte, uint32_t command) {
    BoardWrite32(I2cData::Address, static_cast<uint8_t>(byte));
    BoardWrite32(I2cCommand::Address, command);
    return WaitI2cIdle();
}

}  // namespace

void I2cInit() {
    BoardWrite32(I2cPrescaleLow::Address, FieldGet(I2cPrescaleBytes::Low, I2cPrescale));
    BoardWrite32(I2cPrescaleHigh::Address, FieldGet(I2cPrescaleBytes::High, I2cPrescale));
    BoardWrite32(I2cControl::Address, I2cControl::CoreEnable);
}

bool WaitI2cIdle() {
    for (int reads = 0; reads < I2cIdleReadLimit; ++reads) {
        if ((BoardRead8(I2cCommand::Address) & I2cCommand::StatusBusy) == 0) return true;
    }
    return false;
}

void DecoderWrite(uint32_t device, uint32_t reg, uint32_t value) {
    if (!WaitI2cIdle()) return;
    if (!SendByte(AddressByteWrite(device), I2cCommand::Start | I2cCommand::Write)) return;
    if (!SendByte(reg, I2cCommand::Write)) return;
    SendByte(value, I2cCommand::Stop | I2cCommand::Write);
}

void DecoderInit() {
    for (int channel = 1; channel <= 2; ++channel) {
        for (const DecoderSetting& setting : DecoderStartup) {
            DecoderWrite(DecoderAddress.For(channel), setting.reg,
                         channel == 1 ? setting.channel1 : setting.channel2);
        }
    }
}

}  // namespace radovl
