// console_observer.h - the builder's InstallObserver: failures to stderr, progress on a terminal.
#pragma once

#include <string>

#include "app/install_state.h"

class ConsoleObserver : public InstallObserver {
  public:
    // file names the setup file in messages; progress shows only when stderr is a terminal.
    explicit ConsoleObserver(std::string file);

    void ShowStatus(const char* text) override;
    void SetProgress(int percent) override;
    void ReportFailure(const char* text) override;
    void ReportPathFailure(const char* text) override;
    void ShowFinished() override {}

    // What the failing item was, for messages ("item 3 (lxv.exe)").
    std::string where;
    int failures = 0;
    // Ends a progress line, if one was drawn.
    void EndProgress();

  private:
    std::string file_;
    bool terminal_;
    bool drawn_ = false;
    std::string status_;
};
