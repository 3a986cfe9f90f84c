#!/usr/bin/env python3
"""Seeded corpus of hostile inputs for kdcalc: mutated project files and hostile
file lists, each run in a folder of its own beside a folder the run must never
touch. Deterministic from the seed: the same seed gives the same cases.

A case fails when kdcalc is killed by a signal, exits with anything but 0 or 1,
prints a sanitizer report, hangs, touches the folder outside, leaves result
files behind a failed run, changes the project file, or exits 0 with a result
or plot data file whose numbers cannot be read back.

    hostile_corpus.py --kdcalc build/bin/kdcalc --seed 15 --projects 300 --lists 60
"""

import argparse
import concurrent.futures
import os
import random
import re
import shutil
import stat
import subprocess
import sys
import tempfile

SCRATCH = ["pldata1", "TRNPLSSW.CBM", "TRNSTSSW.CBM", "RTGRPKHH.CBM", "STSNGKHH.CBM", "RTSNGKHH.CBM",
           "TRNFDSSW.CBM", "STGRPKHH.CBM", "TRNPLGSW.CBM", "TRNSTGSW.CBM", "TRNFDGSW.CBM", "STGRPKVV.CBM",
           "STGRPKRX.CBM", "STGRPKRY.CBM", "RTGRPKVV.CBM", "RTGRPKRX.CBM", "STSNGKVV.CBM", "RTSNGKVV.CBM",
           "RTGRPKRY.CBM"]
SANITIZER_TEXT = re.compile(r"ERROR: AddressSanitizer|ERROR: LeakSanitizer|runtime error:|UndefinedBehaviorSanitizer")
SANITIZER_EXIT = {86, 87}
SENTINEL = "a file outside the run folder\n"
# Cases that may complete: a name that is a hard link to a file outside is
# written as a new file, the file outside stays as it was.
RUNNABLE = {"mutated project", "hard-link-out"}

# Values that have broken programs of this kind before: capacity edges, int
# and double limits, values that do not parse.
COUNTS = ["0", "-1", "1", "2", "39", "40", "41", "50", "51", "100", "101", "1999", "2000", "2001", "65536",
          "2147483646", "2147483647", "-2147483648", "2147483648", "99999999999999999999", "1.0", "1e3", "+5", "-0"]
REALS = ["0", "-0", "-1", "1e300", "-1e300", "1e-300", "-1e-300", "4.9e-324", "1.7976931348623157e308", "1e309",
         "0.5", "0.4999999999", "1e150", "1e99", "-1e99", "9999.999", "9999.9995", "-9999.9995", "1e-9"]
JUNK = ["nan", "inf", "-inf", "0x10", "1e", "+-1", ".", "1,5", "1D3", "1d-3", "abc", "\x00", "\xff\xfe", "''"]


def base_project(rng):
    """A small valid project: one or two layers, one to four piles, two or three
    frequencies. Returns its lines and the fields that hold values, as
    (line, token, kind) with kind count, real or coordinate."""
    layers = [(rng.choice([1, 2, 3]), rng.choice([2.0, 3.0, 5.0]), rng.choice([100.0, 150.0, 250.0]),
               rng.choice([0.25, 0.3, 0.4]), rng.choice([1.8, 2.0]), rng.choice([0.0, 0.02, 0.05]))
              for _ in range(rng.choice([1, 2]))]
    depth = sum(l[1] for l in layers)
    piles = [(0.0, 0.0), (1.5, 0.0), (0.0, 1.5), (1.5, 1.5)][:rng.choice([1, 2, 4])]
    sup = rng.choice([(0.0, 0.0, 0.0, 0.0), (10.0, 5.0, 1000.0, 0.05)])
    lines = ["Hostile case", str(rng.choice([1, 2])), str(len(layers))]
    fields = [(1, 0, "count"), (2, 0, "count")]
    for l in layers:
        fields += [(len(lines), 0, "count")] + [(len(lines), k, "real") for k in range(1, 6)]
        lines.append(" ".join(map(str, l)))
    fields += [(len(lines), k, "real") for k in range(7)]
    lines.append("25000000 0.0049087385 0.19634954 0.25 0.25 2.5 0.0")
    fields.append((len(lines), 0, "real"))
    lines.append(str(round(depth * rng.choice([0.5, 0.8]), 3)))
    fields.append((len(lines), 0, "count"))
    lines.append(str(len(piles)))
    for p in piles:
        fields += [(len(lines), 0, "coordinate"), (len(lines), 1, "coordinate")]
        lines.append("%s %s" % p)
    fields += [(len(lines), k, "real") for k in range(4)]
    lines.append(" ".join(map(str, sup)))
    fields += [(len(lines), 0, "count"), (len(lines), 1, "real"), (len(lines), 2, "real")]
    lines.append("%d %s %s" % (rng.choice([2, 3]), rng.choice(["0", "1"]), rng.choice(["2", "5"])))
    return lines, fields


