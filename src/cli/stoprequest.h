#pragma once

namespace zelp::cli {

// SIGINT and SIGTERM during a batch: the file under way is finished and what was done is
// reported, then the run ends with 128 + the signal. Outside a batch the signals act as usual.
class StopRequest {
public:
    StopRequest();
    ~StopRequest();
    StopRequest(const StopRequest &) = delete;
    StopRequest &operator=(const StopRequest &) = delete;

    // 0, or the signal that asked the run to stop.
    static int signal();
    static bool requested() { return signal() != 0; }
    // 128 + the signal, the shell's code for a run that a signal ended.
    static int exitCode() { return 128 + signal(); }
};

} // namespace zelp::cli
