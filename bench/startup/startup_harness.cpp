// Start-up benchmark harness: starts each program many times, alternating
// between them, and measures the time from starting the process to its
// window shown (the program writes "shown <ns>" on the monotonic clock), the
// time until the process has ended, and its peak resident memory.
//
//   qismar_startup_harness [--runs N] [--warmup N] [--dir FOLDER] NAME=PROGRAM...
//
// The programs run in FOLDER (the folder with the data files). Prints one
// line per program with medians, and, when two programs are given, the
// ratio of the first to the second.
#include "bench/startup/bench_clock.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct Sample {
    double shownMs;
    double exitMs;
    long peakKb;
};

struct Program {
    std::string name;
    std::string path;
    std::vector<Sample> samples;
};

bool runOnce(const Program& program, const std::string& dir, Sample& out)
{
    int pipeFd[2];
    if (pipe(pipeFd) != 0)
        return false;
    const long long start = qismar::bench::monotonicNs();
    const pid_t pid = fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        dup2(pipeFd[1], STDOUT_FILENO);
        // The platform's warnings are of no interest here.
        const int devNull = open("/dev/null", O_WRONLY);
        if (devNull >= 0)
            dup2(devNull, STDERR_FILENO);
        close(pipeFd[0]);
        close(pipeFd[1]);
        if (!dir.empty() && chdir(dir.c_str()) != 0)
            _exit(126);
        execl(program.path.c_str(), program.path.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeFd[1]);
    std::string output;
    char buffer[256];
    ssize_t n;
    while ((n = read(pipeFd[0], buffer, sizeof buffer)) > 0)
        output.append(buffer, size_t(n));
    close(pipeFd[0]);
    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    const long long end = qismar::bench::monotonicNs();
    const auto at = output.find("shown ");
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || at == std::string::npos) {
        std::fprintf(stderr, "%s did not start and show its window (status %d)\n", program.name.c_str(), status);
        return false;
    }
    const long long shown = std::atoll(output.c_str() + at + 6);
    out = {double(shown - start) / 1e6, double(end - start) / 1e6, usage.ru_maxrss};
    return true;
}

template <class T>
T median(std::vector<T> v)
{
    std::sort(v.begin(), v.end());
    const size_t m = v.size() / 2;
    return v.size() % 2 ? v[m] : (v[m - 1] + v[m]) / 2;
}

}  // namespace

int main(int argc, char** argv)
{
    int runs = 30;
    int warmup = 3;
    std::string dir;
    std::vector<Program> programs;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--runs" && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--warmup" && i + 1 < argc)
            warmup = std::max(0, std::atoi(argv[++i]));
        else if (arg == "--dir" && i + 1 < argc)
            dir = argv[++i];
        else if (const auto eq = arg.find('='); eq != std::string::npos) {
            // The programs run in another folder: name them absolutely.
            char* resolved = realpath(arg.substr(eq + 1).c_str(), nullptr);
            if (!resolved) {
                std::fprintf(stderr, "no such program: %s\n", arg.substr(eq + 1).c_str());
                return 2;
            }
            programs.push_back({arg.substr(0, eq), resolved, {}});
            std::free(resolved);
        }
        else {
            std::fprintf(stderr, "usage: %s [--runs N] [--warmup N] [--dir FOLDER] NAME=PROGRAM...\n", argv[0]);
            return 2;
        }
    }
    if (programs.empty()) {
        std::fprintf(stderr, "no program to measure\n");
        return 2;
    }

    for (int i = 0; i < warmup + runs; ++i) {
        for (Program& program : programs) {
            Sample sample{};
            if (!runOnce(program, dir, sample))
                return 1;
            if (i >= warmup)
                program.samples.push_back(sample);
        }
    }

    std::printf("%-10s %6s %12s %12s %12s %12s\n", "program", "runs", "shown med", "shown min", "exit med",
                "peak RSS");
    for (const Program& program : programs) {
        std::vector<double> shown, exited;
        std::vector<long> peak;
        for (const Sample& s : program.samples) {
            shown.push_back(s.shownMs);
            exited.push_back(s.exitMs);
            peak.push_back(s.peakKb);
        }
        std::printf("%-10s %6zu %9.1f ms %9.1f ms %9.1f ms %9.1f MB\n", program.name.c_str(), shown.size(),
                    median(shown), *std::min_element(shown.begin(), shown.end()), median(exited),
                    double(median(peak)) / 1024.0);
    }
    if (programs.size() >= 2) {
        auto medianShown = [](const Program& p) {
            std::vector<double> v;
            for (const Sample& s : p.samples)
                v.push_back(s.shownMs);
            return median(v);
        };
        auto medianPeak = [](const Program& p) {
            std::vector<long> v;
            for (const Sample& s : p.samples)
                v.push_back(s.peakKb);
            return median(v);
        };
        const double ratio = medianShown(programs[0]) / medianShown(programs[1]);
        const double extraMb = double(medianPeak(programs[0]) - medianPeak(programs[1])) / 1024.0;
        const bool timeOk = ratio <= 2.0;
        const bool memoryOk = extraMb <= 20.0;
        std::printf("%s / %s: time x%.2f (target at most x2.00) %s, memory %+.1f MB (target at most +20 MB) %s\n",
                    programs[0].name.c_str(), programs[1].name.c_str(), ratio, timeOk ? "met" : "MISSED", extraMb,
                    memoryOk ? "met" : "MISSED");
        return timeOk && memoryOk ? 0 : 3;
    }
    return 0;
}
