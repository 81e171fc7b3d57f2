// The TV window: camera video from the channel's decoder, scaled into a
// window by the mixer.
#include "api/gate.h"
#include "board/access.h"
#include "board/registers.h"
#include "windows/operations.h"
#include "windows/placement.h"

namespace radovl::op {

int32_t SetTVColorKey(int8_t channel, uint32_t key) {
    if (int32_t status = GateChannel(channel); status != StatusDone) return status;
    UpdateBoard32(TvKeyControl::Address.For(channel), TvKeyControl::ColourKey, key);
    return StatusDone;
}

}  // namespace radovl::op
