#include "app/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace meloport;

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QStringList runProbe(const QStringList &arguments)
{
    QProcess probe;
    probe.start(QString::fromUtf8(STATE_PROBE), arguments);
    if (!probe.waitForFinished() || probe.exitCode() != 0)
        return {u"probe failed"_qs};
    return QString::fromUtf8(probe.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

} // namespace

class TestSettingsStore final : public QObject {
    Q_OBJECT
private slots:
    void userFileIsWhereQSettingsKeepsIt()
    {
        QTemporaryDir dir;
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.path()));
        QCOMPARE(SettingsStore::userFilePath(), dir.filePath(u"Meloport/Meloport.ini"_qs));
        QCOMPARE(SettingsStore::userFilePath(),
                 QSettings(QSettings::IniFormat, QSettings::UserScope, u"Meloport"_qs, u"Meloport"_qs).fileName());
    }

    void otherLinesStayAsTheyAre_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("new file") << QByteArray() << QByteArray("[Settings]\nX=15\nY=30\n");
        QTest::newRow("values replaced where they stand")
            << QByteArray("[Settings]\nY = 1\nInstalledDir=/opt/m/\nX=2\n")
            << QByteArray("[Settings]\nY=30\nInstalledDir=/opt/m/\nX=15\n");
        QTest::newRow("missing key at the end of its section, before the next")
            << QByteArray("[Settings]\nX=2\n\n[Other]\nY=9\n")
            << QByteArray("[Settings]\nX=15\nY=30\n\n[Other]\nY=9\n");
        QTest::newRow("section added after the others")
            << QByteArray("[Other]\nX=9") << QByteArray("[Other]\nX=9\n\n[Settings]\nX=15\nY=30\n");
        QTest::newRow("lines QSettings cannot parse are kept")
            << QByteArray("[Settings]\ngarbage \x01\xff\n; note\nX=2\n")
            << QByteArray("[Settings]\ngarbage \x01\xff\n; note\nX=15\nY=30\n");
        QTest::newRow("Windows line ends kept")
            << QByteArray("\xEF\xBB\xBF[Settings]\r\nX=2\r\n") << QByteArray("\xEF\xBB\xBF[Settings]\r\nX=15\r\nY=30\r\n");
    }
    void otherLinesStayAsTheyAre()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        QCOMPARE(withIniValues(before, "Settings", {{"X", "15"}, {"Y", "30"}}), after);
    }

    void damagedFileStillStartsAndKeepsItsLines()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"Meloport.ini"_qs);
        const QByteArray damaged = QByteArray("\0\x01junk\n", 7)
            + "[Settings\nInstalledDir=/opt/m/\n[Settings]\nno equals sign\nWidth=12abc\n\x80\x81";
        write(path, damaged);
        const SettingsStore store(path);
        QCOMPARE(store.value(Setting::LastVersion), u"1.00"_qs);
        QCOMPARE(store.value(Setting::InstalledDir), u"/opt/m/"_qs);
        QCOMPARE(store.value(Setting::Width), u"12abc"_qs);
        QVERIFY(!store.save({{Setting::Width, u"9000"_qs}}));
        QCOMPARE(readAll(path), QByteArray(damaged).replace("Width=12abc", "Width=9000"));
        QCOMPARE(store.value(Setting::Width), u"9000"_qs);
    }

    void aLinkStaysALink()
    {
        QTemporaryDir dir;
        const QString target = dir.filePath(u"real.ini"_qs);
        const QString link = dir.filePath(u"Meloport.ini"_qs);
        write(target, "[Settings]\nX=1\n");
        QVERIFY(QFile::link(target, link));
        QVERIFY(!SettingsStore(link).save({{Setting::X, u"2"_qs}}));
        QCOMPARE(QFileInfo(link).symLinkTarget(), target);
        QCOMPARE(readAll(target), QByteArray("[Settings]\nX=2\n"));
    }

    // A save that cannot finish leaves the old file whole and no temporary behind; the program
    // still starts from what it can read.
    void failedSaveKeepsTheOldFile_data()
    {
        QTest::addColumn<QStringList>("limits");
        QTest::addColumn<bool>("fileExists");
        QTest::addColumn<QString>("reason");
        QTest::newRow("full disk") << QStringList{u"--fsize"_qs, u"20"_qs} << true << u"ディスクの空きが足りません"_qs;
        QTest::newRow("file the user cannot read")
            << QStringList{u"--as-nobody"_qs} << true << u"アクセスが拒否されました"_qs;
        QTest::newRow("folder the user cannot write")
            << QStringList{u"--as-nobody"_qs} << false << u"アクセスが拒否されました"_qs;
    }
    void failedSaveKeepsTheOldFile()
    {
        QFETCH(QStringList, limits);
        QFETCH(bool, fileExists);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                      | QFile::ReadOther | QFile::ExeOther));
        const QString path = dir.filePath(u"Meloport.ini"_qs);
        const QByteArray old("[Settings]\nInstalledDir=/opt/m/\nLastVersion=0.20\nX=100\n");
        if (fileExists) {
            write(path, old);
            QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
        }

        const QStringList loaded = runProbe(limits + QStringList{u"load"_qs, path});
        if (!limits.contains(u"--fsize"_qs))
            QCOMPARE(loaded, (QStringList{u"1.00"_qs, u"0"_qs, u"0"_qs, u"0"_qs, u"0"_qs}));
        QCOMPARE(runProbe(limits + QStringList{u"save"_qs, path}), QStringList{reason});

        QCOMPARE(readAll(path), fileExists ? old : QByteArray());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), fileExists ? QStringList{u"Meloport.ini"_qs} : QStringList());
    }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
