#!/usr/bin/python3
"""Peak resident memory of a headless run serving TCP on 127.0.0.1 with a client that connects at
once and never reads, after 10 simulated minutes (and 24 simulated hours) as fast as the CPU
allows; beside it the same runs without any client. The client is dropped as a lost client once
what waits for it passes the link's cap, so the memory must not follow the duration.
Usage: bench/headless_links_memory.py [path/to/corvelnmea]"""
import os
import socket
import subprocess
import sys
import time

EXE = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "build", "bin",
                                                          "corvelnmea")


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def run(duration, with_client):
    port = free_port()
    p = subprocess.Popen([EXE, "--headless", "--no-settings", "--fast", "--duration", str(duration),
                          "--start", "2026-12-10T09:30:00", "--tcp", f"127.0.0.1:{port}"],
                         stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    client = None
    if with_client:
        end = time.monotonic() + 10
        while client is None and time.monotonic() < end:
            try:
                client = socket.create_connection(("127.0.0.1", port), timeout=5)
                # A small window: what the system holds for the client stays small too.
                client.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4096)
            except OSError:
                time.sleep(0.001)
    _, status, usage = os.wait4(p.pid, 0)
    err = p.stderr.read()
    p.stderr.close()
    queued = 0
    if client is not None:
        client.settimeout(0.5)
        try:
            while chunk := client.recv(1 << 20):
                queued += len(chunk)
        except OSError:
            pass
        client.close()
    return os.waitstatus_to_exitcode(status), usage.ru_maxrss, queued, err


def main():
    print(f"{EXE} --headless --fast --tcp 127.0.0.1:PORT  (peak resident memory, KB)")
    for duration in (600, 86400):
        for with_client in (False, True):
            code, rss, queued, err = run(duration, with_client)
            who = "client that never reads" if with_client else "no client"
            extra = f", the client had {queued} bytes waiting when read at the end" if with_client else ""
            print(f"  {duration:>6} simulated s, {who:<24}: {rss} KB (exit {code}{extra}){' ' + err.decode() if err else ''}")


if __name__ == "__main__":
    main()
