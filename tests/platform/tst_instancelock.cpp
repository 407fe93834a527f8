#include "platform/Platform.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace meloport::platform;

class TestInstanceLock final : public QObject {
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
};

QTEST_GUILESS_MAIN(TestInstanceLock)
#include "tst_instancelock.moc"
