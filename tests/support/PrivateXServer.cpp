#include "support/PrivateXServer.h"

#if TAVRIN_X11
#include <X11/Xlib.h>
#endif
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>

namespace {

// The process that holds the lock of display n, or -1.
pid_t lockOwner(int n) {
  FILE* f = std::fopen(("/tmp/.X" + std::to_string(n) + "-lock").c_str(), "r");
  if (f == nullptr) return -1;
  long owner = -1;
  if (std::fscanf(f, "%ld", &owner) != 1) owner = -1;
  std::fclose(f);
  return static_cast<pid_t>(owner);
}

// Polls for up to 30 s (a loaded machine starts it slowly) until the server p answers on display n as its lock holder.
bool answers(pid_t p, int n, const std::string& display) {
  for (int i = 0; i < 1200; ++i, usleep(25000)) {
    if (waitpid(p, nullptr, WNOHANG) == p) return false;  // exited: the number was taken after all
    // Another server may answer on a number taken in the meantime: ours holds the lock.
    if (lockOwner(n) != p) continue;
#if TAVRIN_X11
    if (Display* d = XOpenDisplay(display.c_str())) {
      XCloseDisplay(d);
      return true;
    }
#else
    (void)display;
#endif
  }
  return false;
}

}  // namespace

bool PrivateXServer::available(bool withXdotool) {
  if (!TAVRIN_X11) return false;
  return system(withXdotool ? "command -v Xvfb >/dev/null && command -v xdotool >/dev/null"
                            : "command -v Xvfb >/dev/null") == 0;
}

bool PrivateXServer::start(const std::string& screen) {
  if (running()) return true;
  std::mt19937 pick(static_cast<unsigned>(getpid()) * 2654435761u ^ static_cast<unsigned>(std::time(nullptr)));
  for (int attempt = 0; attempt < 20; ++attempt) {
    const int n = 100 + static_cast<int>(pick() % 100);
    const std::string candidate = ":" + std::to_string(n);
    if (access(("/tmp/.X" + std::to_string(n) + "-lock").c_str(), F_OK) == 0) continue;
    const pid_t p = fork();
    if (p < 0) return false;
    if (p == 0) {
      const int quiet = open("/dev/null", O_WRONLY);
      dup2(quiet, 1);
      dup2(quiet, 2);
      // Without -noreset the server resets whenever its last client leaves and refuses the
      // next one meanwhile; a test's windows come and go one after another.
      execlp("Xvfb", "Xvfb", candidate.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp", "-noreset",
             static_cast<char*>(nullptr));
      _exit(127);
    }
    if (answers(p, n, candidate)) {
      pid = p;
      display = candidate;
      return true;
    }
    kill(p, SIGTERM);
    waitpid(p, nullptr, 0);
  }
  return false;
}

void PrivateXServer::stop() {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
  pid = -1;
  display.clear();
}