def mutate_field(lines, fields, rng):
    """One value of the project replaced by one chosen for its kind."""
    # Counts size arrays and loops: they get as many changes as all reals.
    kind = rng.choice(["count", "count", "real", "real", "coordinate"])
    line, token, kind = rng.choice([f for f in fields if f[2] == kind])
    tokens = lines[line].split(" ")
    if kind == "count":
        value = rng.choice(COUNTS + JUNK[:3])
    elif kind == "real":
        value = rng.choice(REALS + JUNK[:3])
    else:  # a pile moved onto or next to another
        coordinates = [f for f in fields if f[2] == "coordinate" and f[1] == token]
        other = lines[rng.choice(coordinates)[0]].split(" ")[token]
        value = repr(float(other) + rng.choice([0.0, 0.05, 0.4999, 0.5, -0.3]))
    tokens[token] = value
    lines[line] = " ".join(tokens)


def mutate(text, rng):
    lines = text.split("\n")
    kind = rng.randrange(9)
    if kind <= 2:  # one value replaced by an extreme
        i = rng.randrange(len(lines))
        tokens = lines[i].split(" ")
        j = rng.randrange(len(tokens))
        tokens[j] = rng.choice(COUNTS + REALS + JUNK) + ("\r" if tokens[j].endswith("\r") else "")
        lines[i] = " ".join(tokens)
    elif kind == 3:  # a line removed, repeated or moved
        i = rng.randrange(len(lines))
        op = rng.randrange(3)
        if op == 0:
            del lines[i]
        elif op == 1:
            lines.insert(i, lines[i])
        else:
            lines.insert(rng.randrange(len(lines)), lines.pop(i))
    elif kind == 4:  # cut short
        return "\n".join(lines)[:rng.randrange(len(text) + 1)]
    elif kind == 5:  # bytes that are no text
        s = "\n".join(lines)
        at = rng.randrange(len(s) + 1)
        junk = "".join(chr(rng.randrange(256)) for _ in range(rng.randrange(1, 40)))
        return s[:at] + junk + s[at:]
    elif kind == 6:  # a line without end in the middle
        i = rng.randrange(len(lines))
        lines[i] += rng.choice([" ", "1", "a", "\t"]) * rng.choice([65530, 65537, 70000, 300000])
    elif kind == 7:  # other line ends
        sep = rng.choice(["\r", "\r\r\n", "\n\n", ""])
        return sep.join(l.rstrip("\r") for l in lines)
    else:  # every count made large while the data stays short
        for i, l in enumerate(lines[:12]):
            if re.fullmatch(r"\d+\r?", l):
                lines[i] = str(rng.choice([40, 100, 2000, 2147483647, 65535])) + ("\r" if l.endswith("\r") else "")
    return "\n".join(lines)


def write(path, data):
    with open(path, "wb") as f:
        f.write(data.encode("latin-1") if isinstance(data, str) else data)


def standard_list(run):
    return "\n".join([run + "/p.kld", run + "/p.klo", run + "/p.klp", run + "/p.klr", run + "/p.klr",
                      run + "/p.klr"]) + "\n"


