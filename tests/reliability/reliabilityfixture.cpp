#include "reliabilityfixture.h"

#include "itemdata/datafile.h"
#include "itemdata/settingsfile.h"
#include "testfiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QTest>

QString sampleFile(const QString& fileName)
{
    return QDir(QStringLiteral(KURANOTE_SAMPLE_DIR)).filePath(fileName);
}

void copySampleFiles(const QString& folder)
{
    for (const QString& name :
        { kuranote::DataFile::fileName, kuranote::SettingsFile::fileName, QStringLiteral("kuraword.csv") })
        writeBytes(QDir(folder).filePath(name), readBytes(sampleFile(name)));
}

QString dataFileIn(const QString& folder)
{
    return QDir(folder).filePath(kuranote::DataFile::fileName);
}

QStringList folderSnapshot(const QString& folder)
{
    QStringList entries;
    const QDir dir(folder);
    for (const QFileInfo& entry :
        dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name)) {
        if (entry.isDir()) {
            entries << entry.fileName() + u'/';
            continue;
        }
        const QByteArray digest
            = QCryptographicHash::hash(readBytes(entry.filePath()), QCryptographicHash::Sha1).toHex().left(12);
        entries << QStringLiteral("%1 %2 %3").arg(entry.fileName()).arg(entry.size()).arg(QString::fromLatin1(digest));
    }
    return entries;
}

QByteArray largeCatalogue(qsizetype size)
{
    const QByteArray sample = readBytes(sampleFile(kuranote::DataFile::fileName));
    const qsizetype headerEnd = sample.indexOf("\r\n") + 2;
    const QByteArray items = sample.mid(headerEnd);
    QByteArray catalogue = sample.left(headerEnd);
    catalogue.reserve(size + items.size());
    while (catalogue.size() < size)
        catalogue += items;
    return catalogue;
}

Checklist::~Checklist()
{
    // Tear the windows down without the close question.
    form.reset();
}

bool Checklist::load()
{
    form = std::make_unique<kuranote::Form1>(document, kuranote::Form1Services { prompts, desktop, desktop, desktop });
    return form->Form_Load();
}
