#include "VerticalRocking.h"

namespace kd {

void VERTICAL_ROCKING(SharedStorage&, RunChannels&) {}

} // namespace kd
