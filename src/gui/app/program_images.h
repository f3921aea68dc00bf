// The program's images (logos, icon) are compiled into the window's static library.
// Forms that show them register them first, so that they load even when such a form
// is the first to need them.
#pragma once

#include <QString>
#include <string_view>

void registerProgramImages();

// The resource path of a brand's small logo (":/images/sorvanta_small.jpg"); empty for
// an unknown brand key.
QString brandLogoPath(std::string_view brandKey);
