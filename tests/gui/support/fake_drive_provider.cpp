#include "support/fake_drive_provider.h"

bool FakeDriveProvider::isReadable(const QString& drive) const
{
    return driveList.contains(drive) && !unreadable.contains(drive);
}
