#include "core/tags/TagTitles.h"

#include "support/FolderSnapshot.h"

#include <QDir>
#include <QTest>

#include <sys/stat.h>

using namespace meloport;

namespace {

std::pair<qint64, QByteArray> stamp(const QByteArray &path)
{
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return {-1, {}}; // the pipe: opening it to read would wait for a writer
    return {qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec, fileBytes(QFile::decodeName(path))};
}

} // namespace

// The fixtures are written by tools/make_tag_fixtures.py.
class TagTitlesTest final : public QObject {
    Q_OBJECT
    TestFolder m_folder;
    MusicListing m_listing;
    QMap<QByteArray, TagTitle> m_read;
    QMap<QByteArray, std::pair<qint64, QByteArray>> m_before; // each file's time and bytes before it was read

private slots:
    void initTestCase()
    {
        const QByteArray folder = QFile::encodeName(m_folder.path()) + '/';
        QDir fixtures(QStringLiteral(TAG_FIXTURES));
        for (const QString &name : fixtures.entryList(QDir::Files)) // a row whose file is missing fails
            QVERIFY(QFile::copy(fixtures.filePath(name), m_folder.filePath(name)));
        // A listed name whose bytes are not UTF-8, an empty file, and a name that became a pipe.
        writeFile(folder + "caf\xe9.ogg", fileBytes(fixtures.filePath(u"utf8.ogg"_qs)));
        writeFile(folder + "empty.wma", QByteArray());
        QCOMPARE(::mkfifo(QByteArray(folder + "pipe.mp3").constData(), 0644), 0);

        m_listing.folder = m_folder.path() + u'/';
        const std::unique_ptr<DIR, int (*)(DIR *)> dir(opendir(folder.constData()), closedir);
        while (const dirent *entry = readdir(dir.get())) { // by bytes: one name is not UTF-8
            const QByteArray name(entry->d_name);
            if (!name.startsWith('.')) {
                m_listing.files.append({name});
                m_before.insert(name, stamp(folder + name));
            }
        }
        const QList<TagTitle> read = readTagTitles(m_listing);
        for (qsizetype i = 0; i < read.size(); ++i)
            m_read.insert(m_listing.files[i].name, read[i]);
    }

    void readsEachKind_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QString>("title");
        QTest::addColumn<TagTitle::Missing>("missing");
        const QString song = u"春の歌"_qs, old = u"序曲"_qs;
        const auto none = TagTitle::Missing::None, damaged = TagTitle::Missing::Damaged;
        QTest::newRow("MP3, UTF-8 in ID3v2.4") << QByteArray("utf8-id3v24.mp3") << song << none;
        QTest::newRow("MP3, UTF-16 in ID3v2.3") << QByteArray("utf16-id3v23.mp3") << song << none;
        QTest::newRow("MP3, Shift-JIS in a Latin-1 ID3v2.3 frame") << QByteArray("sjis-id3v23.mp3") << old << none;
        QTest::newRow("MP3, Shift-JIS in ID3v1") << QByteArray("sjis-id3v1.mp3") << old << none;
        QTest::newRow("MP3, Latin-1 Café stays Latin-1") << QByteArray("latin1-id3v23.mp3") << u"Café"_qs << none;
        QTest::newRow("MP3, a line break kept for 変更 to refuse")
            << QByteArray("linebreak-id3v24.mp3") << u"一\n二"_qs << none;
        QTest::newRow("MP3 without tags") << QByteArray("untagged.mp3") << QString() << TagTitle::Missing::NoTitle;
        QTest::newRow("WAV, UTF-8 in RIFF INFO") << QByteArray("utf8-info.wav") << song << none;
        QTest::newRow("WAV, Shift-JIS in RIFF INFO") << QByteArray("sjis-info.wav") << old << none;
        QTest::newRow("WAV, UTF-8 in an ID3 chunk") << QByteArray("utf8-id3.wav") << song << none;
        QTest::newRow("WAV without tags") << QByteArray("untagged.wav") << QString() << TagTitle::Missing::NoTitle;
        QTest::newRow("FLAC") << QByteArray("utf8.flac") << song << none;
        QTest::newRow("OGG") << QByteArray("utf8.ogg") << song << none;
        QTest::newRow("OPUS") << QByteArray("utf8.opus") << song << none;
        QTest::newRow("M4A") << QByteArray("utf8.m4a") << song << none;
        QTest::newRow("WMA") << QByteArray("utf8.wma") << song << none;
        QTest::newRow("a name that is not UTF-8") << QByteArray("caf\xe9.ogg") << song << none;
        QTest::newRow("damaged FLAC") << QByteArray("damaged.flac") << QString() << damaged;
        QTest::newRow("text named .m4a") << QByteArray("damaged.m4a") << QString() << damaged;
        QTest::newRow("empty WMA") << QByteArray("empty.wma") << QString() << damaged;
        QTest::newRow("a pipe is not waited on") << QByteArray("pipe.mp3") << QString() << TagTitle::Missing::CannotOpen;
    }
    void readsEachKind()
    {
        QFETCH(QByteArray, name);
        QFETCH(QString, title);
        QFETCH(TagTitle::Missing, missing);
        QVERIFY(m_read.contains(name));
        QCOMPARE(m_read[name].title, title);
        QCOMPARE(m_read[name].missing, missing);
    }

    void readingChangesNothing()
    {
        readTagTitles(m_listing); // once more, after initTestCase
        const QByteArray folder = QFile::encodeName(m_listing.folder);
        for (auto it = m_before.cbegin(); it != m_before.cend(); ++it)
            QVERIFY2(stamp(folder + it.key()) == it.value(), it.key().constData());
    }
};

QTEST_GUILESS_MAIN(TagTitlesTest)
#include "tst_tagtitles.moc"
