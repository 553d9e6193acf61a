"""What the end-to-end tests share about the processes they start."""
import signal
import subprocess


def stop(p):
    """Ends a program left running: SIGTERM, then SIGKILL if it is still there after 10 s."""
    p.send_signal(signal.SIGTERM)
    try:
        p.wait(timeout=10)
    except subprocess.TimeoutExpired:
        p.kill()
        p.wait()


def main(tests, timeout, timeouts=None):
    """Runs the test named by the last argument, test_NAME of `tests` (a test file's globals()), and
    prints "ok"; with --list, prints each test's name and its time limit in seconds (`timeout`, or
    its entry in `timeouts`), one a line: CMake registers the tests from that list."""
    import sys
    if sys.argv[1:] == ["--list"]:
        for name in tests:
            if name.startswith("test_") and callable(tests[name]):
                print(name[len("test_"):], (timeouts or {}).get(name[len("test_"):], timeout))
        return
    tests["test_" + sys.argv[-1]]()
    print("ok")
