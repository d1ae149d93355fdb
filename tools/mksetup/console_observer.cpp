// console_observer.cpp - messages and a progress line for the builder's commands.
#include "tools/mksetup/console_observer.h"

#include <cstdio>
#include <unistd.h>

ConsoleObserver::ConsoleObserver(std::string file)
    : file_(std::move(file)), terminal_(isatty(2) != 0) {}

void ConsoleObserver::ShowStatus(const char* text) {
    status_ = text;
}

void ConsoleObserver::SetProgress(int percent) {
    if (!terminal_)
        return;
    std::fprintf(stderr, "\r%3d%% %-60.60s", percent, status_.c_str());
    drawn_ = true;
}

void ConsoleObserver::EndProgress() {
    if (drawn_)
        std::fputc('\n', stderr);
    drawn_ = false;
}

void ConsoleObserver::ReportFailure(const char* text) {
    EndProgress();
    ++failures;
    std::string message = text;
    for (char& c : message)
        if (c == '\n')
            c = ' ';
    std::fprintf(stderr, "mksetup: %s: %s%s%s\n", file_.c_str(), where.empty() ? "" : where.c_str(),
                 where.empty() ? "" : ": ", message.c_str());
}

void ConsoleObserver::ReportPathFailure(const char* text) {
    ReportFailure(text);
}
