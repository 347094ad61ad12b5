// Start-up probe: the program exactly as it starts (same start-up code, same
// libraries), except that right after its main window was first shown, with
// every window created, it writes the moment on standard output and quits.
#include "bench/startup/bench_clock.h"
#include "shell/program.h"

#include <QCoreApplication>

int main(int argc, char** argv)
{
    qismar::StartupOptions options;
    options.afterFirstShow = [] {
        qismar::bench::reportShown();
        QCoreApplication::quit();
    };
    return qismar::runQismar(argc, argv, options);
}
