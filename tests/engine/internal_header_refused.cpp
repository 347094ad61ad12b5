// Compiled only by the test engine_internal_header_is_private, which expects
// the compiler to refuse it: a target outside the engine and its tests cannot
// include the engine's inside.
#include "engine/internal/division_state.h"
