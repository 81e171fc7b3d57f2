// Compiled by ctest with one layer's include view and one header
// (LAYER_HEADER): a header of the same layer or one below must compile, one
// of a layer above must not be found.
#include LAYER_HEADER
