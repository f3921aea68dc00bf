// The machine's drives, for the default-folder forms: drive letters on Windows, the
// root and the mounted volumes elsewhere. Tests replace the real provider with a fake.
#pragma once

#include <QString>
#include <QStringList>

class DriveProvider {
public:
    virtual ~DriveProvider() = default;

    // The drives' root folders in the order shown, in native separators: "C:\" on
    // Windows; "/" first and then each mount point elsewhere.
    virtual QStringList drives() const = 0;

    // Whether the drive can be read now: mounted, with a medium, and readable by us.
    virtual bool isReadable(const QString& drive) const = 0;
};

// The real drives of this machine.
class SystemDriveProvider final : public DriveProvider {
public:
    QStringList drives() const override;
    bool isReadable(const QString& drive) const override;
};

// The drive of drives that holds path: the longest drive root that path lies under
// (whole folder names only; drive letters compare case-insensitively on Windows).
// Empty when no drive holds it (an empty or relative path, or a drive not listed).
QString driveOfPath(const QStringList& drives, const QString& path);
