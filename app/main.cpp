#include <QApplication>
#include <QScreen>
#include <QSurfaceFormat>

#include "gui/dialogs.h"
#include "gui/mainwindow.h"
#include "gui/soundplayer.h"
#include "printer/serialhandler.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(gui);

    QSurfaceFormat format;
    format.setDepthBufferSize(32);
    format.setProfile(QSurfaceFormat::CoreProfile);
    format.setVersion(2, 1);
    QSurfaceFormat::setDefaultFormat(format);

    // The settings file lies beside the executable.
    MainWindow window({std::make_unique<SystemSoundPlayer>(), std::make_unique<ModalDialogs>(),
                       SerialHandler::systemPortNames, QString()});

    // Centred on the default screen by its frame size.
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QRect frame = window.frameGeometry();
    const int left = screen.width() / 2 - frame.width() / 2;
    const int top = screen.height() / 2 - frame.height() / 2;
    window.setGeometry(left, top, frame.width(), frame.height());

    window.show();
    window.openFiles(QCoreApplication::arguments().mid(1));
    return app.exec();
}
