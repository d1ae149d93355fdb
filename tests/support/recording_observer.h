// recording_observer.h - an InstallObserver that records every call, in order.
#pragma once

#include <string>
#include <vector>

#include "app/install_state.h"

class RecordingObserver : public InstallObserver {
  public:
    struct Call {
        enum Kind { Status, Progress, Failure, PathFailure, Finished } kind;
        std::string text;
        int percent;
    };

    void ShowStatus(const char* text) override { calls.push_back({Call::Status, text, 0}); }
    void SetProgress(int percent) override { calls.push_back({Call::Progress, "", percent}); }
    void ReportFailure(const char* text) override { calls.push_back({Call::Failure, text, 0}); }
    void ReportPathFailure(const char* text) override {
        calls.push_back({Call::PathFailure, text, 0});
    }
    void ShowFinished() override { calls.push_back({Call::Finished, "", 0}); }

    std::vector<std::string> Failures() const;
    std::vector<std::string> Statuses() const;
    std::vector<int> Percents() const;

    std::vector<Call> calls;
};

// Zeroes the process-wide install state and installs the observer, as start-up would.
void ResetInstallState(RecordingObserver* observer);
