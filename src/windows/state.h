// LibraryState: the one record the library keeps between calls, and the
// statuses the exported operations return.
#pragma once

#include <cstdint>

#include "hw/registers.h"

namespace radovl {

constexpr int32_t StatusDone = 1;
constexpr int32_t StatusBadArgument = -1;
constexpr int32_t StatusNotInitialised = -2;

// One video DSP per display channel: the per-channel records below are
// indexed by VideoDspOf(channel).
constexpr int Channels = VideoDspCount;

struct PpiRecord {
    int32_t x;
    int32_t y;
    int32_t dx;
    int32_t dy;
    int32_t distance;
    int32_t w;
    int32_t h;
};

struct MiniRecord {
    int32_t x;
    int32_t y;
    int32_t w;
    int32_t h;
    int32_t distance;
    float direction;
    int16_t scale;
};

struct ArRecord {
    int32_t x;
    int32_t y;
    int32_t w;
    int32_t h;
};

struct TvRecord {
    int32_t x;
    int32_t y;
    int32_t w;
    int32_t h;
};

struct LibraryState {
    int32_t initialised;
    int32_t screenLeft;
    int32_t screenTop;
    int32_t screenRight;   // last column
    int32_t screenBottom;  // last row
    uint8_t DisMode;
    uint32_t DisplayControl;           // shadow of the mixer's DisplayControl
    uint16_t ControlShadow[Channels];  // copy of each video DSP's ChannelControl
    uint8_t TvModeSave[Channels];
    int32_t PpiPlaced;
    PpiRecord ppi[Channels];
    MiniRecord mini[Channels];
    ArRecord ar[Channels];
    TvRecord tv[Channels];
};

// Values at load: everything zero, DisMode 1.
constexpr LibraryState LoadState() {
    LibraryState s{};
    s.DisMode = 1;
    return s;
}

extern LibraryState state;

// Everything back to its value at load.
void ResetLibraryState();

}  // namespace radovl
