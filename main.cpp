#include "cli/CommandLine.h"
#include "core/Product.h"
#include "platform/Platform.h"
#include "ui/QtUserInteraction.h"
#include "core/settings/StatePaths.h"
#include "ui/frmMain.h"
#include "version.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

// The interface is Japanese whatever the desktop's language: Qt's own texts (file and folder
// pickers, message box buttons, the command line's usage errors) too, where the translations are
// installed.
void installJapaneseQtTexts(QTranslator &qtTexts)
{
    if (qtTexts.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTexts);
}

// Without a display and without widgets: a script's job.
int runWithoutWindow(int argc, char *argv[], const QStringList &arguments)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("meloport"));
    QCoreApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                                .arg(meloport::build::kVersionMajor)
                                                .arg(meloport::build::kVersionMinor)
                                                .arg(meloport::build::kVersionRevision));
    QTranslator qtTexts;
    installJapaneseQtTexts(qtTexts);
    return meloport::runCommandLine(arguments, meloport::StatePaths::renameJournalForCurrentUser());
}

int runWindow(int argc, char *argv[], const QStringList &arguments)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(meloport::productName());
    // The desktop entry's name (from the build), through which Wayland finds the window's icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(MELOPORT_APP_ID));
    QTranslator qtTexts;
    installJapaneseQtTexts(qtTexts);

    meloport::QtUserInteraction interaction;
    meloport::frmMain window(interaction);
    if (!window.Form_Load())
        return 0;
    window.show();
    // A folder named on the command line, as a file manager's "open with" passes it.
    if (const auto folder = meloport::windowFolder(arguments))
        window.OpenSourceFolder(*folder);
    return QApplication::exec();
}

} // namespace

int main(int argc, char *argv[])
{
    // Decided before any application object exists: only the window needs a display. A script
    // may name a folder or a title file that is not UTF-8: its bytes are kept.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(meloport::platform::pathText(argv[i]));
    if (meloport::wantsCommandLine(arguments))
        return runWithoutWindow(argc, argv, arguments);
    return runWindow(argc, argv, arguments);
}
