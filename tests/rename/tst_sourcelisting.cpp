#include "rename/SourceListing.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace meloport;

namespace {

void touch(const QString &path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

} // namespace

class TestSourceListing final : public QObject {
    Q_OBJECT
private slots:
    void listsOneKind_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QStringList>("expected");
        const QStringList rip{u"b.wav"_qs, u"A.WAV"_qs, u"c.mp3"_qs};
        QTest::newRow("WAV in any case, sorted") << rip << u"WAV"_qs << QStringList{u"A.WAV"_qs, u"b.wav"_qs};
        QTest::newRow("MP3") << rip << u"MP3"_qs << QStringList{u"c.mp3"_qs};
        QTest::newRow("none of the kind") << rip << u"WMA"_qs << QStringList{};
        QTest::newRow("hidden files left out") << QStringList{u".hidden.wav"_qs, u"shown.wav"_qs} << u"WAV"_qs
                                               << QStringList{u"shown.wav"_qs};
        QTest::newRow("extension must follow a dot") << QStringList{u"wav"_qs, u"xwav"_qs, u"x.wav"_qs, u"x.wave"_qs}
                                                     << u"WAV"_qs << QStringList{u"x.wav"_qs};
        QTest::newRow("Track10 before Track2") << QStringList{u"Track2.wav"_qs, u"Track10.wav"_qs} << u"WAV"_qs
                                               << QStringList{u"Track10.wav"_qs, u"Track2.wav"_qs};
        QTest::newRow("Japanese names") << QStringList{u"曲.wav"_qs, u"ｱ.WAV"_qs} << u"WAV"_qs
                                        << QStringList{u"曲.wav"_qs, u"ｱ.WAV"_qs};
        QTest::newRow("empty folder") << QStringList{} << u"WAV"_qs << QStringList{};
    }
    void listsOneKind()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, extension);
        QFETCH(QStringList, expected);
        QTemporaryDir dir;
        for (const QString &name : files)
            touch(dir.filePath(name));
        QCOMPARE(listMusicFiles(dir.path(), extension), expected);
        QCOMPARE(listMusicFiles(dir.path() + u'/', extension), expected);
    }

    void foldersAndLinks()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(u"album.wav"_qs));
        touch(dir.filePath(u"real.wav"_qs));
        QVERIFY(QFile::link(dir.filePath(u"real.wav"_qs), dir.filePath(u"link.wav"_qs)));
        QVERIFY(QFile::link(dir.filePath(u"album.wav"_qs), dir.filePath(u"dirlink.wav"_qs)));
        QVERIFY(QFile::link(dir.filePath(u"gone"_qs), dir.filePath(u"dangling.wav"_qs)));
        QCOMPARE(listMusicFiles(dir.path(), u"WAV"_qs), (QStringList{u"link.wav"_qs, u"real.wav"_qs}));
    }

    void missingFolderListsNothing()
    {
        QTemporaryDir dir;
        QCOMPARE(listMusicFiles(dir.filePath(u"missing"_qs), u"WAV"_qs), QStringList{});
        touch(dir.filePath(u"file.wav"_qs));
        QCOMPARE(listMusicFiles(dir.filePath(u"file.wav"_qs), u"WAV"_qs), QStringList{});
    }
};

QTEST_GUILESS_MAIN(TestSourceListing)
#include "tst_sourcelisting.moc"
