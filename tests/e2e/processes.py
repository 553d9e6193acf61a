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
