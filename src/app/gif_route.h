// GIF files are decoded into the run's one GIF document, shrunk by the optimizer passes and
// written again by our own encoder.
#pragma once

#include "app/route.h"

namespace lumatrim {

// Loads the source with its long path into the workspace's document (made at the run's first
// GIF) and writes the optimized document to the output.
RouteResult ReduceGif(const RouteJob& job);

} // namespace lumatrim
