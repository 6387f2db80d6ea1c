#!/usr/bin/env python3
"""The Windows programs run under Wine as a user runs them, each case beside
the Linux build doing the same: the same command lines reach the phone, the
same files are written, the same messages and exit statuses come back.

Usage: wine_cli_test.py CASE --wine WINE --win-cli EXE --win-sim EXE
                        --host-cli PROGRAM --host-sim PROGRAM
The Wine prefix is the environment's WINEPREFIX; COM ports are made in its
dosdevices folder (each case its own port number, so cases run in parallel).
"""

import argparse
import os
import pty
import re
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path

TIMEOUT = 120  # seconds for one program run; a hang fails the case


class Failure(Exception):
    pass


def check(condition, what):
    if not condition:
        raise Failure(what)


class Programs:
    def __init__(self, args):
        self.wine = args.wine
        self.win_cli, self.win_sim = args.win_cli, args.win_sim
        self.host_cli, self.host_sim = args.host_cli, args.host_sim

    def cli(self, windows, args, cwd, stdin=None):
        """Runs vondrix-cli (the Windows one under Wine, else the Linux one):
        (status, stdout, stderr), line ends as a Linux program writes them."""
        command = ([self.wine, self.win_cli] if windows else [self.host_cli]) + args
        # UTF-8, so that Wine hands the arguments on as typed; one date format
        # for both.
        env = {**os.environ, "VONDRIX_LANG": "en", "LC_ALL": "C.UTF-8",
               "VONDRIX_DATEFMT": "dd.MM.yyyy"}
        done = subprocess.run(command, cwd=cwd, env=env, input=stdin, capture_output=True,
                              timeout=TIMEOUT)
        text = lambda b: b.decode("utf-8", "replace").replace("\r\n", "\n")
        return done.returncode, text(done.stdout), text(done.stderr)

    def phone(self, windows, args, cwd):
        """Starts vondrix-phonesim; returns the process and its first output
        line (the pty's path or the TCP port)."""
        command = ([self.wine, self.win_sim] if windows else [self.host_sim]) + args
        process = subprocess.Popen(command, cwd=cwd, stdout=subprocess.PIPE,
                                   stderr=subprocess.PIPE, env=os.environ)
        first = process.stdout.readline().decode().strip()
        check(first, f"{' '.join(command)} printed nothing: "
                     f"{process.stderr.read().decode() if process.poll() is not None else ''}")
        return process, first


def stop(process):
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(timeout=20)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


def com_port(number, target):
    """Maps Wine's COMn to `target` (a pty) and returns "COMn"."""
    devices = Path(os.environ["WINEPREFIX"]) / "dosdevices"
    devices.mkdir(parents=True, exist_ok=True)
    link = devices / f"com{number}"
    if link.is_symlink() or link.exists():
        link.unlink()
    link.symlink_to(target)
    return f"COM{number}"


def same(what, linux, windows):
    check(linux == windows, f"{what} differ\n--- Linux:\n{linux}\n--- Windows:\n{windows}")


def both(programs, args, prepare=None):
    """Runs one command on each build in its own fresh folder; returns the two
    results and the two folders."""
    results, folders = [], []
    for windows in (False, True):
        folder = Path(tempfile.mkdtemp(prefix="vondrix-wine-"))
        if prepare:
            prepare(folder)
        results.append(programs.cli(windows, args, folder))
        folders.append(folder)
    return results, folders


# --- the cases ----------------------------------------------------------------

def case_simulated_reads(programs):
    """info, phonebook read and sms list against the in-process simulated
    phone: what Linux shows, byte for byte."""
    for args in (["--simulate", "info"], ["--simulate", "phonebook", "read"],
                 ["--simulate", "sms", "list"], ["--simulate", "phonebook", "read", "--json"]):
        (linux, windows), _ = both(programs, args)
        check(linux[0] == 0, f"{args}: Linux failed: {linux}")
        same(f"{args} results", linux, windows)


def case_phonebook_write_file(programs):
    """A phonebook write saves Vondrix.phb, the same bytes as on Linux."""
    args = ["--simulate", "phonebook", "write", "+4930123456", "Grete Müller"]
    (linux, windows), (lf, wf) = both(programs, args)
    check(linux[0] == 0, f"Linux failed: {linux}")
    same("results", linux, windows)
    check((lf / "Vondrix.phb").exists(), "Linux wrote no Vondrix.phb")
    same("Vondrix.phb", (lf / "Vondrix.phb").read_bytes(), (wf / "Vondrix.phb").read_bytes())
    check("Grete" in (wf / "Vondrix.phb").read_bytes().decode("latin-1"), "the entry is missing")


def tcp_read(programs, windows, folder):
    record = folder / "received.txt"
    phone, port = programs.phone(windows, ["--tcp", "0", "--record", record.name], folder)
    try:
        result = programs.cli(windows, ["--tcp", f"127.0.0.1:{port}", "phonebook", "read"], folder)
    finally:
        stop(phone)
    return result, record.read_text(encoding="latin-1")


