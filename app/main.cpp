#include "app/Product.h"
#include "app/QtUserInteraction.h"
#include "app/frmMain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(meloport::productName());
    // The desktop entry's name (from the build), through which Wayland finds the window's icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(MELOPORT_APP_ID));

    meloport::QtUserInteraction interaction;
    meloport::frmMain window(interaction);
    if (!window.Form_Load())
        return 0;
    window.show();
    return QApplication::exec();
}
