#include "platform/Platform.h"
#include "support/Folders.h"

#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace meloport;

namespace {

constexpr qint64 kThreeChunks = 2 * platform::kCopyChunkBytes + 1;

} // namespace

class TestFileCopy final : public QObject {
    Q_OBJECT
private slots:
    void copiesWhole_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<bool>("replacing");
        QTest::newRow("new file") << qint64(5000) << false;
        QTest::newRow("same-named file replaced") << qint64(5000) << true;
        QTest::newRow("empty file replaces a full one") << qint64(0) << true;
        QTest::newRow("long file, window served between chunks") << kThreeChunks << true;
    }
    void copiesWhole()
    {
        QFETCH(qint64, size);
        QFETCH(bool, replacing);
        QTemporaryDir source;
        QTemporaryDir destination;
        folders::write(source.filePath(u"track.wav"_qs), folders::content(size, 'a'));
        if (replacing)
            folders::write(destination.filePath(u"track.wav"_qs), folders::content(9999, 'z'));

        int breaks = 0;
        const auto error = platform::copyFile(source.filePath(u"track.wav"_qs), destination.filePath(u"track.wav"_qs),
                                              [&breaks] { ++breaks; });
        QVERIFY2(!error, qPrintable(error ? error->reason : QString()));
        QCOMPARE(folders::snapshot(destination.path()), folders::snapshot(source.path()));
        QCOMPARE(breaks > 0, size > platform::kCopyChunkBytes);
    }

    void refusesAndTouchesNothing_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("destination");
        QTest::newRow("source missing") << u"src/gone.wav"_qs << u"dst/gone.wav"_qs;
        QTest::newRow("source is a folder") << u"src/folder.wav"_qs << u"dst/folder.wav"_qs;
        QTest::newRow("destination folder missing") << u"src/a.wav"_qs << u"nowhere/a.wav"_qs;
        QTest::newRow("destination name taken by a folder") << u"src/b.wav"_qs << u"dst/b.wav"_qs;
        QTest::newRow("onto itself") << u"src/a.wav"_qs << u"src/a.wav"_qs;
        QTest::newRow("onto itself, spelt otherwise") << u"src/a.wav"_qs << u"src/.//a.wav"_qs;
        QTest::newRow("onto itself through a linked folder") << u"src/a.wav"_qs << u"link/a.wav"_qs;
        QTest::newRow("onto itself through a hard link") << u"src/a.wav"_qs << u"hard/a.wav"_qs;
    }
    void refusesAndTouchesNothing()
    {
        QFETCH(QString, source);
        QFETCH(QString, destination);
        QTemporaryDir root;
        QDir dir(root.path());
        for (const QString &folder : {u"src/folder.wav"_qs, u"dst/b.wav"_qs, u"hard"_qs})
            QVERIFY(dir.mkpath(folder));
        folders::write(root.filePath(u"src/a.wav"_qs), folders::content(5000, 'a'));
        folders::write(root.filePath(u"src/b.wav"_qs), folders::content(5000, 'b'));
        folders::write(root.filePath(u"dst/a.wav"_qs), folders::content(300, 'o'));
        QVERIFY(QFile::link(root.filePath(u"src"_qs), root.filePath(u"link"_qs)));
        QCOMPARE(::link(QFile::encodeName(root.filePath(u"src/a.wav"_qs)).constData(),
                        QFile::encodeName(root.filePath(u"hard/a.wav"_qs)).constData()), 0);
        const QStringList before = folders::snapshot(root.path());

        const auto error = platform::copyFile(root.filePath(source), root.filePath(destination));
        QVERIFY(error);
        QVERIFY(!error->reason.isEmpty());
        QCOMPARE(folders::snapshot(root.path()), before);
    }

    void sourceChangesWhileCopied_data()
    {
        QTest::addColumn<bool>("cutShort");
        QTest::newRow("cut short: fails, old destination kept") << true;
        // Removing a name does not take the data from a file that is open.
        QTest::newRow("removed: the copy is still whole") << false;
    }
    void sourceChangesWhileCopied()
    {
        QFETCH(bool, cutShort);
        QTemporaryDir source;
        QTemporaryDir destination;
        const QString from = source.filePath(u"track.wav"_qs);
        const QString to = destination.filePath(u"track.wav"_qs);
        const QByteArray data = folders::content(kThreeChunks, 'a');
        folders::write(from, data);
        folders::write(to, "old");

        const auto error = platform::copyFile(from, to, [&] {
            if (cutShort)
                QFile::resize(from, 10);
            else
                QFile::remove(from);
        });
        QCOMPARE(QFileInfo(from).size(), cutShort ? 10 : 0);
        QCOMPARE(bool(error), cutShort);
        QCOMPARE(QDir(destination.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{u"track.wav"_qs});
        QCOMPARE(folders::read(to), cutShort ? QByteArray("old") : data);
    }
};

QTEST_GUILESS_MAIN(TestFileCopy)
#include "tst_filecopy.moc"
