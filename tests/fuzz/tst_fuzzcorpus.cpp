#include "fuzzentries.h"

#include <QDir>
#include <QFile>
#include <QtTest>

using FuzzEntry = QString (*)(const QByteArray&);
Q_DECLARE_METATYPE(FuzzEntry)

// Every file of every fuzz target's corpus, fed to the target's entry as the
// fuzzer would: the seeds and the inputs that once broke an invariant stay
// checked in every build, with or without a fuzzer at hand.
class FuzzCorpusTest : public QObject
{
    Q_OBJECT

private slots:
    void replay_data()
    {
        QTest::addColumn<FuzzEntry>("entry");
        QTest::addColumn<QString>("path");

        // Named as their corpus folders.
        const QList<QPair<QString, FuzzEntry>> targets{ { "movierebuild", fuzzMovieRebuild },
            { "wavchunkwalk", fuzzWavChunkWalk } };
        const QDir root(qEnvironmentVariable("AMBREL_SOURCE_DIR") + QStringLiteral("/tests/fuzz/corpus"));
        for (const auto& target : targets) {
            const QDir corpus(root.filePath(target.first));
            const QStringList files = corpus.entryList(QDir::Files, QDir::Name);
            QVERIFY(!files.isEmpty());
            for (const QString& file : files)
                QTest::newRow(qPrintable(target.first + '/' + file)) << target.second << corpus.filePath(file);
        }
    }

    void replay()
    {
        QFETCH(FuzzEntry, entry);
        QFETCH(QString, path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString broken = entry(file.readAll());
        QVERIFY2(broken.isEmpty(), qPrintable(broken));
    }
};

QTEST_GUILESS_MAIN(FuzzCorpusTest)
#include "tst_fuzzcorpus.moc"
