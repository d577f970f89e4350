#pragma once
// The three kinds of motion a DynamicWidget runs on itself each frame:
// controllers advance and report when finished; oscillations and clamps are
// offsets laid on property fields, taken off before the controllers move
// and laid on again afterwards, so a controller never sees (or keeps) an
// offset. The widget owns every one it holds. Main thread only.

#include "widgets/motion/clamp.h"
#include "widgets/motion/controller.h"
#include "widgets/motion/oscillation.h"
