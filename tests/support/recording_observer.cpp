// recording_observer.cpp - views on the recorded calls.
#include "tests/support/recording_observer.h"

#include <cstdio>
#include <cstring>

std::vector<std::string> RecordingObserver::Failures() const {
    std::vector<std::string> out;
    for (const Call& c : calls)
        if (c.kind == Call::Failure || c.kind == Call::PathFailure)
            out.push_back(c.text);
    return out;
}

std::vector<std::string> RecordingObserver::Statuses() const {
    std::vector<std::string> out;
    for (const Call& c : calls)
        if (c.kind == Call::Status)
            out.push_back(c.text);
    return out;
}

std::vector<int> RecordingObserver::Percents() const {
    std::vector<int> out;
    for (const Call& c : calls)
        if (c.kind == Call::Progress)
            out.push_back(c.percent);
    return out;
}

void ResetInstallState(RecordingObserver* observer) {
    if (installState.payloadFile != nullptr)
        std::fclose(installState.payloadFile);
    if (installState.outputFile != nullptr)
        std::fclose(installState.outputFile);
    std::memset(&installState, 0, sizeof installState);
    installState.observer = observer;
}
