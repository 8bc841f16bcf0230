#include "app/CrashHandler.h"
#include "app/StartupLogo.h"
#include "app/Velmora.h"
#include "capture/XErrorHandlers.h"
#include "store/DatRecords.h"
#include "store/Diagnostics.h"

#include <QApplication>
#include <QFont>
#include <QStyleFactory>

#include <csignal>
#include <cstdio>
#include <sys/stat.h>

namespace {

// Toolkit diagnostics join the program's own on standard error, one line each.
void toolkitMessage(QtMsgType type, const QMessageLogContext&, const QString& msg) {
    static const char* const kinds[] = {"debug", "warning", "critical", "fatal", "info"};
    const char* kind = unsigned(type) < 5 ? kinds[type] : "message";
    diag::print("velmora (toolkit %s): %s\n", kind, msg.toLocal8Bit().constData());
    if (type == QtFatalMsg)
        abort();
}

} // namespace

int main(int argc, char** argv) {
    // Past the file size limit a write fails with EFBIG and the frame writer
    // reports it, instead of the signal ending the program without a word.
    std::signal(SIGXFSZ, SIG_IGN);
    if (crash::boxRequested())
        return crash::showBox(argc, argv);

    crash::installHandler();
    qInstallMessageHandler(toolkitMessage);

    // The in-place editors are native windows, so that X clips the holder's
    // drawing at them; their siblings stay as they are.
    QCoreApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
    QApplication app(argc, argv);
    // After the toolkit has connected: its platform plugin installs a pair of
    // its own, whose I/O-error handler ends the process.
    xerrors::installHandlers();
    QApplication::setFont(QFont("helvetica", 12, QFont::Normal, false));
    if (QStyle* style = QStyleFactory::create("Windows"))
        QApplication::setStyle(style);

    auto* logo = new StartupLogo(nullptr, nullptr);
    logo->show();

    auto home = Velmora::homeDirectory();
    if (!home)
        Velmora::exitForMissingHome();
    if (mkdir(datfile::dataDirectory(*home).c_str(), 0766) == 0)
        diag::print("\nVelmora running for first time ...\n");

    auto* window = new Velmora();
    window->setObjectName("velmora");
    QObject::connect(window, &QObject::destroyed, &app, &QCoreApplication::quit);
    window->show();
    if (argc > 1)
        window->openFromArgv(argv[1]);

    return app.exec();
}
