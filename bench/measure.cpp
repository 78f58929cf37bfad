// Runs a command and prints its wall time, CPU time and peak memory:
//   measure STDIN_FILE STDOUT_FILE PROGRAM [ARG...]
//   -> "wall_seconds cpu_seconds peak_kib exit_status"
// The child is forked from this small process, so its peak memory is its
// own, not that of whatever started the measurement.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s STDIN_FILE STDOUT_FILE PROGRAM [ARG...]\n", argv[0]);
    return 2;
  }
  auto began = std::chrono::steady_clock::now();
  pid_t pid = fork();
  if (pid == 0) {
    int in = open(argv[1], O_RDONLY);
    int out = open(argv[2], O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int null = open("/dev/null", O_WRONLY);
    if (in < 0 || out < 0 || null < 0) _exit(126);
    dup2(in, 0);
    dup2(out, 1);
    dup2(null, 2);
    execv(argv[3], argv + 3);
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  std::chrono::duration<double> wall = std::chrono::steady_clock::now() - began;
  double cpu = usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
               usage.ru_stime.tv_usec / 1e6;
  std::printf("%.6f %.6f %ld %d\n", wall.count(), cpu, usage.ru_maxrss,
              WIFEXITED(status) ? WEXITSTATUS(status) : -1);
  return 0;
}
