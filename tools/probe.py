#!/usr/bin/env python3
"""Runs qf against hostile folder trees and prints one table row per probe.

    python3 tools/probe.py [QF] [--scratch DIR] [--only NAME ...] [--skip-big]

QF is the built qf (default build/qf). Every probe builds its tree in a
scratch folder (a new folder inside DIR, else a temporary one; removed at the
end), runs qf with a time limit (a hang is killed and fails the probe), and
reports pass or FAIL with a figure. The exit status is 1 when any probe fails.
Run as root, the permission probe runs qf as uid 65534 and the device probe
makes device nodes. The 1 GiB probes need about 2 GiB of free disk for a
moment; --skip-big leaves them out.
"""
import argparse
import os
import random
import re
import shutil
import signal
import socket
import stat
import subprocess
import sys
import tempfile
import threading
import time

NOBODY = 65534
GIB = 1 << 30
# Peak resident sizes the design aims at (KiB).
SEARCH_RSS_LIMIT_KB = 4 * 1024
INDEX_RSS_LIMIT_KB = 64 * 1024

SUMMARY = re.compile(r"発見数 (\d+) \(ヒット ファイル数 (\d+)/(\d+)\)")


class Run:
    """One finished (or killed) qf process."""

    def __init__(self, status, peak_kb, seconds, timed_out, out, err):
        self.rc = os.waitstatus_to_exitcode(status)
        self.maxrss_kb = peak_kb
        self.seconds = seconds
        self.timed_out = timed_out
        self.out = out
        self.err = err
        self.text = out.decode("utf-8", "replace")

    @property
    def crashed(self):
        return self.rc < 0 and not self.timed_out

    @property
    def clean_exit(self):
        return self.rc in (0, 1) and not self.timed_out

    def counts(self):
        """(hits, files with hits, files searched) of the summary, or None."""
        m = SUMMARY.search(self.text)
        return tuple(int(g) for g in m.groups()) if m else None

    def hit_files(self):
        c = self.counts()
        return c[1] if c else -1

    def result_lines(self, needle):
        return [l for l in self.text.splitlines() if needle in l and re.search(r"\(\d+\): ", l)]

    def why(self):
        if self.timed_out:
            return "hang (killed after %.0fs)" % self.seconds
        if self.rc < 0:
            return "died by signal %d" % -self.rc
        return "exit %d" % self.rc


class Probe:
    """The scratch folder and the qf binary shared by the probes."""

    def __init__(self, qf, scratch):
        self.qf = qf
        self.root = scratch
        os.chmod(scratch, 0o755)
        self.cache = self.path("home/cache")
        self.config = self.path("home/config")
        os.makedirs(self.cache)
        os.makedirs(self.config)

    def path(self, *parts):
        return os.path.join(self.root, *parts)

    def fresh(self, name):
        folder = self.path(name)
        os.makedirs(folder)
        return folder

    def start(self, args, cwd=None, user=None, ix=None):
        argv = [self.qf, "--no-config", "--quiet", "--color=never"]
        if ix:
            argv += ["--set", "ixfDir=" + ix + "/"]
        argv += args
        env = dict(os.environ, XDG_CACHE_HOME=self.cache, XDG_CONFIG_HOME=self.config)
        out, err = tempfile.TemporaryFile(), tempfile.TemporaryFile()
        proc = subprocess.Popen(argv, stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                                cwd=cwd, env=env, start_new_session=True,
                                preexec_fn=(lambda: become(user)) if user is not None else None)
        return proc, out, err, time.monotonic()

    def finish(self, started, timeout):
        proc, out, err, t0 = started
        timed_out = False
        peak_kb = 0
        while True:
            peak_kb = max(peak_kb, high_water_kb(proc.pid))
            pid, status, rusage = os.wait4(proc.pid, os.WNOHANG)
            if pid:
                break
            if time.monotonic() - t0 > timeout:
                os.killpg(proc.pid, signal.SIGKILL)
                pid, status, rusage = os.wait4(proc.pid, 0)
                timed_out = True
                break
            time.sleep(0.002)
        proc.returncode = os.waitstatus_to_exitcode(status)
        seconds = time.monotonic() - t0
        return Run(status, peak_kb or rusage.ru_maxrss, seconds, timed_out, read_all(out),
                   read_all(err))

    def qf_run(self, args, timeout=30, **kw):
        return self.finish(self.start(args, **kw), timeout)