def hostile_list(case_dir, run, outside, rng):
    """Sets up one hostile file list; returns its kind."""
    victim = outside + "/victim.txt"
    roles = {"report": run + "/p.klo", "plot": run + "/p.klp", "notes": run + "/p.klr"}
    write(run + "/names.dat", standard_list(run))
    kinds = ["link-out", "dangling-link", "hard-link-project", "hard-link-pair", "directory", "fifo-output",
             "fifo-project", "dev-zero-project", "dev-zero-list", "project-dir", "list-garbage", "list-long",
             "output-is-list", "output-is-lock", "scratch-link", "scratch-dir", "missing-dir", "hard-link-out"]
    kind = rng.choice(kinds)
    target = rng.choice(list(roles.values()))
    if kind == "link-out":
        os.symlink(victim, target)
    elif kind == "dangling-link":
        os.symlink(outside + "/new-%d.txt" % rng.randrange(1000), target)
    elif kind == "hard-link-project":
        os.link(run + "/p.kld", target)
    elif kind == "hard-link-pair":
        a, b = rng.sample(list(roles.values()), 2)
        os.link(victim, a)
        os.link(victim, b)
    elif kind == "directory":
        os.mkdir(target)
    elif kind == "fifo-output":
        os.mkfifo(target)
    elif kind == "fifo-project":
        os.remove(run + "/p.kld")
        os.mkfifo(run + "/p.kld")
    elif kind == "dev-zero-project":
        write(run + "/names.dat", standard_list(run).replace(run + "/p.kld", "/dev/zero", 1))
    elif kind == "dev-zero-list":
        os.remove(run + "/names.dat")
        os.symlink("/dev/zero", run + "/names.dat")
    elif kind == "project-dir":
        write(run + "/names.dat", standard_list(run).replace(run + "/p.kld", outside, 1))
    elif kind == "list-garbage":
        write(run + "/names.dat", bytes(rng.randrange(256) for _ in range(rng.randrange(1, 400))))
    elif kind == "list-long":
        write(run + "/names.dat", "p" * rng.choice([65537, 100000]) + "\n")
    elif kind == "output-is-list":
        write(run + "/names.dat", standard_list(run).replace(target, run + "/names.dat", 1))
    elif kind == "output-is-lock":
        write(run + "/names.dat", standard_list(run).replace(target, run + "/kdcalc.lock", 1))
    elif kind == "scratch-link":
        os.symlink(victim, run + "/" + rng.choice(SCRATCH))
    elif kind == "scratch-dir":
        os.mkdir(run + "/" + rng.choice(SCRATCH))
    elif kind == "hard-link-out":  # runs, but writes a new file under the name
        os.link(victim, rng.choice(list(roles.values()) + [run + "/" + rng.choice(SCRATCH)]))
    elif kind == "missing-dir":
        write(run + "/names.dat", standard_list(run).replace(target, run + "/no/such/folder/x", 1))
    return kind


def snapshot(folder):
    out = []
    for root, dirs, files in os.walk(folder):
        for name in sorted(dirs + files):
            p = os.path.join(root, name)
            st = os.lstat(p)
            if stat.S_ISLNK(st.st_mode):
                out.append((p, "->" + os.readlink(p)))
            elif stat.S_ISREG(st.st_mode):
                with open(p, "rb") as f:
                    out.append((p, f.read()))
            else:
                out.append((p, stat.S_IFMT(st.st_mode)))
    return sorted(out)


def readable_numbers(path):
    """Problems of a result file (three heading lines, then numbers) or the plot data file."""
    with open(path, "rb") as f:
        lines = f.read().decode("latin-1").split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    plot = path.endswith(".klp")
    body = lines[1:] if plot else lines[3:]
    if plot:
        head = lines[0].split() if lines else []
        if len(head) != 2 or not all(re.fullmatch(r"-?\d+", t) for t in head):
            return "count record %r" % (lines[0] if lines else "")
    for line in body:
        tokens = line.split()
        if len(tokens) not in ((4,) if plot else (3, 4)):
            return "line %r has %d fields" % (line, len(tokens))
        for t in tokens:
            try:
                float(t)
            except ValueError:
                return "field %r of line %r is no number" % (t, line)
    return None


