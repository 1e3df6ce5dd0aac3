// The encoder simulator: the encoder's state machine and its pseudo-terminal driver.
#pragma once

#include "encsim/encoder.h"
#include "encsim/ptysimulator.h"