def case_tcp_traffic(programs):
    """vondrix-cli.exe --tcp against vondrix-phonesim.exe sends exactly the
    command lines the Linux programs send."""
    linux, linux_lines = tcp_read(programs, False, Path(tempfile.mkdtemp(prefix="vondrix-wine-")))
    windows, windows_lines = tcp_read(programs, True, Path(tempfile.mkdtemp(prefix="vondrix-wine-")))
    check(linux[0] == 0 and "AT+CPBR" in linux_lines, f"Linux read nothing: {linux}")
    same("command lines received", linux_lines, windows_lines)
    same("results", linux, windows)


def case_serial_com_port(programs):
    """The Windows serial path for real: Wine's COM port on the pty of a
    simulated phone; the SIM phonebook reads as over Linux's serial path."""
    folder = Path(tempfile.mkdtemp(prefix="vondrix-wine-"))
    results = []
    for windows in (False, True):
        phone, device = programs.phone(False, ["--pty"], folder)
        try:
            name = com_port(5, device) if windows else device
            results.append(programs.cli(windows, ["--device", name, "phonebook", "read",
                                                  "--kind", "sim"], folder))
        finally:
            stop(phone)
    linux, windows = results
    check(linux[0] == 0 and linux[1], f"Linux failed: {linux}")
    same("results", linux, windows)


def masked(result, device):
    status, out, err = result
    return status, out, err.replace(device, "DEVICE")


def case_bad_input(programs):
    """Input the program refuses: the same message and status 2."""
    for args in (["--simulate", "phonebook", "write", "12;ATD", "Name"],
                 ["--simulate", "phonebook", "read", "--kind", "nowhere"],
                 ["--simulate", "--frobnicate", "info"],
                 ["--tcp", "127.0.0.1:99999", "info"]):
        (linux, windows), _ = both(programs, args)
        check(linux[0] != 0 and linux[2], f"{args}: Linux accepted it: {linux}")
        same(f"{args} results", linux, windows)


def case_missing_port(programs):
    """A COM port that does not exist: the same message as a missing device
    on Linux, status 3."""
    linux = masked(programs.cli(False, ["--device", "/dev/vondrix-no-such-port", "info"],
                                tempfile.mkdtemp()), "/dev/vondrix-no-such-port")
    devices = Path(os.environ["WINEPREFIX"]) / "dosdevices"
    for stale in (devices / "com8",):
        if stale.is_symlink():
            stale.unlink()
    windows = masked(programs.cli(True, ["--device", "COM8", "info"], tempfile.mkdtemp()), "COM8")
    check(linux[0] == 3, f"Linux: {linux}")
    same("results", linux, windows)


def case_port_in_use(programs):
    """A COM port another program holds: the same message as on Linux,
    status 3. The holder reads a slow phone, so the port stays taken."""
    results = []
    for windows in (False, True):
        folder = Path(tempfile.mkdtemp(prefix="vondrix-wine-"))
        record = folder / "received.txt"
        phone, device = programs.phone(False, ["--pty", "--latency", "300", "--record",
                                               record.name], folder)
        name = com_port(6, device) if windows else device
        command = ([programs.wine, programs.win_cli] if windows else [programs.host_cli]) + \
            ["--device", name, "phonebook", "read"]
        holder = subprocess.Popen(command, cwd=folder, stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL)
        try:
            deadline = time.monotonic() + 60
            while not (record.exists() and record.stat().st_size > 0):
                check(time.monotonic() < deadline and holder.poll() is None,
                      "the first program never reached the phone")
                time.sleep(0.1)
            second = Path(tempfile.mkdtemp(prefix="vondrix-wine-"))
            results.append(masked(programs.cli(windows, ["--device", name, "info"], second), name))
        finally:
            stop(holder)
            stop(phone)
    linux, windows = results
    check(linux[0] == 3, f"Linux: {linux}")
    same("results", linux, windows)


def case_silent_phone(programs):
    """A phone that stops answering (a pty nobody answers on): the same
    message and status on both, after the configured time-out."""
    results = []
    for windows in (False, True):
        folder = Path(tempfile.mkdtemp(prefix="vondrix-wine-"))
        (folder / "Vondrix.ini").write_text("[Vondrix]\r\nTimeout=2\r\n")
        controller, peer = pty.openpty()
        device = os.ttyname(peer)
        try:
            name = com_port(7, device) if windows else device
            results.append(masked(programs.cli(windows, ["--device", name, "info"], folder), name))
        finally:
            os.close(controller)
            os.close(peer)
    linux, windows = results
    check(linux[0] == 3, f"Linux: {linux}")
    same("results", linux, windows)


CASES = {name[len("case_"):]: fn for name, fn in globals().items() if name.startswith("case_")}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("case", choices=sorted(CASES))
    for option in ("--wine", "--win-cli", "--win-sim", "--host-cli", "--host-sim"):
        parser.add_argument(option, required=True)
    args = parser.parse_args()
    # Wine's server outlives the program that starts it and keeps that
    # program's standard error: a server started here would write into one
    # case's output (it dumps its state when a pty it holds hangs up). It is
    # started first, its output going nowhere; with one running, this is a
    # no-op.
    server = shutil.which("wineserver") or str(Path(args.wine).with_name("wineserver64"))
    subprocess.run([server, "--persistent=60"], stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, env=os.environ, timeout=60)
    try:
        CASES[args.case](Programs(args))
    except Failure as failure:
        print(f"FAILED {args.case}: {failure}")
        return 1
    print(f"passed {args.case}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
