#include "platform/Platform.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace meloport::platform;

class TestPlatform final : public QObject {
    Q_OBJECT
private slots:
    void onlyARunningProgramHoldsTheLock()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"Meloport.lock"_qs);
        QProcess holder, started; // each takes the lock at its path and holds it until its input closes
        const auto hold = [](QProcess &process, const QString &at) {
            process.start(QString::fromUtf8(STATE_PROBE), {u"lock"_qs, at});
            return process.waitForReadyRead() && process.readLine() == "acquired\n";
        };
        QVERIFY(hold(holder, path));
        QCOMPARE(InstanceLock(path).state(), InstanceLockState::HeldByAnother);
        holder.closeWriteChannel();
        QVERIFY(holder.waitForFinished() && QFile::exists(path));
        {
            // The file left by a program that has ended blocks nobody; nor does a program
            // started while the lock was held (a browser, say) keep it.
            const InstanceLock lock(path);
            QCOMPARE(lock.state(), InstanceLockState::Acquired);
            QVERIFY(hold(started, dir.filePath(u"other.lock"_qs)));
        }
        QCOMPARE(InstanceLock(path).state(), InstanceLockState::Acquired);
        started.closeWriteChannel();
        QVERIFY(started.waitForFinished());
    }

    // A path as text gives back its very bytes, and a person sees a replacement mark for each byte
    // that is not UTF-8, and nothing else changed.
    void keepsEveryByte_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown");
        QTest::newRow("UTF-8") << QByteArray("/曲/Café") << u"/曲/Café"_qs;
        QTest::newRow("a Latin-1 byte") << QByteArray("/caf\xe9/x") << u"/caf\uFFFD/x"_qs;
        QTest::newRow("a sequence cut off at the end") << QByteArray("a\xe6\x9b") << u"a\uFFFD\uFFFD"_qs;
        QTest::newRow("overlong") << QByteArray("\xc0\xaf") << u"\uFFFD\uFFFD"_qs;
        QTest::newRow("an encoded surrogate") << QByteArray("\xed\xb2\x80") << u"\uFFFD\uFFFD\uFFFD"_qs;
        QTest::newRow("beyond Unicode") << QByteArray("\xf5\x80\x80\x80") << u"\uFFFD\uFFFD\uFFFD\uFFFD"_qs;
        QTest::newRow("beside a four-byte character") << QByteArray("\xff\xf0\x9f\x8e\xb5\xff")
                                                      << u"\uFFFD\U0001F3B5\uFFFD"_qs;
    }
    void keepsEveryByte()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        const QString text = pathText(bytes);
        QCOMPARE(pathBytes(text), bytes);
        QCOMPARE(shownPath(text), shown);
    }
};

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
