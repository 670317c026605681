#include "cli/progress_line.h"

#include "cli/console_io.h"

namespace quarnel {

namespace {

const char* PhaseName(SessionPhase phase) {
    switch (phase) {
        case SessionPhase::Reading: return "Reading";
        case SessionPhase::Writing: return "Writing";
        case SessionPhase::Verifying: return "Verifying";
    }
    return "";
}

}  // namespace

ProgressLine::ProgressLine() : terminal_(StderrIsTerminal()) {}

void ProgressLine::Show(const SessionProgress& progress) {
    if (!enabled_) return;
    if (open_ && progress.phase != phase_) End();
    if (open_ && progress.percent == lastPercent_) return;
    phase_ = progress.phase;
    lastPercent_ = progress.percent;
    open_ = true;
    std::fprintf(stderr, "\r%-9s %3d%%  %3d/%d bytes", PhaseName(progress.phase), progress.percent, progress.bytes,
                 progress.totalBytes);
    std::fflush(stderr);
}

void ProgressLine::End() {
    if (!open_) return;
    std::fputc('\n', stderr);
    std::fflush(stderr);
    open_ = false;
    lastPercent_ = -1;
}

}  // namespace quarnel
