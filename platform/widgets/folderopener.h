#pragma once

#include <QString>

namespace kuranote {

// Shows a folder in the desktop's file manager, so that tests answer in its place and start none.
class FolderOpener
{
public:
    virtual ~FolderOpener() = default;
    // False when no file manager could be asked. True says only that one was: the desktop's helper may
    // still fail to show anything.
    virtual bool open(const QString& folder) = 0;
};

class DesktopFolderOpener final : public FolderOpener
{
public:
    bool open(const QString& folder) override;
};

} // namespace kuranote
