#pragma once

// How a long job that knows nothing of its caller reports how far it has got,
// and learns whether it is still wanted.
class ProgressSink {
public:
    // percentage: 0 to 100. Answer false to abandon the job.
    virtual bool ReportProgress(int percentage) = 0;

protected:
    ~ProgressSink() = default;
};
