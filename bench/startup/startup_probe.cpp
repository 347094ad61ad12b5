// Start-up probe: the program exactly as it starts (same start-up code, same
// libraries), except that it writes on standard output the moment its main
// window was shown and the moment its first frame was drawn, and then quits.
#include "bench/startup/bench_clock.h"
#include "shell/program.h"

#include <QCoreApplication>

int main(int argc, char** argv)
{
    qismar::StartupOptions options;
    options.afterFirstShow = [] { qismar::bench::reportShown(); };
    options.afterFirstFrame = [] {
        qismar::bench::reportDrawn();
        QCoreApplication::quit();
    };
    return qismar::runQismar(argc, argv, options);
}
