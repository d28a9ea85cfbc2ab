// Counts the bytes that operator new hands out, so that a test can see the
// most that a call had allocated at any one time. The replacement operators
// live in allocation_meter.cpp; linking it into a test binary turns it on.
#pragma once

#include <cstddef>

namespace morvik::hostile {

// Starts a measurement: the peak is taken from the bytes allocated now.
void reset_allocation_peak();
// The most bytes allocated at once since the reset, above what was
// allocated at the reset.
std::size_t allocation_peak();

}  // namespace morvik::hostile
