// A private Xvfb for the window tests, on a display number no other server holds.
#pragma once

#include <sys/types.h>

#include <string>

class PrivateXServer {
public:
  PrivateXServer() = default;
  PrivateXServer(const PrivateXServer&) = delete;
  PrivateXServer& operator=(const PrivateXServer&) = delete;
  ~PrivateXServer() { stop(); }

  // Starts Xvfb with one screen of the given geometry and depth ("1280x1024x24") and waits
  // until it accepts a client. False when Xvfb is missing or no server came up.
  bool start(const std::string& screen = "1280x1024x24");
  // True when this build has the window and Xvfb is installed (and xdotool, when asked for): a
  // window test skips otherwise.
  static bool available(bool withXdotool = false);
  void stop();

  bool running() const { return pid > 0; }
  const std::string& name() const { return display; }  // ":N"

private:
  pid_t pid = -1;
  std::string display;
};
