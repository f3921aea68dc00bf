#include "gui/app/shared_values.h"

#include <QLatin1Char>

#include "gui/platform/fs_path.h"

QString MainFormState::LoadedFilePath() const
{
    return fromFsPath(document_->loadedFilePath());
}

QString MainFormState::QuotedFilePath() const
{
    if (LoadedFilePath().isEmpty())
        return {};
    return QLatin1Char('"') + fromFsPath(document_->chosenFile()) + QLatin1Char('"');
}
