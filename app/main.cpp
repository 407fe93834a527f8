#include "app/Product.h"
#include "app/QtUserInteraction.h"
#include "app/frmMain.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(meloport::productName());
    // The desktop entry's name (from the build), through which Wayland finds the window's icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(MELOPORT_APP_ID));

    // The interface is Japanese whatever the desktop's language: Qt's own dialogs (file and
    // folder pickers, message box buttons) too, where the translations are installed.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTexts);

    meloport::QtUserInteraction interaction;
    meloport::frmMain window(interaction);
    if (!window.Form_Load())
        return 0;
    window.show();
    // A folder named on the command line, as a file manager's "open with" passes it.
    if (const QStringList arguments = QCoreApplication::arguments(); arguments.size() > 1)
        window.OpenSourceFolder(arguments.at(1));
    return QApplication::exec();
}
