#pragma once

// A report store (METAR, SYNOP or grid manager) completed as the weather manager completes it, for tests and
// benchmarks: a busy flag, the number of busy changes and the messages the store reports.
//     testsupport::RecordingStore<CGribManager> store;

#include <string>
#include <vector>

namespace testsupport {

template<class Manager> class RecordingStore : public Manager
{
public:
    void Report(const std::wstring& text) override { reports.push_back(text); }
    bool IsBusy() override { return busy; }
    bool SetBusy(bool value) override
    {
        busy = value;
        ++busyChanges;
        return value;
    }

    bool busy = false;
    int busyChanges = 0;
    std::vector<std::wstring> reports;
};

} // namespace testsupport
