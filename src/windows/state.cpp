#include "windows/state.h"

namespace radovl {

LibraryState state = LoadState();

void ResetLibraryState() { state = LoadState(); }

}  // namespace radovl