def run_case(kdcalc, work, index, seed, kind_of_case, timeout):
    rng = random.Random("%d/%s/%d" % (seed, kind_of_case, index))
    case_dir = os.path.join(work, "%s-%04d" % (kind_of_case, index))
    run, outside = case_dir + "/run", case_dir + "/outside"
    os.makedirs(run)
    os.makedirs(outside)
    write(outside + "/victim.txt", SENTINEL)
    lines, fields = base_project(rng)
    nl = "\r\n" if rng.random() < 0.5 else "\n"
    if kind_of_case == "project":
        # Values first (their places are known), then the text itself.
        field_changes = rng.choice([0, 1, 1, 2, 3])
        for _ in range(field_changes):
            mutate_field(lines, fields, rng)
        project = nl.join(lines) + nl
        for _ in range(rng.choice([1, 2]) if field_changes == 0 else rng.choice([0, 0, 1])):
            project = mutate(project, rng)
        kind = "mutated project"
    else:
        project = nl.join(lines) + nl
    write(run + "/p.kld", project)
    if kind_of_case == "project":
        write(run + "/names.dat", standard_list(run))
    else:
        kind = hostile_list(case_dir, run, outside, rng)
    project_before = project.encode("latin-1")
    outside_before = snapshot(outside)

    problems = []
    try:
        proc = subprocess.run([kdcalc], cwd=run, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE, timeout=timeout)
    except subprocess.TimeoutExpired:
        return case_dir, kind, None, ["no end within %d s" % timeout]
    err = proc.stderr.decode("latin-1", "replace")
    out = proc.stdout.decode("latin-1", "replace")
    if proc.returncode < 0:
        problems.append("killed by signal %d" % -proc.returncode)
    elif proc.returncode in SANITIZER_EXIT or SANITIZER_TEXT.search(err):
        problems.append("sanitizer report")
    elif proc.returncode not in (0, 1):
        problems.append("exit status %d" % proc.returncode)
    if err.strip() and "sanitizer report" not in problems:
        problems.append("standard error: " + err.strip()[:200])
    if snapshot(outside) != outside_before:
        problems.append("the folder outside the run changed")
    if os.path.isfile(run + "/p.kld") and not os.path.islink(run + "/p.kld"):
        with open(run + "/p.kld", "rb") as f:
            if f.read() != project_before:
                problems.append("the project file changed")
    if proc.returncode == 1:
        if not out.strip():
            problems.append("refused without a console line")
        left = [n for n in SCRATCH + ["p.klp"]
                if os.path.isfile(run + "/" + n) and not os.path.islink(run + "/" + n)]
        if left and kind == "mutated project":
            problems.append("a failed run left " + ", ".join(left))
    if proc.returncode == 0:
        if kind not in RUNNABLE:
            problems.append("a hostile file list ran")
        for name in ["p.klp"] + SCRATCH[1:]:
            p = run + "/" + name
            if not os.path.isfile(p):
                problems.append("complete run without " + name)
            elif (why := readable_numbers(p)):
                problems.append(name + ": " + why)
    if problems:
        problems.append("console: " + out.strip()[-300:] + " " + err.strip()[-2000:])
    return case_dir, kind, proc.returncode, problems


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--kdcalc", required=True)
    ap.add_argument("--seed", type=int, default=15)
    ap.add_argument("--projects", type=int, default=300, help="mutated project files")
    ap.add_argument("--lists", type=int, default=60, help="hostile file lists")
    ap.add_argument("--jobs", type=int, default=os.cpu_count() or 2)
    ap.add_argument("--timeout", type=int, default=120, help="seconds a single run may take")
    ap.add_argument("--keep", help="folder to keep the cases in (default: a temporary folder, removed)")
    args = ap.parse_args()

    # A sanitizer report ends the run with its own exit status; UBSan halts on
    # the first error.
    os.environ.setdefault("ASAN_OPTIONS", "detect_leaks=1:exitcode=86:abort_on_error=0")
    os.environ.setdefault("UBSAN_OPTIONS", "halt_on_error=1:print_stacktrace=1:exitcode=87")
    kdcalc = os.path.abspath(args.kdcalc)
    work = os.path.abspath(args.keep) if args.keep else tempfile.mkdtemp(prefix="kdhostile-")
    os.makedirs(work, exist_ok=True)
    cases = [("project", i) for i in range(args.projects)] + [("list", i) for i in range(args.lists)]
    failures = []
    kinds = {}
    statuses = {}
    with concurrent.futures.ThreadPoolExecutor(max_workers=args.jobs) as pool:
        futures = [pool.submit(run_case, kdcalc, work, i, args.seed, k, args.timeout) for k, i in cases]
        for fut in concurrent.futures.as_completed(futures):
            case_dir, kind, status, problems = fut.result()
            kinds[kind] = kinds.get(kind, 0) + 1
            statuses[status] = statuses.get(status, 0) + 1
            if problems:
                failures.append((case_dir, kind, problems))
    if not args.keep:
        shutil.rmtree(work, ignore_errors=True)
    print("hostile corpus, seed %d: %d cases (%s)" % (args.seed, len(cases),
          ", ".join("%s %d" % kv for kv in sorted(kinds.items()))))
    print("exit status: " + ", ".join("%s: %d" % kv for kv in sorted(statuses.items(), key=str)))
    for case_dir, kind, problems in sorted(failures):
        print("FAILED %s (%s):\n  %s" % (os.path.basename(case_dir), kind, "\n  ".join(problems)))
    print("%d failed" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
