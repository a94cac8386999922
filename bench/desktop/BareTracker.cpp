// kestrum-bare-tracker ROWS: the least any Qt tracker costs, for bench-desktop to hold Kestrum
// against. One window with a two-column tree of ROWS rows (name, time), and a one-second tick
// that adds a second to one row and shows it (with no rows, to one it adds). SIGTERM quits through the event loop, as a
// tracker that stores its timings at quit must.

#include <QApplication>
#include <QSocketNotifier>
#include <QStandardItemModel>
#include <QTimer>
#include <QTreeView>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2];

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
}

QString durationText(int seconds)
{
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    bool ok = argc == 2;
    const int rows = ok ? QByteArray(argv[1]).toInt(&ok) : 0;
    if (!ok || rows < 0) {
        std::fputs("usage: kestrum-bare-tracker ROWS\n", stderr);
        return 2;
    }

    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0)
        return 1;
    QSocketNotifier quitNotifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&quitNotifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    std::signal(SIGTERM, onSignal);
    std::signal(SIGINT, onSignal);

    QStandardItemModel model(rows, 2);
    model.setHorizontalHeaderLabels({QStringLiteral("Name"), QStringLiteral("Time")});
    for (int row = 0; row < rows; ++row) {
        model.setItem(row, 0, new QStandardItem(QStringLiteral("window %1").arg(row)));
        model.setItem(row, 1, new QStandardItem(durationText(0)));
    }
    QTreeView view;
    view.setRootIsDecorated(false);
    view.setModel(&model);
    view.setWindowTitle(QStringLiteral("Bare tracker"));
    view.resize(480, 600);
    view.show();

    // With no rows the first second adds the row it is counted in, as a tracker that starts
    // with an empty store shows what it counts from then on.
    int seconds = 0;
    QTimer tick;
    tick.callOnTimeout([&] {
        ++seconds;
        if (model.rowCount() == 0)
            model.appendRow({new QStandardItem(QStringLiteral("window 0")), new QStandardItem()});
        model.item(0, 1)->setText(durationText(seconds));
    });
    tick.start(1000);
    return QApplication::exec();
}