def high_water_kb(pid):
    """The peak resident size of the process's own memory so far (KiB).

    ru_maxrss of wait4 would do, but Linux keeps in it the size of the
    memory the child had before exec: a copy of this Python process.
    """
    try:
        with open("/proc/%d/status" % pid) as f:
            for line in f:
                if line.startswith("VmHWM:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0


def become(uid):
    os.setgroups([])
    os.setgid(uid)
    os.setuid(uid)


def read_all(f):
    f.seek(0)
    data = f.read()
    f.close()
    return data


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data.encode() if isinstance(data, str) else data)
    return path


def token():
    return "qfp%06x" % random.randrange(1 << 24)


def mb(kb):
    return "%.1f MB" % (kb / 1024)


# --- the probes: each returns (passed, figure) -------------------------------


def probe_permissions(p):
    needle = token()
    top = p.fresh("perm")
    write(top + "/ok.txt", needle + "\n")
    write(top + "/sub/ok2.txt", needle + "\n")
    write(top + "/secret.txt", needle + "\n")
    write(top + "/locked/inner.txt", needle + "\n")
    as_root = os.geteuid() == 0
    qf = p.qf
    if as_root:  # the unprivileged user needs a qf it can reach
        qf = shutil.copy(p.qf, p.path("qf-nobody"))
        os.chmod(qf, 0o755)
        os.chmod(p.path("home"), 0o777)
    os.chmod(top + "/secret.txt", 0)
    os.chmod(top + "/locked", 0)
    saved, p.qf = p.qf, qf
    try:
        r = p.qf_run(["-r", needle, top], cwd=p.root, user=NOBODY if as_root else None)
    finally:
        p.qf = saved
        os.chmod(top + "/locked", 0o755)
    err = r.err.decode("utf-8", "replace")
    per_item = [sum(1 for l in err.splitlines() if name in l) for name in ("secret", "locked")]
    figure = "%d of 2 readable found; messages per item %s" % (r.hit_files(), per_item)
    if r.rc != 2 or r.timed_out:  # found, but with errors: status 2
        return False, r.why()
    return r.hit_files() == 2 and per_item == [1, 1], figure


def each_file_once(p, needle, folder, files, timeout, limit=None):
    """Runs qf -r over folder: every one of files is reported exactly once."""
    r = p.qf_run(["-r", needle, folder], timeout=timeout)
    lines = len(r.result_lines(needle))
    figure = "%.1fs, %d result lines (%d file%s)" % (r.seconds, lines, files, "" if files == 1 else "s")
    if not r.clean_exit:
        return False, r.why() + ", " + figure
    return lines == files and (limit is None or r.seconds < limit), figure


def probe_link_cycle(p):
    needle = token()
    top = p.fresh("cycle")
    write(top + "/a.txt", needle + "\n")
    write(top + "/sub/b.txt", needle + "\n")
    os.symlink("..", top + "/sub/up")
    os.symlink(".", top + "/self")
    return each_file_once(p, needle, top, 2, timeout=20, limit=5)


def probe_link_web(p):
    needle = token()
    top = p.fresh("web")
    for i in range(31):
        write("%s/f%d/hit.txt" % (top, i), needle + "\n")
        if i < 30:
            for link in ("l1", "l2"):
                os.symlink("../f%d" % (i + 1), "%s/f%d/%s" % (top, i, link))
    return each_file_once(p, needle, top + "/f0", 31, timeout=20, limit=5)


def probe_link_to_root(p):
    needle = token()
    top = p.fresh("rootlink")
    write(top + "/a.txt", needle + "\n")
    os.symlink("/", top + "/everything")
    return each_file_once(p, needle, top, 1, timeout=60)


