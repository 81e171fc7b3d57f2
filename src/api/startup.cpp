#include "api/startup.h"

#include "board/access.h"
#include "board/capture.h"
#include "radovl/capture.h"
#include "board/bringup.h"
#include "board/i2c.h"
#include "board/selection.h"
#include "hw/registers.h"
#include "platform/platform.h"
#include "windows/operations.h"
#include "windows/state.h"

namespace radovl {
namespace {

// The colour start-up gives channel 1's A/R window: green.
constexpr uint32_t DefaultArColour = 0x00010000;

// Writes the test pattern to TestAndCombine and puts the old value back.
// A board whose register does not keep the pattern is not the one to use.
bool ScratchRegisterHolds() {
    const uint32_t old = BoardRead32(TestAndCombine::Address);
    BoardWrite32(TestAndCombine::Address, TestAndCombine::ScratchPattern);
    const uint32_t readBack = BoardRead32(TestAndCombine::Address);
    BoardWrite32(TestAndCombine::Address, old);
    return readBack == TestAndCombine::ScratchPattern;
}

void RecordScreenBounds() {
    const platform::Rect clip = platform::ScreenClipBox();
    if (capture::recording) {
        capture::PlatformRead(RADOVL_CAPTURE_SCREEN, 0, 0, clip.left, clip.top, clip.right, clip.bottom);
    }
    state.screenLeft = clip.left;
    state.screenRight = platform::WrappingMinus(clip.right, 1);
    state.screenTop = clip.top;
    state.screenBottom = platform::WrappingMinus(clip.bottom, 1);
}

}  // namespace

void ResetMiniState() {
    for (MiniRecord& mini : state.mini) {
        mini.distance = 0;
        mini.direction = 0.0f;
        mini.scale = 1;
    }
}

int32_t Init() {
    if (SelectBoard(0) != ErrorOk) return StatusBadArgument;
    BringUpBoard();
    if (!ScratchRegisterHolds()) {
        LoadFallbackPrograms();  // on board 0, which stays open
        // The one switch of boards: every later access goes to board 1.
        if (SelectBoard(1) != ErrorOk) return StatusBadArgument;
        BringUpBoard();
    }
    LoadVideoPrograms();
    I2cInit();
    DecoderInit();

    state.initialised = 1;
    RecordScreenBounds();
    for (int dsp = 0; dsp < VideoDspCount; ++dsp) VideoWrite32(dsp, VideoStartupWord::Address, 0);
    op::SetTVP2pMode(1, 1);
    op::SetTVP2pMode(2, 1);
    op::SetRDP2pMode(1, 1);
    op::SetRDP2pMode(2, 1);
    op::SetArColor(1, DefaultArColour);
    op::SetTVColorKey(1, DefaultColourKey);
    op::SetTVColorKey(2, DefaultColourKey);
    op::SetArColorKey(1, DefaultColourKey);
    op::SetArColorKey(2, DefaultColourKey);
    ResetMiniState();
    ReadDisplayModeFile();
    return StatusDone;
}

}  // namespace radovl
