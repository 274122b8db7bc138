#include "fuzzentries.h"

#include <QDir>
#include <QFile>
#include <QtTest>

// Every file of every fuzz target's corpus, fed to the target's entry as the
// fuzzer would: the seeds and the inputs that once broke an invariant stay
// checked in every build, with or without a fuzzer at hand.
class FuzzCorpusTest : public QObject
{
    Q_OBJECT

private slots:
    void everyCorpusHasItsTarget();
    void replay_data();
    void replay();
};

namespace {

using FuzzEntry = QString (*)(const QByteArray&);

struct FuzzTarget
{
    const char* name; // also the name of its corpus folder
    FuzzEntry entry;
};

// In the order of their corpus folders' names.
const FuzzTarget targets[] = {
    {"orlamovierebuild", fuzzOrlaMovieRebuild},
    {"veskmovierebuild", fuzzVeskMovieRebuild},
    {"wavchunkwalk", fuzzWavChunkWalk},
};

QDir corpusRoot()
{
    return QDir(qEnvironmentVariable("AMBREL_SOURCE_DIR") + QStringLiteral("/tests/fuzz/corpus"));
}

} // namespace

Q_DECLARE_METATYPE(FuzzEntry)

void FuzzCorpusTest::everyCorpusHasItsTarget()
{
    QStringList names;
    for (const FuzzTarget& target : targets)
        names.append(QLatin1String(target.name));
    QVERIFY2(corpusRoot().exists(), qPrintable(corpusRoot().path()));
    QCOMPARE(corpusRoot().entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name), names);
}

void FuzzCorpusTest::replay_data()
{
    QTest::addColumn<FuzzEntry>("entry");
    QTest::addColumn<QString>("path");

    for (const FuzzTarget& target : targets) {
        const QDir corpus(corpusRoot().filePath(QLatin1String(target.name)));
        const QStringList files = corpus.entryList(QDir::Files, QDir::Name);
        QVERIFY2(!files.isEmpty(), target.name);
        for (const QString& file : files)
            QTest::newRow(qPrintable(QLatin1String(target.name) + QLatin1Char('/') + file))
                << target.entry << corpus.filePath(file);
    }
}

void FuzzCorpusTest::replay()
{
    QFETCH(FuzzEntry, entry);
    QFETCH(QString, path);

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString broken = entry(file.readAll());
    QVERIFY2(broken.isEmpty(), qPrintable(broken));
}

QTEST_GUILESS_MAIN(FuzzCorpusTest)
#include "tst_fuzzcorpus.moc"