def probe_special_files(p):
    needle = token()
    top = p.fresh("special")
    write(top + "/a.txt", needle + "\n")
    os.mkfifo(top + "/fifo.txt")
    sock = socket.socket(socket.AF_UNIX)
    sock.bind(top + "/socket.txt")
    sock.close()
    os.symlink("/dev/null", top + "/null.txt")
    os.symlink("/dev/zero", top + "/zero.txt")
    os.symlink("/dev/urandom", top + "/urandom.txt")
    made = ["fifo", "socket", "links to null/zero/urandom"]
    if os.geteuid() == 0:
        os.mknod(top + "/zero-node.txt", stat.S_IFCHR | 0o666, os.makedev(1, 5))
        made.append("char node")
    r = p.qf_run([needle, top], timeout=10)
    figure = "%s: %s" % (", ".join(made), r.why() if not r.clean_exit else "%.1fs" % r.seconds)
    return r.clean_exit and r.hit_files() == 1, figure


def loop_in_thread(step):
    """Runs step() over and over on a thread until the returned stop() is called."""
    done = threading.Event()

    def body():
        while not done.is_set():
            step()

    t = threading.Thread(target=body, daemon=True)
    t.start()

    def stop():
        done.set()
        t.join()

    return stop


def probe_fifo_race(p):
    needle = token()
    top = p.fresh("race")
    for i in range(50):
        write("%s/f%02d.txt" % (top, i), needle + "\n")
    targets = ["%s/target%d.txt" % (top, i) for i in range(10)]
    fifo, plain = top + "/.fifo", top + "/.plain"

    def swap():  # each target is in turn a FIFO and a text file
        for target in targets:
            try:
                os.mkfifo(fifo)
                os.replace(fifo, target)
                write(plain, needle + "\n")
                os.replace(plain, target)
            except OSError:
                pass

    stop = loop_in_thread(swap)
    runs = []
    try:
        for _ in range(100):
            runs.append(p.qf_run([needle, top], timeout=5))
            if not runs[-1].clean_exit:
                break
    finally:
        stop()
    bad = [r for r in runs if not r.clean_exit or r.hit_files() < 50]
    figure = "%d runs, %d bad%s" % (len(runs), len(bad), ": " + bad[0].why() if bad else "")
    return not bad, figure


def probe_changing_file(p):
    needle = token()
    top = p.fresh("changing")
    ix = p.path("changing-ix")
    write(top + "/stable.txt", needle + "\n")
    victim, spare = top + "/victim.txt", top + "/.spare"
    body = ("line %s and more text\n" % needle) * 50000
    rng = random.Random(7)

    def change():
        try:
            with open(victim, "r+b") as f:
                f.truncate(rng.randrange(len(body)))
            write(spare, body[: rng.randrange(len(body))])
            os.replace(spare, victim)
        except OSError:
            pass

    write(victim, body)
    stop = loop_in_thread(change)
    runs = []
    try:
        for i in range(20):
            args = ["--index", needle, top] if i % 2 else [needle, top]
            runs.append(p.qf_run(args, timeout=20, ix=ix))
            if not runs[-1].clean_exit:
                break
    finally:
        stop()
    bad = [r for r in runs if not r.clean_exit or "stable.txt" not in r.text]
    figure = "%d runs (half indexed), %d bad%s" % (
        len(runs), len(bad), ": " + bad[0].why() if bad else "")
    return not bad, figure


def write_gib(path, block):
    """A file of exactly 1 GiB made of a repeated block."""
    fd = os.open(path, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644)
    try:
        left = GIB
        while left:
            left -= os.write(fd, block[:left])
    finally:
        os.close(fd)


