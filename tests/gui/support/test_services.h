// The adapters a test leaves null, filled with the real ones (made once per test
// program), as main does for the program.
#pragma once

#include "gui/services/system_services.h"

inline AppServices completeServices(AppServices partial)
{
    static SystemServices system;
    return system.complete(std::move(partial));
}
