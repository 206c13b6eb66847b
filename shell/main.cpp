// corvane: the Corvane window program.
#include "container/logunit.h"
#include "models/gibbsldacore.h"
#include "outside/crc32lib/crc32lib.h"
#include "platform/userlocale.h"
#include "shell/mainfrm.h"
#include "shell/qtdialogservice.h"
#include "shell/qtmainthread.h"
#include "shell/splashfrm.h"
#include "shell/textconv.h"

#include <QApplication>
#include <QLocale>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

#include <clocale>

int main(int argc, char** argv)
{
    using namespace corvane;
    QApplication app(argc, argv);
    // QApplication switched the C library to the user's locale; file formats need "C" numbers.
    std::setlocale(LC_NUMERIC, "C");
    const QString point = QLocale().decimalPoint();
    SetUserDecimalSeparator(point == QStringLiteral(",") ? ',' : '.');

    crc32Initialize();
    // The LDA engine is bound before any window exists; the main window reports how that went.
    const TGibbsLdaCore& ldaCore = GibbsLdaCore();
    std::string error;
    if (!StartLog(error)) {
        QMessageBox::critical(nullptr, QStringLiteral("Corvane"), FromUtf8(error));
        return 1;
    }

    auto* splash = new TSplashFrm;
    splash->show();
    app.processEvents();

    int result = 0;
    {
        TQtMainThread mainThread;
        TQtDialogService dialogs;
        TMainFrm frm(dialogs, mainThread, ldaCore);
        frm.OnFirstActivated = [splash] {
            splash->raise(); // stays above the main window even where no window manager keeps it
            QTimer::singleShot(500, splash, [splash] { splash->deleteLater(); });
        };
        // A screen smaller than the window's default size gets the window maximized.
        const QScreen* screen = frm.screen();
        const QSize room = screen ? screen->availableGeometry().size() : frm.size();
        if (room.boundedTo(frm.size()) == frm.size())
            frm.show();
        else
            frm.showMaximized();
        result = app.exec();
        // Workers still waiting for the main thread are released before the window goes.
        mainThread.Shutdown();
    }
    StopLog();
    return result;
}
