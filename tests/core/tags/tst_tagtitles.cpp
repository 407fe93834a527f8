#include "core/tags/TagTitles.h"

#include "support/FolderSnapshot.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace meloport;

// The fixtures are written by tools/make_tag_fixtures.py.
class TagTitlesTest final : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void readsEachKind_data();
    void readsEachKind();
    void readingChangesNothing();

private:
    QTemporaryDir m_folder;
    MusicListing m_listing;
    QList<TagTitle> m_read;
    // Each file's modification time and bytes before it was read.
    QMap<QByteArray, std::pair<qint64, QByteArray>> m_before;
};

namespace {

std::pair<qint64, QByteArray> stamp(const QByteArray &path)
{
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return {-1, {}}; // the pipe: opening it to read would wait for a writer
    QFile file(QFile::decodeName(path));
    return {qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
            file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)")};
}

} // namespace

void TagTitlesTest::initTestCase()
{
    QVERIFY(m_folder.isValid());
    const QByteArray folder = QFile::encodeName(m_folder.path()) + '/';
    QDir fixtures(QStringLiteral(TAG_FIXTURES));
    const QStringList names = fixtures.entryList(QDir::Files);
    QVERIFY(names.size() > 10);
    for (const QString &name : names)
        QVERIFY(QFile::copy(fixtures.filePath(name), m_folder.filePath(name)));
    // A listed name whose bytes are not UTF-8, an empty file, and a name that became a pipe.
    QFile ogg(fixtures.filePath(QStringLiteral("utf8.ogg")));
    QVERIFY(ogg.open(QIODevice::ReadOnly));
    writeFile(folder + "caf\xe9.ogg", ogg.readAll());
    writeFile(folder + "empty.wma", QByteArray());
    QCOMPARE(::mkfifo(QByteArray(folder + "pipe.mp3").constData(), 0644), 0);

    m_listing.folder = m_folder.path() + u'/';
    const std::unique_ptr<DIR, int (*)(DIR *)> dir(opendir(folder.constData()), closedir);
    while (const dirent *entry = readdir(dir.get())) {
        const QByteArray name(entry->d_name);
        if (name.startsWith('.'))
            continue;
        m_listing.files.append({name});
        m_before.insert(name, stamp(folder + name));
    }
    m_read = readTagTitles(m_listing);
    QCOMPARE(m_read.size(), m_listing.files.size());
}

void TagTitlesTest::readsEachKind_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QString>("title");
    QTest::addColumn<TagTitle::Missing>("missing");

    const QString song = QStringLiteral("春の歌");
    const QString old = QStringLiteral("序曲");
    const auto none = TagTitle::Missing::None;
    QTest::newRow("MP3, UTF-8 in ID3v2.4") << QByteArray("utf8-id3v24.mp3") << song << none;
    QTest::newRow("MP3, UTF-16 in ID3v2.3") << QByteArray("utf16-id3v23.mp3") << song << none;
    QTest::newRow("MP3, Shift-JIS in a Latin-1 ID3v2.3 frame") << QByteArray("sjis-id3v23.mp3") << old << none;
    QTest::newRow("MP3, Shift-JIS in ID3v1") << QByteArray("sjis-id3v1.mp3") << old << none;
    QTest::newRow("MP3, Latin-1 Café stays Latin-1") << QByteArray("latin1-id3v23.mp3") << QStringLiteral("Café") << none;
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
    QTest::newRow("damaged FLAC") << QByteArray("damaged.flac") << QString() << TagTitle::Missing::Damaged;
    QTest::newRow("text named .m4a") << QByteArray("damaged.m4a") << QString() << TagTitle::Missing::Damaged;
    QTest::newRow("empty WMA") << QByteArray("empty.wma") << QString() << TagTitle::Missing::Damaged;
    QTest::newRow("a pipe is not waited on") << QByteArray("pipe.mp3") << QString() << TagTitle::Missing::CannotOpen;
}

void TagTitlesTest::readsEachKind()
{
    QFETCH(QByteArray, name);
    QFETCH(QString, title);
    QFETCH(TagTitle::Missing, missing);
    qsizetype at = -1;
    for (qsizetype i = 0; i < m_listing.files.size(); ++i)
        if (m_listing.files[i].name == name)
            at = i;
    QVERIFY(at >= 0);
    QCOMPARE(m_read[at].title, title);
    QCOMPARE(m_read[at].missing, missing);
}

void TagTitlesTest::readingChangesNothing()
{
    // Once read in initTestCase, and once more here.
    readTagTitles(m_listing);
    const QByteArray folder = QFile::encodeName(m_listing.folder);
    for (auto it = m_before.cbegin(); it != m_before.cend(); ++it)
        QVERIFY2(stamp(folder + it.key()) == it.value(), it.key().constData());
}

QTEST_GUILESS_MAIN(TagTitlesTest)
#include "tst_tagtitles.moc"
