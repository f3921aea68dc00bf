#include "gui/app/shared_values.h"

#include "gui/platform/fs_path.h"

QString MainFormState::LoadedFilePath() const
{
    return fromFsPath(document_->loadedFilePath());
}

QString MainFormState::ChosenFilePath() const
{
    if (LoadedFilePath().isEmpty())
        return {};
    return fromFsPath(document_->chosenFile());
}
