#include "gui/reports/error_description.h"

#include <QCoreApplication>
#include <string>

QString describeError(kestrava::MachineFamily family, int row)
{
    const std::string description(kestrava::errorDescription(family, row));
    if (description.empty())
        return {};
    // The texts are collected for translation from the engine's table, under the
    // chart window's name.
    return QCoreApplication::translate("FormChart", description.c_str());
}
