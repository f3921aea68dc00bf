// The program's images (logos, icon) are compiled into the window's static library.
// Forms that show them register them first, so that they load even when such a form
// is the first to need them.
#pragma once

void registerProgramImages();