def big_probe(p, name, block):
    folder = p.fresh(name)
    ix = p.path(name + "-ix")
    write_gib(folder + "/big.txt", block)
    try:
        search = p.qf_run(["zzneedlezz", folder], timeout=300)
        index = p.qf_run(["--index", "zzneedlezz", folder], timeout=600, ix=ix)
    finally:
        os.remove(folder + "/big.txt")
        shutil.rmtree(ix, ignore_errors=True)
    figure = "search %s %.0fs, --index %s %.0fs" % (
        mb(search.maxrss_kb), search.seconds, mb(index.maxrss_kb), index.seconds)
    for r in (search, index):
        if not r.clean_exit:
            return False, r.why() + "; " + figure
    return (search.maxrss_kb <= SEARCH_RSS_LIMIT_KB
            and index.maxrss_kb <= INDEX_RSS_LIMIT_KB), figure


def probe_gib_one_line(p):
    block = (b"abcdefghij" * 104858)[: 1 << 20]
    return big_probe(p, "gib-line", block)


def probe_gib_short_lines(p):
    block = (b"short line of text\n" * 60000)[: 1 << 20]
    return big_probe(p, "gib-lines", block)


def probe_binary(p):
    needle = token()
    top = p.fresh("binary")
    rng = random.Random(1)
    write(top + "/nul.txt", b"%s one\n" % needle.encode() + b"\0" * 5000 + b"\n%s two\n" % needle.encode())
    noise = bytearray(b"head\n")
    for _ in range(20):
        noise += rng.randbytes(50000) + b"\n%s\n" % needle.encode()
    write(top + "/random.txt", bytes(noise))
    write(top + "/ff.txt", b"\xff" * 100000 + b"\n%s\n" % needle.encode() + b"\xff" * 1000)
    r = p.qf_run([needle, top], timeout=30)
    hits = r.counts()[0] if r.counts() else -1
    figure = "%d of 23 hits" % hits
    if not r.clean_exit:
        return False, r.why()
    return hits == 23, figure


def hostile_names():
    names = [bytes([b]) + b".txt" for b in range(1, 256) if b not in (ord("/"), ord("."))]
    names += [b"-rf.txt", b"--help.txt", b"a\nb.txt", b"\x1b[31mred\x1b[0m.txt", b" lead.txt",
              b"\xff\xfe\xfd.txt", b"\x82\xa0.txt", b"\xe3\x81\x82.txt", b"back\\slash.txt",
              "é.txt".encode(), b"{%u00E9}.txt", b"{%u00e9}.txt", b"%s.txt" % (b"n" * 200),
              "\U0001F600.txt".encode()]
    return names


def probe_names(p):
    needle = token()
    top = p.fresh("names").encode()
    names = hostile_names()
    for i, name in enumerate(names):
        with open(top + b"/" + name, "wb") as f:
            f.write(b"%s tag%04d\n" % (needle.encode(), i))
    r = p.qf_run([needle, top.decode()], timeout=30)
    found = sum(1 for i in range(len(names)) if r.text.count("tag%04d" % i) == 1)
    raw_escape = b"\x1b" in r.out
    figure = "%d of %d found once%s" % (found, len(names), ", raw ESC in output" if raw_escape else "")
    if not r.clean_exit:
        return False, r.why() + "; " + figure
    return found == len(names) and not raw_escape, figure


def probe_deep_nesting(p):
    needle = token()
    top = p.fresh("deep")
    fd = os.open(top, os.O_RDONLY | os.O_DIRECTORY)
    for _ in range(2000):  # by descriptors: os.makedirs recurses per level
        os.mkdir("d", dir_fd=fd)
        inner = os.open("d", os.O_RDONLY | os.O_DIRECTORY, dir_fd=fd)
        os.close(fd)
        fd = inner
    hit = os.open("hit.txt", os.O_WRONLY | os.O_CREAT, 0o644, dir_fd=fd)
    os.write(hit, (needle + "\n").encode())
    os.close(hit)
    os.close(fd)
    bottom = os.path.join(top, *(["d"] * 2000))
    r = p.qf_run(["-r", needle, top], timeout=60)
    figure = "path %d bytes, %.1fs" % (len(bottom) + 8, r.seconds)
    if not r.clean_exit:
        return False, r.why() + "; " + figure
    return r.hit_files() == 1, figure


