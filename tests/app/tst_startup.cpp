#include "app/Product.h"
#include "app/Twips.h"
#include "app/frmMain.h"
#include "platform/Platform.h"
#include "support/RecordingInteraction.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

using namespace meloport;

namespace {

struct Places {
    QTemporaryDir dir;
    StatePaths paths{dir.filePath(u"config/Meloport.ini"_qs), dir.filePath(u"Meloport.lock"_qs)};

    void store(const QByteArray &ini) const
    {
        QVERIFY(QDir().mkpath(dir.filePath(u"config"_qs)));
        QFile file(paths.settingsFile);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(ini);
    }
    QByteArray stored() const
    {
        QFile file(paths.settingsFile);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

QRect outer(const frmMain &window)
{
    return window.windowHandle()->frameGeometry();
}

// What the window saves for its outer geometry, in twips at its own resolution.
QByteArray savedGeometry(const frmMain &window)
{
    const QRect r = outer(window);
    const auto twips = [](int pixels, int dpi) { return QByteArray::number(pixelsToTwips(pixels, dpi)); };
    return "X=" + twips(r.x(), window.logicalDpiX()) + "\nY=" + twips(r.y(), window.logicalDpiY()) + "\nWidth="
        + twips(r.width(), window.logicalDpiX()) + "\nHeight=" + twips(r.height(), window.logicalDpiY()) + '\n';
}

} // namespace

class TestStartup final : public QObject {
    Q_OBJECT
private:
    QRect m_design; // the outer geometry of a window that restored nothing

private slots:
    void initTestCase()
    {
        RecordingInteraction interaction;
        Places places;
        frmMain window(interaction, places.paths);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        m_design = outer(window);
        QCOMPARE(window.logicalDpiX(), 96);
    }

    void restoresGeometry_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QRect>("expected"); // a null position or size: the design's
        const QByteArray version = "[Settings]\nLastVersion=0.20\n";
        QTest::newRow("first start: nothing stored") << QByteArray() << QRect();
        QTest::newRow("same version: stored place and size")
            << version + "X=1500\nY=3000\nWidth=9000\nHeight=7500\n" << QRect(100, 200, 600, 500);
        QTest::newRow("fractions to even, leading numbers")
            << version + "X=1500.5\nY=3000abc\nWidth=9000\nHeight=7500.49\n" << QRect(100, 200, 600, 500);
        QTest::newRow("another version: design geometry")
            << QByteArray("[Settings]\nLastVersion=1.00\nX=1500\nY=3000\nWidth=9000\nHeight=7500\n") << QRect();
        QTest::newRow("beyond 16 bits: design geometry")
            << version + "X=40000\nY=3000\nWidth=9000\nHeight=7500\n" << QRect();
        QTest::newRow("monitor removed: onto the primary screen")
            << version + "X=30000\nY=3000\nWidth=9000\nHeight=7500\n" << QRect(200, 200, 600, 500);
        QTest::newRow("garbled size: design size at the stored place")
            << version + "X=1500\nY=3000\nWidth=abc\nHeight=7500\n" << QRect(100, 200, 0, 0);
    }
    void restoresGeometry()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QRect, expected);
        if (expected == QRect())
            expected = m_design;
        if (expected.size().isNull())
            expected.setSize(m_design.size());
        QCOMPARE(QGuiApplication::primaryScreen()->availableGeometry(), QRect(0, 0, 800, 800));

        RecordingInteraction interaction;
        Places places;
        if (!ini.isEmpty())
            places.store(ini);
        frmMain window(interaction, places.paths);
        window.mnKind = KindWma;
        QVERIFY(window.Form_Load());
        QVERIFY(interaction.messages.isEmpty());
        QCOMPARE(window.mnKind, qint16(KindWav));
        QVERIFY(window.cmdWav->isChecked());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(outer(window), expected);
        QCOMPARE(window.minimumSize(), window.maximumSize());

        // A normal close saves this version and the real geometry, whatever was stored.
        const QByteArray geometry = savedGeometry(window);
        window.close();
        QVERIFY(places.stored().endsWith(QByteArray("[Settings]\nLastVersion=0.20\n" + geometry)));
    }

    void minimizedCloseWritesNothing()
    {
        RecordingInteraction interaction;
        Places places;
        const QByteArray ini = "[Settings]\nLastVersion=0.20\nX=1500\nY=3000\nWidth=9000\nHeight=7500\n";
        places.store(ini);
        frmMain window(interaction, places.paths);
        QVERIFY(window.Form_Load());
        window.move(300, 300);
        window.showMinimized();
        window.close();
        QCOMPARE(interaction.helpClosed, 1);
        QCOMPARE(places.stored(), ini);
    }

    void helpFilePath_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("path");
        QTest::newRow("not installed: bare name") << QByteArray() << helpFileName();
        QTest::newRow("folder with separator") << QByteArray("[Settings]\nInstalledDir=/opt/meloport/\n")
                                               << u"/opt/meloport/"_qs + helpFileName();
        QTest::newRow("folder without separator runs into the name")
            << QByteArray("[Settings]\nInstalledDir=/opt/meloport\n") << u"/opt/meloport"_qs + helpFileName();
    }
    void helpFilePath()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QString, path);
        RecordingInteraction interaction;
        Places places;
        if (!ini.isEmpty())
            places.store(ini);
        frmMain window(interaction, places.paths);
        QVERIFY(window.Form_Load());
        QCOMPARE(window.helpFilePath(), path);
    }

    void secondInstanceEndsAtOnce()
    {
        RecordingInteraction interaction;
        Places places;
        const platform::InstanceLock first(places.paths.instanceLock);
        frmMain window(interaction, places.paths);
        QVERIFY(!window.Form_Load());
        QCOMPARE(interaction.messages.size(), 1);
        QCOMPARE(interaction.messages[0].icon, MessageIcon::Warning);
        QCOMPARE(interaction.messages[0].caption, u"Meloport"_qs);
        QCOMPARE(interaction.messages[0].text, u"このアプリケーションは既に起動しています。"_qs);
        QVERIFY(!window.isVisible());
        QVERIFY(!window.cmdWav->isChecked());
        // Even a close that some caller forces saves nothing.
        window.close();
        QVERIFY(!QFile::exists(places.dir.filePath(u"config"_qs)));
    }

    void startsWithAStaleLockOrAnUnreadableStore()
    {
        RecordingInteraction interaction;
        Places places;
        QFile stale(places.paths.instanceLock);
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write("999999\n");
        stale.close();
        // A folder where the settings file should be: it can be neither read nor replaced.
        QVERIFY(QDir().mkpath(places.paths.settingsFile));

        frmMain window(interaction, places.paths);
        QVERIFY(window.Form_Load());
        QVERIFY(interaction.messages.isEmpty());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(outer(window), m_design);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"settings not saved"_qs));
        window.close();
        QVERIFY(QFileInfo(places.paths.settingsFile).isDir());
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
