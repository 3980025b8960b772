#pragma once

#include <QByteArray>
#include <QString>

// Small helpers for tests that work on files in a temporary folder.
QByteArray readBytes(const QString& path);
void writeBytes(const QString& path, const QByteArray& bytes);
// Code page 932 bytes of a text written in the test's source.
QByteArray sjis(const QString& text);
