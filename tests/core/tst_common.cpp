#include "core/Common.h"
#include "core/settings/WindowGeometry.h"

#include "support/FolderSnapshot.h"

#include <QDir>
#include <QProcess>

using namespace meloport;

// A line of the saved file, what it became, whether a second monitor is there, and the place:
// "x,y wxh", "- wxh" for the design place, or "design".
struct Place { QByteArray saved, edited; bool secondMonitor; QString place; };
// The probe's limits, the file before and after, and what was read, then how the save went.
struct Saving { QString limits; QByteArray before, after; QString printed; };
Q_DECLARE_METATYPE(Place)
Q_DECLARE_METATYPE(Saving)

class TestCommon final : public QObject {
    Q_OBJECT
private slots:
    // The folder's own name is kept whole: a backslash and blanks are part of it here.
    void pathSeparator()
    {
        QCOMPARE(AddPathSeparator(u"/tmp/a\\"_qs) + u'|' + AddPathSeparator(u" /Album "_qs) + u'|' + AddPathSeparator(u"/"_qs),
                 u"/tmp/a\\/| /Album /|/"_qs);
    }

    // Saved by this version at x 1500, y 3000, 9000 x 7500 twips (100, 200, 600 x 500 pixels at
    // 96 dpi), then read back beside two full-HD monitors, or one. The design size is 540 x 560
    // pixels and the menu bar 20 high.
    void restoredPlace_data()
    {
        QTest::addColumn<Place>("row");
        QTest::newRow("as saved") << Place{{}, {}, true, u"100,200 600x500"_qs};
        QTest::newRow("another version saved it: design geometry")
            << Place{"LastVersion=0.20", "LastVersion=1.00", true, u"design"_qs};
        QTest::newRow("on the second monitor") << Place{"X=1500", "X=45000", true, u"3000,200 600x500"_qs};
        QTest::newRow("second monitor unplugged: design place") << Place{"X=1500", "X=45000", false, u"- 600x500"_qs};
        QTest::newRow("a corner still on a screen") << Place{"X=1500", "X=28500", false, u"1900,200 600x500"_qs};
        QTest::newRow("no room below the menu bar: design size")
            << Place{"Height=7500", "Height=300", true, u"100,200 540x560"_qs};
        QTest::newRow("garbled size: design size") << Place{"Width=9000", "Width=abc", true, u"100,200 540x560"_qs};
        QTest::newRow("garbage after a number: the number") << Place{"X=1500", "X=1500.4px", true, u"100,200 600x500"_qs};
        QTest::newRow("beyond 32 bits: design geometry") << Place{"X=1500", "X=2147483648", true, u"design"_qs};
    }
    void restoredPlace()
    {
        QFETCH(Place, row);
        const auto &[saved, edited, secondMonitor, place] = row;
        TestFolder dir;
        const SettingsStore store(dir.filePath(u"Meloport.ini"_qs));
        QVERIFY(!saveWindowPlace(store, QRect(100, 200, 600, 500), 96, 96, false));
        QVERIFY(!saveWindowPlace(store, QRect(0, 0, 1, 1), 96, 96, true)); // minimized: the last save stands
        const QByteArray ini = fileBytes(store.filePath());
        QVERIFY(saved.isEmpty() || ini.contains(QByteArray("\n" + saved + "\n")));
        writeFile(store.filePath(), QByteArray(ini).replace(saved, edited));
        QList<QRect> screens{QRect(0, 0, 1920, 1040)};
        if (secondMonitor)
            screens.append(QRect(1920, 0, 1920, 1040));
        const auto restored = restoredWindowPlace(store, 96, 96, QSize(540, 560), 20, screens);
        QString shown = u"design"_qs;
        if (restored) {
            const QSize size = restored->size.value_or(QSize(540, 560));
            shown = (restored->topLeft ? u"%1,%2"_qs.arg(restored->topLeft->x()).arg(restored->topLeft->y()) : u"-"_qs)
                    + u" %1x%2"_qs.arg(size.width()).arg(size.height());
        }
        QCOMPARE(shown, place);
    }

    // Each row saves in a process of its own, after reading every setting as a start does. A save
    // that cannot finish leaves the old file whole and nothing beside it.
    void saving_data()
    {
        QTest::addColumn<Saving>("row");
        const QByteArray old("[Settings]\nX = 2\nInstalledDir=/m/\n\n[Other]\nY=9\n");
        const QByteArray damaged("\0\x01junk\n[Settings\n[Settings]\nno equals\n\x80\x81\nX=2\n", 45);
        QTest::newRow("values replaced where they stand, new ones added to their section") << Saving{{}, old,
            "[Settings]\nX=1500\nInstalledDir=/m/\nLastVersion=0.20\n\n[Other]\nY=9\n", u"/m/ 1.00 2 0 0 0 0 saved"_qs};
        QTest::newRow("damaged lines kept")
            << Saving{{}, damaged, QByteArray(damaged).replace("X=2", "X=1500") + "LastVersion=0.20\n", u" 1.00 2 0 0 0 0 saved"_qs};
        QTest::newRow("full disk") << Saving{u"--fsize 20"_qs, old, old, u"/m/ 1.00 2 0 0 0 0 ディスクの空きが足りません"_qs};
        QTest::newRow("another user: defaults") << Saving{u"--as-nobody"_qs, old, old, u" 1.00 0 0 0 0 0 アクセスが拒否されました"_qs};
    }
    void saving()
    {
        QFETCH(Saving, row);
        auto [limits, before, after, printed] = row;
        TestFolder dir;
        QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), 0705) == 0); // others may enter, not write
        const QString path = dir.filePath(u"Meloport.ini"_qs);
        writeFile(path, before);
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
        QString output;
        for (const QString &command : {u"load"_qs, u"save"_qs}) {
            QProcess probe;
            probe.start(QString::fromUtf8(STATE_PROBE),
                        limits.split(u' ', Qt::SkipEmptyParts) + QStringList{command, path});
            QVERIFY(probe.waitForFinished());
            output += QString::fromUtf8(probe.readAllStandardOutput());
        }
        QCOMPARE(output, printed.replace(u' ', u'\n') + u'\n');
        QCOMPARE(fileBytes(path), after);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{u"Meloport.ini"_qs});
    }

    void aLinkStaysALink()
    {
        TestFolder dir;
        const QString real = dir.filePath(u"real.ini"_qs), link = dir.filePath(u"Meloport.ini"_qs);
        writeFile(real, "[Settings]\n");
        QVERIFY(QFile::link(real, link));
        QVERIFY(!SettingsStore(link).save({{Setting::X, u"2"_qs}}));
        QCOMPARE(QFileInfo(link).symLinkTarget(), real);
        QCOMPARE(fileBytes(real), QByteArray("[Settings]\nX=2\n"));
    }
};

QTEST_GUILESS_MAIN(TestCommon)
#include "tst_common.moc"
