#include "about/HelpFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace meloport;

class TestHelpFile final : public QObject {
    Q_OBJECT
private slots:
    void candidates_data()
    {
        QTest::addColumn<QString>("helpFilePath");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("InstalledDir set: that file only")
            << u"/opt/meloport/Meloport.html"_qs << QStringList{u"/opt/meloport/Meloport.html"_qs};
        QTest::newRow("InstalledDir without a final separator: taken as it stands")
            << u"/opt/meloportMeloport.html"_qs << QStringList{u"/opt/meloportMeloport.html"_qs};
        QTest::newRow("no InstalledDir: beside the program, then the data folder")
            << u"Meloport.html"_qs
            << QStringList{u"/usr/bin/Meloport.html"_qs, u"/usr/share/meloport/Meloport.html"_qs};
        QTest::newRow("no path yet: the help file's own name")
            << QString() << QStringList{u"/usr/bin/Meloport.html"_qs, u"/usr/share/meloport/Meloport.html"_qs};
    }
    void candidates()
    {
        QFETCH(QString, helpFilePath);
        QFETCH(QStringList, expected);
        QCOMPARE(helpFileCandidates(helpFilePath, u"/usr/bin"_qs), expected);
    }

    void lookupWithoutInstalledDir_data()
    {
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QString>("found");
        QTest::newRow("beside the program") << QStringList{u"bin"_qs} << u"bin"_qs;
        QTest::newRow("installed in the data folder") << QStringList{u"share/meloport"_qs} << u"share/meloport"_qs;
        QTest::newRow("in both: the one beside the program")
            << QStringList{u"share/meloport"_qs, u"bin"_qs} << u"bin"_qs;
        QTest::newRow("nowhere") << QStringList{} << QString();
    }
    void lookupWithoutInstalledDir()
    {
        QFETCH(QStringList, present);
        QFETCH(QString, found);
        QTemporaryDir root;
        QVERIFY(QDir(root.path()).mkpath(u"bin"_qs));
        for (const QString &folder : present) {
            QVERIFY(QDir(root.path()).mkpath(folder));
            QFile file(root.filePath(folder + u"/Meloport.html"_qs));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        const QString expected = found.isEmpty() ? QString() : root.filePath(found + u"/Meloport.html"_qs);
        QCOMPARE(findHelpFile(helpFileCandidates(u"Meloport.html"_qs, root.filePath(u"bin"_qs))), expected);
    }
};

QTEST_GUILESS_MAIN(TestHelpFile)
#include "tst_helpfile.moc"
