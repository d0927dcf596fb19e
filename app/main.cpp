#include "data/conversions.h"
#include "data/house_location.h"
#include "hotel/house.h"
#include "shell/login_window.h"
#include "shell/shell_windows.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstdio>

using namespace Qt::Literals::StringLiterals;

int main(int argc, char *argv[])
{
#ifndef Q_OS_WIN // Windows always has its desktop
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        std::fputs("Quillon needs a graphical display, and none is set (DISPLAY is empty).\n"
                   "On a machine without one, start it under a virtual display:\n"
                   "    xvfb-run -a ./quillon\n",
                   stderr);
        return 2;
    }
#endif
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"Quillon"_s);

    // Standard buttons read 是/否, 确定, 取消 in the operator's language.
    QTranslator qtTranslator;
    if (qtTranslator.load(conv::locale(), u"qtbase"_s, u"_"_s,
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);
    QLocale::setDefault(conv::locale());

    registerAllWindows();
    const HouseLocation house = houseLocationFor(QApplication::applicationDirPath());
    // A copy a killed backup left holds the whole house; it goes at the latest now.
    hotel::removeUnfinishedCopies(house);
    auto *login = new LoginWindow(house);
    login->setAttribute(Qt::WA_DeleteOnClose);
    login->show();
    // The old program's Access file where the house belongs is brought across before anything else.
    login->offerAccessMove();
    login->offerNewHouse();
    return app.exec();
}
