#include "api/state.h"

namespace radovl {

LibraryState state = LoadState();

}  // namespace radovl