def probe_many_files(p):
    needle = token()
    top = p.fresh("many")
    ix = p.path("many-ix")
    for i in range(100000):
        text = "%s %d\n" % (needle if i % 1000 == 0 else "plain", i)
        fd = os.open("%s/f%06d.txt" % (top, i), os.O_WRONLY | os.O_CREAT, 0o644)
        os.write(fd, text.encode())
        os.close(fd)
    runs = [p.qf_run([needle, top], timeout=300),
            p.qf_run(["--index", needle, top], timeout=600, ix=ix),
            p.qf_run(["--index", needle, top], timeout=300, ix=ix)]
    figure = "plain %.1fs, index build %.1fs, indexed %.1fs" % tuple(r.seconds for r in runs)
    for r in runs:
        if not r.clean_exit:
            return False, r.why() + "; " + figure
    return all(r.hit_files() == 100 for r in runs), figure


def snapshot(folder):
    files = {}
    for base, _, names in os.walk(folder):
        for n in names:
            with open(os.path.join(base, n), "rb") as f:
                files[os.path.join(base, n)] = f.read()
    return files


def probe_deletion(p):
    needle = token()
    data = p.fresh("del-data")
    write(data + "/a.txt", needle + "\n")
    gone = p.fresh("del-gone")
    write(gone + "/g.txt", needle + "\n")
    outside = p.fresh("del-outside")
    intact = acted = cases = 0
    for layout in ("x_user", "x_", "inner"):
        for command in ("--delete-old-index", "--delete-all-index"):
            cases += 1
            ix = p.path("del-ix")
            shutil.rmtree(ix, ignore_errors=True)
            p.qf_run(["--index", needle, data], ix=ix)
            p.qf_run(["--index", needle, gone], ix=ix)
            qfd = [os.path.join(b, n) for b, _, ns in os.walk(ix) for n in ns if n.endswith(".qfd")]
            own = [f for f in qfd if "del-data" in f][0]
            old = [f for f in qfd if "del-gone" in f][0]
            # Index data of a gone folder and plain files: bait for a careless deletion.
            shutil.rmtree(outside)
            write(outside + "/stale.qfd", open(old, "rb").read())
            write(outside + "/sub/stale.qfd", open(old, "rb").read())
            write(outside + "/notes.txt", "keep me\n")
            before = snapshot(outside)
            if layout == "x_user":
                os.symlink(outside, ix + "/x_user")
            elif layout == "x_":
                shutil.rmtree(ix + "/x_")
                os.symlink(outside, ix + "/x_")
            else:
                os.symlink(outside, os.path.dirname(own) + "/linked")
                os.symlink(outside + "/stale.qfd", os.path.dirname(own) + "/alias.qfd")
            shutil.rmtree(gone + "-moved", ignore_errors=True)
            os.rename(gone, gone + "-moved")
            r = p.qf_run([command], ix=ix)
            os.rename(gone + "-moved", gone)
            intact += snapshot(outside) == before and not r.crashed and not r.timed_out
            if layout != "x_" and command == "--delete-all-index":
                acted += not os.path.exists(own)  # else a no-op would pass
    figure = "outside intact in %d of %d runs; own data deleted in %d of 2" % (intact, cases, acted)
    return intact == cases and acted == 2, figure


def index_files(ix):
    return {os.path.join(b, n) for b, _, ns in os.walk(ix) for n in ns
            if n.endswith(".qfd") or ".tmp" in n}


