#pragma once

#include "doctor/Doctor.h"

#include <memory>

// The virtual board as the panel's check of the connection looks at it: through its control.
std::unique_ptr<qbv::doctor::VirtualBoardProbe> probeVirtualBoard();
