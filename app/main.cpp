#include <cstdio>

#include <QApplication>
#include <QCommandLineParser>
#include <QScreen>
#include <QSurfaceFormat>

#include "base/constants.h"
#include "gui/dialogs.h"
#include "gui/mainwindow.h"
#include "gui/soundplayer.h"
#include "printer/serialhandler.h"

namespace {

// --help and --version answer on the terminal, without a window or a display. Qt's own options
// (-platform, -stylesheet...) are unknown here and left to QApplication, so parse errors are
// ignored, and read as words: compacted, "-stylesheet" would hold "-h". The files named are
// opened by the window as they always were. Returns true when one answered.
bool answeredOnTerminal(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QStringLiteral(
            "Kelvarome, the desktop host of the Tarvisomel resin 3D printer. Each file named is "
            "opened as the window's own buttons open it: an STL model (.stl) is loaded onto the "
            "build plate as Load STL does, a job (.vek) is shown on the printing page as its Load "
            "button does."));
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("Models (.stl) and jobs (.vek) to open."),
                                 QStringLiteral("[FILE...]"));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    parser.parse(arguments);
    if (!parser.isSet(helpOption) && !parser.isSet(versionOption))
        return false;

    QCoreApplication app(argc, argv);
    if (parser.isSet(helpOption))
        std::fputs(qPrintable(parser.helpText()), stdout);
    else
        std::printf("%s %s\n", qPrintable(MSGBOX_HEADER), qPrintable(APP_VERSION));
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (answeredOnTerminal(argc, argv))
        return 0;
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
