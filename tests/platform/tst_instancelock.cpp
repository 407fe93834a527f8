#include "platform/Platform.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace meloport::platform;

namespace {

// Starts a program that takes the lock at `path` and holds it until its input closes.
bool startHolder(QProcess &holder, const QString &path)
{
    holder.start(QString::fromUtf8(STATE_PROBE), {u"lock"_qs, path});
    return holder.waitForReadyRead() && holder.readLine() == "acquired\n";
}

} // namespace

class TestInstanceLock final : public QObject {
    Q_OBJECT
private slots:
    void lockOfARunningProgramHolds()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"Meloport.lock"_qs);
        QProcess holder;
        QVERIFY(startHolder(holder, path));
        QCOMPARE(InstanceLock(path).state(), InstanceLockState::HeldByAnother);
        holder.closeWriteChannel();
        QVERIFY(holder.waitForFinished());
        // Its file is left behind, and blocks nobody.
        QVERIFY(QFile::exists(path));
        QCOMPARE(InstanceLock(path).state(), InstanceLockState::Acquired);
    }

    // A browser started by the program must not keep the lock once the program has ended.
    void programsStartedWhileHoldingDoNotInheritIt()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"Meloport.lock"_qs);
        QProcess child;
        {
            const InstanceLock lock(path);
            QVERIFY(startHolder(child, dir.filePath(u"other.lock"_qs)));
        }
        QCOMPARE(InstanceLock(path).state(), InstanceLockState::Acquired);
        child.closeWriteChannel();
        QVERIFY(child.waitForFinished());
    }

    void noPlaceForALockLetsTheProgramStart()
    {
        QTemporaryDir dir;
        const InstanceLock lock(dir.filePath(u"missing/Meloport.lock"_qs));
        QCOMPARE(lock.state(), InstanceLockState::Unavailable);
        QVERIFY(lock.error());
    }
};

QTEST_GUILESS_MAIN(TestInstanceLock)
#include "tst_instancelock.moc"
