// The description of an error code as the window shows it: the engine's English text
// ("E20 Low output voltage") in the language of the window.
#pragma once

#include <QString>

#include "core/listing/machine_family.h"

// Empty for a row outside the family's table.
QString describeError(kestrava::MachineFamily family, int row);
