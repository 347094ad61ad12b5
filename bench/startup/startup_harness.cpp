// Start-up benchmark harness: starts each program many times, alternating
// between them, and measures the time from starting the process to its
// window shown and to its first frame drawn (the program writes "shown <ns>"
// and "drawn <ns>" on the monotonic clock), the time until the process has
// ended, the processor time it used, and its peak resident memory.
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

// The start-up target: the first program's median time to its window shown,
// and to its first frame drawn, at most this many times the second's; its
// median peak memory at most this much more.
constexpr double kTargetRatio = 1.5;
constexpr double kTargetExtraMb = 15.0;

struct Sample {
    double shownMs;
    double drawnMs;
    double exitMs;
    double cpuMs;
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
    const auto shownAt = output.find("shown ");
    const auto drawnAt = output.find("drawn ");
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || shownAt == std::string::npos
        || drawnAt == std::string::npos) {
        std::fprintf(stderr, "%s did not start, show and draw its window (status %d)\n", program.name.c_str(),
                     status);
        return false;
    }
    const long long shown = std::atoll(output.c_str() + shownAt + 6);
    const long long drawn = std::atoll(output.c_str() + drawnAt + 6);
    const auto ms = [](const timeval& t) { return double(t.tv_sec) * 1e3 + double(t.tv_usec) / 1e3; };
    out = {double(shown - start) / 1e6, double(drawn - start) / 1e6, double(end - start) / 1e6,
           ms(usage.ru_utime) + ms(usage.ru_stime), usage.ru_maxrss};
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

    std::printf("%-10s %5s %11s %11s %11s %11s %11s %11s\n", "program", "runs", "shown med", "drawn med",
                "drawn min", "exit med", "cpu med", "peak RSS");
    const auto medianOf = [](const Program& p, auto field) {
        std::vector<double> v;
        for (const Sample& s : p.samples)
            v.push_back(double(field(s)));
        return median(v);
    };
    const auto shownOf = [](const Sample& s) { return s.shownMs; };
    const auto drawnOf = [](const Sample& s) { return s.drawnMs; };
    const auto peakOf = [](const Sample& s) { return s.peakKb; };
    for (const Program& program : programs) {
        double fastest = program.samples.front().drawnMs;
        for (const Sample& s : program.samples)
            fastest = std::min(fastest, s.drawnMs);
        std::printf("%-10s %5zu %8.1f ms %8.1f ms %8.1f ms %8.1f ms %8.1f ms %8.1f MB\n", program.name.c_str(),
                    program.samples.size(), medianOf(program, shownOf), medianOf(program, drawnOf), fastest,
                    medianOf(program, [](const Sample& s) { return s.exitMs; }),
                    medianOf(program, [](const Sample& s) { return s.cpuMs; }), medianOf(program, peakOf) / 1024.0);
    }
    if (programs.size() >= 2) {
        const Program& first = programs[0];
        const Program& second = programs[1];
        const double shownRatio = medianOf(first, shownOf) / medianOf(second, shownOf);
        const double drawnRatio = medianOf(first, drawnOf) / medianOf(second, drawnOf);
        const double extraMb = (medianOf(first, peakOf) - medianOf(second, peakOf)) / 1024.0;
        const bool shownOk = shownRatio <= kTargetRatio;
        const bool drawnOk = drawnRatio <= kTargetRatio;
        const bool memoryOk = extraMb <= kTargetExtraMb;
        std::printf("%s / %s (targets at most x%.2f, at most +%.0f MB): shown x%.2f %s, first frame x%.2f %s, "
                    "memory %+.1f MB %s\n",
                    first.name.c_str(), second.name.c_str(), kTargetRatio, kTargetExtraMb, shownRatio,
                    shownOk ? "met" : "MISSED", drawnRatio, drawnOk ? "met" : "MISSED", extraMb,
                    memoryOk ? "met" : "MISSED");
        return shownOk && drawnOk && memoryOk ? 0 : 3;
    }
    return 0;
}
