#include "core/listing/SourceListing.h"

#include "core/Collation.h"

#include <QRandomGenerator>

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
        QTest::newRow("missing folder") << u"missing"_qs << KindWav << QStringList{};
    }
    void listsOneKind()
    {
        QFETCH(QString, folder);
        QFETCH(MusicKind, kind);
        QFETCH(QStringList, listed);
        TestFolder dir;
        for (const QString &name : {u"b.wav"_qs, u"A.WAV"_qs, u"Track2.wav"_qs, u"Track10.wav"_qs, u"c.mp3"_qs,
                                    u".hidden.wav"_qs, u"xwav"_qs})
            writeFile(dir.filePath(name), {});
        QVERIFY(QDir(dir.path()).mkdir(u"album.wav"_qs));
        for (const auto &[link, target] : {std::pair(u"link.wav"_qs, u"b.wav"_qs), {u"dir.wav"_qs, u"album.wav"_qs},
                                           {u"dangling.wav"_qs, u"gone"_qs}})
            QVERIFY(QFile::link(dir.filePath(target), dir.filePath(link)));
        QCOMPARE(listMusicFiles(dir.filePath(folder), defaultKindExtensions().at(kind)).shownNames(), listed);
    }

    // Plain ASCII names are placed by their bytes, the rest by their text: both ways must give
    // one order, or a file would be paired with another file's title.
    void placesAsciiAndOtherNamesInOneOrder()
    {
        const QByteArrayList pieces{"a", "A", "Z", "_", "[", "0", "9", " ", "\xC3\xA9", "\xC3\x89", "\xC3\x9F", "\xE9", "~"};
        QRandomGenerator generator(20261207);
        TestFolder dir;
        QSet<QByteArray> made;
        for (int i = 0; i < 300; ++i) {
            QByteArray name;
            for (int length = generator.bounded(1, 7); length > 0; --length)
                name += pieces.at(generator.bounded(pieces.size()));
            made.insert(name + ".wav");
        }
        for (const QByteArray &name : made)
            writeFile(QFile::encodeName(dir.path()) + '/' + name, {});
        QByteArrayList expected = made.values();
        std::sort(expected.begin(), expected.end(), [](const QByteArray &a, const QByteArray &b) {
            const int order = listOrderCompare(QString::fromUtf8(a), QString::fromUtf8(b));
            return order != 0 ? order < 0 : a < b;
        });
        QByteArrayList listed;
        for (const ListedFile &file : listMusicFiles(dir.path(), u"WAV"_qs).files)
            listed.append(file.name);
        QCOMPARE(listed, expected);
    }
};

QTEST_GUILESS_MAIN(TestSourceListing)
#include "tst_sourcelisting.moc"
