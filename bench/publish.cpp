// Publishing a large structured scan: generates a COLUMNS x ROWS PTX scan of a
// box-shaped room (10000 x 5000 by default, about 2.5 GB of text) into a
// named pipe as fast as it can, while `panora publish` reads it from the pipe.
// Reports points per second (wall time of the publishing process), its CPU
// time and its peak resident memory (getrusage of the child) against the
// goal: at least 5 million points per second on 2 cores, under 1 GB.
//
//   bench_publish [--columns C] [--rows R] [--threads N] [--sizes LIST]

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

// Appends v with three decimals (v within +-1e6).
char* Fixed3(char* p, double v) {
    if (v < 0) {
        *p++ = '-';
        v = -v;
    }
    const long long m = std::llround(v * 1000.0);
    long long whole = m / 1000;
    const int frac = static_cast<int>(m % 1000);
    char digits[24];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + whole % 10);
        whole /= 10;
    } while (whole > 0);
    while (n > 0) {
        *p++ = digits[--n];
    }
    *p++ = '.';
    *p++ = static_cast<char>('0' + frac / 100);
    *p++ = static_cast<char>('0' + frac / 10 % 10);
    *p++ = static_cast<char>('0' + frac % 10);
    return p;
}

char* Int(char* p, int v) {
    if (v >= 100) {
        *p++ = static_cast<char>('0' + v / 100);
    }
    if (v >= 10) {
        *p++ = static_cast<char>('0' + v / 10 % 10);
    }
    *p++ = static_cast<char>('0' + v % 10);
    return p;
}

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n <= 0) {
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// A room of 20 x 14 x 4 m around the scanner, 1.5 m above the floor; the
// colour follows a 1 m grid on every surface. Directions straight up and
// down in the first and last rows have no return.
void Generate(int fd, int columns, int rows) {
    std::string header = std::to_string(columns) + "\n" + std::to_string(rows) +
                         "\n10 20 1.5\n1 0 0\n0 1 0\n0 0 1\n"
                         "1 0 0 0\n0 1 0 0\n0 0 1 0\n10 20 1.5 1\n";
    WriteAll(fd, header.data(), header.size());
    std::vector<char> buf(1 << 22);
    std::vector<double> ce(rows), se(rows);
    for (int r = 0; r < rows; ++r) {
        const double el = -kPi / 2 + kPi * (r + 0.5) / rows;
        ce[r] = std::cos(el);
        se[r] = std::sin(el);
    }
    const double half[3] = {10.0, 7.0, 0.0};
    for (int c = 0; c < columns; ++c) {
        const double az = 2 * kPi * (c + 0.5) / columns;
        const double ca = std::cos(az), sa = std::sin(az);
        char* p = buf.data();
        for (int r = 0; r < rows; ++r) {
            const double d[3] = {ce[r] * ca, ce[r] * sa, se[r]};
            double t = 1e30;
            for (int k = 0; k < 2; ++k) {
                if (d[k] != 0) {
                    t = std::min(t, half[k] / std::fabs(d[k]));
                }
            }
            if (d[2] > 0) {
                t = std::min(t, 2.5 / d[2]);
            } else if (d[2] < 0) {
                t = std::min(t, 1.5 / -d[2]);
            }
            if (r == 0 || r == rows - 1) {
                std::memcpy(p, "0 0 0 0 0 0 0\n", 14);
                p += 14;
                continue;
            }
            const double x = d[0] * t, y = d[1] * t, z = d[2] * t;
            const int cell =
                (static_cast<int>(std::floor(x + 100)) + static_cast<int>(std::floor(y + 100)) +
                 static_cast<int>(std::floor(z + 100))) &
                1;
            p = Fixed3(p, x);
            *p++ = ' ';
            p = Fixed3(p, y);
            *p++ = ' ';
            p = Fixed3(p, z);
            *p++ = ' ';
            std::memcpy(p, cell ? "0.800 " : "0.300 ", 6);
            p += 6;
            p = Int(p, cell ? 220 : 60);
            *p++ = ' ';
            p = Int(p, 120);
            *p++ = ' ';
            p = Int(p, cell ? 40 : 200);
            *p++ = '\n';
            if (p - buf.data() > static_cast<long>(buf.size()) - 128) {
                WriteAll(fd, buf.data(), static_cast<std::size_t>(p - buf.data()));
                p = buf.data();
            }
        }
        WriteAll(fd, buf.data(), static_cast<std::size_t>(p - buf.data()));
    }
}

}  // namespace

int main(int argc, char** argv) {
    int columns = 10000, rows = 5000;
    std::string threads = "2", sizes = "auto";
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--columns") {
            columns = std::atoi(argv[i + 1]);
        } else if (a == "--rows") {
            rows = std::atoi(argv[i + 1]);
        } else if (a == "--threads") {
            threads = argv[i + 1];
        } else if (a == "--sizes") {
            sizes = argv[i + 1];
        }
    }
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("bench_publish-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const fs::path fifo = dir / "scan.ptx";
    if (mkfifo(fifo.c_str(), 0600) != 0) {
        std::perror("mkfifo");
        return 1;
    }
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        const std::string site = (dir / "site").string();
        execl(PANORA_COMMAND, PANORA_COMMAND, "publish", fifo.c_str(), "-o", site.c_str(),
              "--threads", threads.c_str(), "--sizes", sizes.c_str(), static_cast<char*>(nullptr));
        std::perror("exec");
        _exit(127);
    }
    const int fd = open(fifo.c_str(), O_WRONLY);
    Generate(fd, columns, rows);
    close(fd);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    rusage self{};
    getrusage(RUSAGE_SELF, &self);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    const double points = static_cast<double>(columns) * rows;
    const double rate = points / wall;
    const double peakMb = usage.ru_maxrss / 1024.0;
    std::printf("scan %d x %d (%.0f points), publish --threads %s --sizes %s: exit %d\n", columns,
                rows, points, threads.c_str(), sizes.c_str(),
                WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    std::printf(
        "wall %.1f s, publisher CPU %.1f s (user %.1f, system %.1f), generator CPU %.1f s\n", wall,
        seconds(usage.ru_utime) + seconds(usage.ru_stime), seconds(usage.ru_utime),
        seconds(usage.ru_stime), seconds(self.ru_utime) + seconds(self.ru_stime));
    std::printf("points per second: %.2f million (goal >= 5 on 2 cores): %s\n", rate / 1e6,
                rate >= 5e6 ? "met" : "not met");
    std::printf("peak resident memory of the publisher: %.0f MB (goal < 1024 MB): %s\n", peakMb,
                peakMb < 1024 ? "met" : "not met");
    for (const auto& e : fs::directory_iterator(dir / "site")) {
        std::printf("station %s\n", e.path().filename().c_str());
    }
    fs::remove_all(dir);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 1;
}
