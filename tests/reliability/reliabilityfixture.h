#pragma once

#include "checklist/checklistdocument.h"
#include "checklist/main_window/form1.h"
#include "scripteddesktop.h"
#include "scriptedprompts.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

// The bundled sample files, copied into a program folder.
QString sampleFile(const QString& fileName);
void copySampleFiles(const QString& folder);

// The catalogue of a folder.
QString dataFileIn(const QString& folder);

// Every entry of a folder with its size and a digest of its bytes, to show that nothing was written.
QStringList folderSnapshot(const QString& folder);

// A catalogue in the program's written form, of at least `size` bytes: the sample's items over and over.
QByteArray largeCatalogue(qsizetype size);

// The checklist's main window over a program folder, answering through scripted prompts.
struct Checklist
{
    explicit Checklist(const QString& folder)
        : document(folder)
    {
    }
    ~Checklist();
    // Makes the window and runs its load step; false when the load failed.
    bool load();

    kuranote::ChecklistDocument document;
    ScriptedPrompts prompts;
    ScriptedDesktop desktop;
    std::unique_ptr<kuranote::Form1> form;
};
