// The buffered output device and writeMovie's report of disk failures.

#include "quicktimebufferdevice.h"
#include "quicktimefileatom.h"
#include "quicktimemovieatom.h"
#include "quicktimeskipatom.h"
#include "quicktimetestsupport.h"

#include <QDataStream>
#include <QTest>

class TestBufferDevice : public QObject
{
    Q_OBJECT

private slots:
    void writeCountsAndFill_data();
    void writeCountsAndFill();
    void positionIncludesWaitingBytes();
    void readingIsRefused();
    void classNameNamesTheVariant();
    void failedWriteDropsEverythingAfter_data();
    void failedWriteDropsEverythingAfter();
    void failedFlushIsLogged();
    void writeMovieWritesTheTreeAtThePosition();
    void writeMovieReportsFailure_data();
    void writeMovieReportsFailure();
};

void TestBufferDevice::writeCountsAndFill_data()
{
    QTest::addColumn<QList<int>>("writes");
    QTest::addColumn<QList<qint64>>("targetWrites");
    QTest::addColumn<int>("fill");

    QTest::newRow("one byte short of full") << QList<int> { 131071 } << QList<qint64> {} << 131071;
    QTest::newRow("then one more byte") << QList<int> { 131071, 1 } << QList<qint64> { 131072 } << 0;
    QTest::newRow("one write of 300000") << QList<int> { 300000 } << QList<qint64> { 131072, 131072 } << 37856;
    QTest::newRow("many small writes") << QList<int>(65537, 4) << QList<qint64> { 131072, 131072 } << 4;
}

void TestBufferDevice::writeCountsAndFill()
{
    QFETCH(QList<int>, writes);
    QFETCH(QList<qint64>, targetWrites);
    QFETCH(int, fill);

    RecordingDevice target;
    QuickTimeBufferDevice device(&target, 131072);
    QVERIFY(device.open(QIODevice::WriteOnly));
    QByteArray sent;
    for (int length : writes) {
        QByteArray chunk(length, '\0');
        for (int i = 0; i < length; ++i)
            chunk[i] = char((sent.size() + i) * 7);
        QCOMPARE(device.write(chunk), qint64(length));
        sent.append(chunk);
    }
    QCOMPARE(target.writes, targetWrites);
    QCOMPARE(device.pendingBytes(), fill);
    device.flush();
    QCOMPARE(target.data, sent);
}

void TestBufferDevice::positionIncludesWaitingBytes()
{
    QBuffer target;
    target.open(QIODevice::WriteOnly);
    target.write(QByteArray(1000, 'x'));
    QuickTimeBufferDevice device(&target, 131072);
    device.open(QIODevice::WriteOnly);
    device.write(QByteArray(100, 'y'));
    QCOMPARE(device.pos(), qint64(1100));
}

void TestBufferDevice::readingIsRefused()
{
    QBuffer target;
    target.open(QIODevice::ReadWrite);
    QuickTimeBufferDevice device(&target, 64);
    device.open(QIODevice::ReadWrite);
    char byte = 0;
    QCOMPARE(device.read(&byte, 1), qint64(-1));
}

void TestBufferDevice::classNameNamesTheVariant()
{
    QBuffer target;
    QuickTimeBufferDevice device(&target, 64);
    QCOMPARE(QString::fromLatin1(device.metaObject()->className()),
        QTLIB_VARIANT_TOLVAN ? QStringLiteral("Tolvan::QuickTimeBufferDevice") : QStringLiteral("QuickTimeBufferDevice"));
}

void TestBufferDevice::failedWriteDropsEverythingAfter_data()
{
    QTest::addColumn<int>("failAt");
    QTest::addColumn<qint64>("shortBy");

    QTest::newRow("target write fails") << 0 << qint64(0);
    QTest::newRow("target write is short") << -1 << qint64(1);
}

void TestBufferDevice::failedWriteDropsEverythingAfter()
{
    QFETCH(int, failAt);
    QFETCH(qint64, shortBy);

    RecordingDevice target;
    target.failAt = failAt;
    target.shortBy = shortBy;
    {
        QuickTimeBufferDevice device(&target, 1024);
        device.open(QIODevice::WriteOnly);
        QTest::ignoreMessage(QtDebugMsg, "!!! QuickTimeBufferDevice encountered HDD error, dumping subsequent writes (1024)");
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral(".*")));
        QCOMPARE(device.write(QByteArray(1500, 'a')), qint64(-1));
        QVERIFY(device.hasFailed());
        QCOMPARE(device.pendingBytes(), -1);
        QCOMPARE(device.write(QByteArray(10, 'b')), qint64(-1));
        device.flush();
    }
    // Only the failed block reached the target; the destructor added nothing.
    QCOMPARE(target.writes, QList<qint64> { 1024 });
}

void TestBufferDevice::failedFlushIsLogged()
{
    RecordingDevice target;
    target.failAt = 0;
    QuickTimeBufferDevice device(&target, 1024);
    device.open(QIODevice::WriteOnly);
    device.write(QByteArray(100, 'a'));
    QTest::ignoreMessage(QtDebugMsg, "*** QuickTime***BufferDevice encountered HDD error, dumping subsequent writes (100)");
    QTest::ignoreMessage(QtDebugMsg, "No space left on device");
    device.flush();
    QVERIFY(device.hasFailed());
}

void TestBufferDevice::writeMovieWritesTheTreeAtThePosition()
{
    TestMovie movie;
    movie.device.write(QByteArray(1000, 'm'));
    auto* moov = movie->root.addChild(new QuickTimeMovieAtom(movie.get()));
    moov->addChild(new QuickTimeFileAtom(movie.get()));
    auto* skip = moov->addChild(new QuickTimeSkipAtom(movie.get()));
    skip->growSize(300000);

    QVERIFY(movie->writeMovie());
    const QByteArray expected = Bytes().u32(8 + 20 + 300008).text("moov").raw(Bytes().u32(20).text("ftyp").text("qt  ").u32(0x20070400).text("qt  ")).u32(300008).text("skip").zeros(300000);
    QCOMPARE(movie.device.data().mid(1000), expected);
    QCOMPARE(movie.device.pos(), qint64(1000) + expected.size());
}

void TestBufferDevice::writeMovieReportsFailure_data()
{
    QTest::addColumn<int>("failAt");
    QTest::addColumn<qint64>("shortBy");
    QTest::addColumn<int>("payload");

    QTest::newRow("a full buffer fails") << 0 << qint64(0) << 200000;
    QTest::newRow("the last, partial buffer fails") << 1 << qint64(0) << 200000;
    QTest::newRow("a small movie's only write fails") << 0 << qint64(0) << 100;
    QTest::newRow("short write") << -1 << qint64(512) << 200000;
}

void TestBufferDevice::writeMovieReportsFailure()
{
    QFETCH(int, failAt);
    QFETCH(qint64, shortBy);
    QFETCH(int, payload);

    RecordingDevice target;
    target.failAt = failAt;
    target.shortBy = shortBy;
    TestMovie movie;
    movie->device = &target;
    auto* skip = movie->root.addChild(new QuickTimeSkipAtom(movie.get()));
    skip->growSize(quint32(payload));

    QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("HDD error, dumping subsequent writes")));
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral(".*")));
    QVERIFY(!movie->writeMovie());
    QCOMPARE(target.writes.size(), failAt >= 0 ? failAt + 1 : 1);
}

QTEST_MAIN(TestBufferDevice)
#include "tst_bufferdevice.moc"
