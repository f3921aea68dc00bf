// Drives for tests: a fixed list of folders standing for drives, any of which can be
// made unreadable (an empty card reader, an unplugged disk).
#pragma once

#include <QSet>
#include <QStringList>

#include "gui/platform/drive_provider.h"

class FakeDriveProvider final : public DriveProvider {
public:
    QStringList driveList;
    QSet<QString> unreadable;

    QStringList drives() const override { return driveList; }
    bool isReadable(const QString& drive) const override
    {
        return driveList.contains(drive) && !unreadable.contains(drive);
    }
};
