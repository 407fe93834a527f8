#include "core/listing/SourceListing.h"

#include "support/FolderSnapshot.h"

using namespace meloport;

class TestSourceListing final : public QObject {
    Q_OBJECT
private slots:
    void listsOneKind_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<MusicKind>("kind");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("WAV in any case, sorted; no hidden files, folders or dangling links")
            << QString() << KindWav
            << QStringList{u"A.WAV"_qs, u"b.wav"_qs, u"link.wav"_qs, u"Track10.wav"_qs, u"Track2.wav"_qs};
        QTest::newRow("MP3") << QString() << KindMp3 << QStringList{u"c.mp3"_qs};
        QTest::newRow("empty folder") << u"album.wav"_qs << KindWav << QStringList{};
        QTest::newRow("missing folder") << u"missing"_qs << KindWav << QStringList{};
    }
    void listsOneKind()
    {
        QFETCH(QString, folder);
        QFETCH(MusicKind, kind);
        QFETCH(QStringList, listed);
        QTemporaryDir dir;
        for (const QString &name : {u"b.wav"_qs, u"A.WAV"_qs, u"Track2.wav"_qs, u"Track10.wav"_qs, u"c.mp3"_qs,
                                    u".hidden.wav"_qs, u"xwav"_qs})
            writeFile(dir.filePath(name), {});
        QVERIFY(QDir(dir.path()).mkdir(u"album.wav"_qs));
        for (const auto &[link, target] : {std::pair(u"link.wav"_qs, u"b.wav"_qs), {u"dir.wav"_qs, u"album.wav"_qs},
                                           {u"dangling.wav"_qs, u"gone"_qs}})
            QVERIFY(QFile::link(dir.filePath(target), dir.filePath(link)));
        QCOMPARE(listMusicFiles(dir.filePath(folder), defaultKindExtensions().at(kind)).shownNames(), listed);
    }
};

QTEST_GUILESS_MAIN(TestSourceListing)
#include "tst_sourcelisting.moc"