def probe_crash(p, runs):
    needle = token()
    top = p.fresh("crash")
    ix = p.path("crash-ix")
    rng = random.Random(3)
    for d in range(20):
        for f in range(20):
            lines = ["%s line %d %s\n" % (rng.choice(["alpha", "beta", needle]), n, "x" * rng.randrange(80))
                     for n in range(60)]
            write("%s/d%02d/f%02d.txt" % (top, d, f), "".join(lines))
    args = ["-r", needle, top]
    want = p.qf_run(args, timeout=60)
    first = p.qf_run(["--index"] + args, timeout=120, ix=ix)
    if not want.clean_exit or first.out != want.out:
        return False, "indexed run differs before any kill"
    span = first.seconds
    survived = 0
    notes = set()
    stamp = time.time()
    for i in range(runs):
        stamp += 10  # every file newer: the run rewrites every index file
        for base, _, names in os.walk(top):
            for n in names:
                os.utime(os.path.join(base, n), (stamp, stamp))
        victim = p.start(["--index"] + args, ix=ix)
        time.sleep(span * (i + 0.5) / runs)
        os.killpg(victim[0].pid, signal.SIGKILL)
        p.finish(victim, 10)
        after = p.qf_run(["--index"] + args, timeout=60, ix=ix)
        again = p.qf_run(["--index"] + args, timeout=60, ix=ix)
        if after.err:
            notes.add("reported")
        if again.err:
            notes.add("not repaired")
        ok = after.clean_exit and after.out == want.out and again.out == want.out and not again.err
        survived += ok
    stale = [f for f in index_files(ix) if ".tmp" in f]
    figure = "%d of %d survived (full run %.2fs)%s%s" % (
        survived, runs, span, "; " + ", ".join(sorted(notes)) if notes else "",
        "; %d stale temporary files" % len(stale) if stale else "")
    return survived == runs, figure


PROBES = [
    ("permission-denied", probe_permissions),
    ("link-cycle", probe_link_cycle),
    ("link-web", probe_link_web),
    ("link-to-root", probe_link_to_root),
    ("fifo-socket-device", probe_special_files),
    ("fifo-rename-race", probe_fifo_race),
    ("file-changing", probe_changing_file),
    ("gib-one-line", probe_gib_one_line),
    ("gib-short-lines", probe_gib_short_lines),
    ("binary", probe_binary),
    ("hostile-names", probe_names),
    ("nesting-2000", probe_deep_nesting),
    ("files-100000", probe_many_files),
    ("deletion-links", probe_deletion),
    ("crash-kill-9", None),
]
BIG = {"gib-one-line", "gib-short-lines"}


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("qf", nargs="?", default="build/qf")
    ap.add_argument("--scratch", help="folder to work in (a new folder is made inside it)")
    ap.add_argument("--only", nargs="+", metavar="NAME", help="run only these probes")
    ap.add_argument("--skip-big", action="store_true", help="leave out the 1 GiB files")
    ap.add_argument("--crash-runs", type=int, default=40, help="kills of the crash probe")
    opts = ap.parse_args()
    qf = os.path.abspath(opts.qf)
    if not os.access(qf, os.X_OK):
        sys.exit("probe: no qf at %s" % qf)
    scratch = tempfile.mkdtemp(prefix="qfprobe-", dir=opts.scratch)
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("probe: terminated"))
    rows = []
    try:
        p = Probe(qf, scratch)
        for name, fn in PROBES:
            if opts.only and name not in opts.only or opts.skip_big and name in BIG:
                continue
            t0 = time.monotonic()
            try:
                ok, figure = fn(p) if fn else probe_crash(p, opts.crash_runs)
            except Exception as e:  # a broken probe is a failure, not a stop
                ok, figure = False, "probe error: %r" % e
            rows.append((name, "pass" if ok else "FAIL", figure))
            print("%-20s %-4s %s  [%.0fs]" % (rows[-1] + (time.monotonic() - t0,)),
                  file=sys.stderr, flush=True)
    finally:
        # rm copes with the 2,000-level tree, which shutil.rmtree recurses into.
        subprocess.run(["rm", "-rf", "--one-file-system", scratch], check=False)
    width = max([len(r[0]) for r in rows] + [5])
    print("%-*s | result | figure" % (width, "probe"))
    print("-" * (width + 1) + "|--------|-------")
    for name, result, figure in rows:
        print("%-*s | %-6s | %s" % (width, name, result, figure))
    return 1 if any(r[1] == "FAIL" for r in rows) else 0


if __name__ == "__main__":
    sys.exit(main())
