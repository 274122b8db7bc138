#ifndef TESTCARD_H
#define TESTCARD_H

#include <QByteArray>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

// A card folder of one test, named by its canonical path as the scanner
// reports it.
struct TestCard
{
    QTemporaryDir dir;
    QString root = QFileInfo(dir.path()).canonicalFilePath();

    QString path(const QString& relative) const { return root + QLatin1Char('/') + relative; }
};

// The whole file; empty when it cannot be read.
QByteArray fileBytes(const QString& path);

#endif
