#pragma once

#include <functional>
#include <string>

namespace kdtest {

// A program that a test starts is killed when it runs longer than this, so
// that a hang (an open that blocks, a loop without end) fails the test
// instead of stopping the suite. The longest run of the tests takes a few
// seconds, under the sanitizers a few tens.
inline constexpr unsigned kRunTimeLimitSeconds = 300;

// kdcalc started in `dir` without waiting for it, for tests that run two
// programs at once or stop one while it runs. The console (standard output
// and standard error) is read through a pipe. `inChild`, when given, runs in
// the new process just before kdcalc starts (to close a descriptor, set a
// limit or give up root); when it returns false kdcalc is not started and the
// exit status is 126. kdcalc is killed after kRunTimeLimitSeconds.
class KdcalcProcess {
public:
    explicit KdcalcProcess(const std::string& dir, const std::function<bool()>& inChild = {});
    ~KdcalcProcess();
    KdcalcProcess(const KdcalcProcess&) = delete;
    KdcalcProcess& operator=(const KdcalcProcess&) = delete;

    // Reads the console until `text` has appeared; false when the program
    // ended first.
    bool waitForText(const std::string& text);
    void kill();
    // Reads the rest of the console and waits: the exit status, or -1 when
    // the program did not exit normally (killed, crashed).
    int finish();
    const std::string& console() const { return m_console; }

private:
    bool readSome();

    int m_pid = -1;
    int m_out = -1;
    std::string m_console;
};

} // namespace kdtest
