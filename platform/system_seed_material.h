#pragma once

#include "engine/seed.h"

// The running system's seed material: Win32 calls on Windows, a stand-in with
// the same shape elsewhere.
SeedMaterial& SystemSeedMaterial();
