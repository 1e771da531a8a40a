#!/usr/bin/env python3
"""Plants each fault of tests/planted/ in a scratch copy of the tree and tells whether the tests
catch it.

The scratch copy (build-planted/tree) and its build (build-planted/build) stay between runs, so
each fault costs an incremental build of the file it touches and the tests it can reach. For each
fault: the file is changed, the subsystem's tests are built and run, and only when they all pass
is everything built and the whole suite run. A fault that does not build is invalid and counted
apart, and so is one marked equivalent (it cannot change what a user or caller sees).

    scripts/planted.py                 # every fault
    scripts/planted.py isbn            # the faults of tests/planted/isbn.faults
    scripts/planted.py 'isbn/check-*'  # faults by name (shell patterns, subsystem/name)
"""

import argparse
import fnmatch
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
from dataclasses import dataclass, field
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
FAULTS_DIR = ROOT / "tests" / "planted"
EXCLUDED_TOP = {".git", "build-planted"}

HEADER = re.compile(r"^# ([A-Za-z0-9][A-Za-z0-9_.-]*): (.+)$")
KEYWORD = re.compile(r"^(file|old|new|equivalent|tests):(?: (.*))?$")


@dataclass
class Fault:
    subsystem: str
    name: str
    description: str
    source: str = ""
    old: str = ""
    new: str = ""
    equivalent: str = ""
    tests: list = field(default_factory=list)
    where: str = ""

    @property
    def key(self):
        return f"{self.subsystem}/{self.name}"


def parse_fault_file(path):
    """Reads one fault file: an optional `tests:` line, then blocks of

        # name: what the mistake is
        file: src/...
        old:
        <lines, verbatim>
        new:
        <lines, verbatim>
        equivalent: why no one could tell   (optional)

    `old: text` and `new: text` on one line take a fragment of a line."""
    subsystem = path.stem
    file_tests = []
    faults = []
    current = None
    section = None
    lines = {"old": [], "new": []}

    def close_section():
        nonlocal section
        if current is not None and section in ("old", "new"):
            body = lines[section]
            while body and body[-1].strip() == "":
                body.pop()
            setattr(current, section, "\n".join(body))
        section = None

    for number, raw in enumerate(path.read_text(encoding="utf-8").split("\n"), 1):
        header = HEADER.match(raw)
        keyword = KEYWORD.match(raw)
        if header:
            close_section()
            current = Fault(subsystem, header.group(1), header.group(2),
                            where=f"{path.relative_to(ROOT)}:{number}")
            faults.append(current)
            continue
        if keyword:
            close_section()
            name, rest = keyword.group(1), keyword.group(2)
            if name == "tests":
                target = current.tests if current else file_tests
                target.extend((rest or "").split())
            elif current is None:
                raise SystemExit(f"{path}:{number}: '{name}:' before any fault")
            elif name in ("old", "new"):
                if rest is not None:
                    setattr(current, name, rest)
                else:
                    section = name
                    lines[name] = []
            elif name == "file":
                current.source = (rest or "").strip()
            elif name == "equivalent":
                current.equivalent = (rest or "").strip() or "equivalent"
            continue
        if section in ("old", "new"):
            lines[section].append(raw)
        elif raw.strip() and not raw.startswith("#"):
            raise SystemExit(f"{path}:{number}: unexpected line: {raw}")
    close_section()
    for fault in faults:
        if not fault.source or not fault.old or fault.old == fault.new:
            raise SystemExit(f"{fault.where}: a fault needs a file, an old text and a new one")
        if not fault.tests:
            fault.tests = list(file_tests)
    return faults


def load_faults(patterns):
    faults = []
    for path in sorted(FAULTS_DIR.glob("*.faults")):
        faults.extend(parse_fault_file(path))
    names = [f.key for f in faults]
    duplicates = {n for n in names if names.count(n) > 1}
    if duplicates:
        raise SystemExit(f"fault names used twice: {', '.join(sorted(duplicates))}")
    if not patterns:
        return faults

    def wanted(fault):
        for p in patterns:
            if p == fault.subsystem or fnmatch.fnmatch(fault.key, p) or fnmatch.fnmatch(fault.name, p):
                return True
        return False

    return [f for f in faults if wanted(f)]


def sync_tree(source, target):
    """Copies the working tree into the scratch copy, writing only the files whose bytes differ
    (with a new time, so the build sees them) and removing those the tree no longer has."""
    seen = set()
    changed = 0
    for dirpath, dirnames, filenames in os.walk(source):
        rel = Path(dirpath).relative_to(source)
        if rel == Path("."):
            dirnames[:] = [d for d in dirnames if d not in EXCLUDED_TOP and d != "build"
                           and not d.startswith("build-")]
        (target / rel).mkdir(parents=True, exist_ok=True)
        for d in dirnames:
            seen.add(rel / d)
        for name in filenames:
            path = Path(dirpath) / name
            if path.is_symlink() or not path.is_file():
                continue
            seen.add(rel / name)
            data = path.read_bytes()
            copy = target / rel / name
            if not copy.is_file() or copy.read_bytes() != data:
                copy.write_bytes(data)
                shutil.copymode(path, copy)
                changed += 1
    for dirpath, dirnames, filenames in os.walk(target, topdown=False):
        rel = Path(dirpath).relative_to(target)
        for name in filenames + dirnames:
            if (rel / name) not in seen:
                gone = target / rel / name
                if gone.is_dir():
                    shutil.rmtree(gone)
                else:
                    gone.unlink()
    return changed


class Runner:
    def __init__(self, args):
        self.args = args
        self.scratch = Path(args.scratch).resolve()
        self.tree = self.scratch / "tree"
        self.build = self.scratch / "build"
        self.tests = {}
        self.costs = {}
        self.broken_at_start = set()

    def log(self, text):
        print(text, flush=True)

    def ninja(self, targets):
        command = ["ninja", "-C", str(self.build), f"-j{self.args.jobs}"] + targets
        if self.args.lock:
            command = ["flock", self.args.lock] + command
        done = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        return done.returncode == 0, done.stdout

    def configure(self):
        if (self.build / "build.ninja").exists():
            return
        command = ["cmake", "-S", str(self.tree), "-B", str(self.build), "-G", "Ninja",
                   "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
                   # No debug information: the links of fifty test programs are most of a
                   # fault's build.
                   "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -DNDEBUG"]
        subprocess.run(command, check=True, stdout=subprocess.DEVNULL)

    def read_tests(self):
        listing = subprocess.run(["ctest", "--show-only=json-v1"], cwd=self.build, check=True,
                                 stdout=subprocess.PIPE, text=True).stdout
        for test in json.loads(listing)["tests"]:
            properties = {p["name"]: p["value"] for p in test.get("properties", [])}
            self.tests[test["name"]] = (test["command"], properties)
        cost_file = self.build / "Testing" / "Temporary" / "CTestCostData.txt"
        if cost_file.exists():
            for line in cost_file.read_text().splitlines():
                parts = line.split()
                if len(parts) == 3:
                    self.costs[parts[0]] = float(parts[2])

    def subsystem_tests(self, fault):
        if fault.tests:
            return [t for t in fault.tests if t in self.tests]
        # A test belongs to the folder of tests/ its source lies in, as tests/CMakeLists.txt
        # names it.
        folder = fault.subsystem
        found = []
        text = (self.tree / "tests" / "CMakeLists.txt").read_text()
        for name, source in re.findall(r"shelfwarden_(?:core|gui)_test\((\w+)\s+([\w/.]+)", text):
            if source.startswith(folder + "/") and name in self.tests:
                found.append(name)
        return found

    def run_one(self, name):
        command, properties = self.tests[name]
        env = dict(os.environ)
        for assignment in properties.get("ENVIRONMENT", []):
            key, _, value = assignment.partition("=")
            env[key] = value
        timeout = self.args.timeout or properties.get("TIMEOUT", 1500)
        return subprocess.Popen(command, cwd=properties.get("WORKING_DIRECTORY", self.build),
                                env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                                start_new_session=True), time.monotonic() + timeout

    def run_tests(self, names):
        """Runs the tests, the longest first, `jobs` at a time; stops at the first that fails.
        Returns (name, how) of the failure, or None."""
        waiting = sorted(names, key=lambda n: -self.costs.get(n, 1.0))
        running = {}
        failure = None
        while (waiting or running) and failure is None:
            while waiting and len(running) < self.args.jobs:
                name = waiting.pop(0)
                running[name] = self.run_one(name)
            time.sleep(0.05)
            for name, (process, deadline) in list(running.items()):
                if process.poll() is None and time.monotonic() > deadline:
                    os.killpg(process.pid, signal.SIGKILL)
                    process.wait()
                    process.stdout.close()
                    failure = (name, "timed out")
                    del running[name]
                    break
                if process.poll() is not None:
                    output = process.stdout.read().decode(errors="replace")
                    process.stdout.close()
                    del running[name]
                    if process.returncode != 0:
                        failure = (name, first_failure(output))
                        break
        for process, _ in running.values():
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()
            process.stdout.close()
        return failure

    def prepare(self):
        self.scratch.mkdir(parents=True, exist_ok=True)
        if self.args.source:
            # The tree of a commit, without what anyone is changing in the working tree now.
            with tempfile.TemporaryDirectory() as exported:
                archive = subprocess.run(["git", "-C", str(ROOT), "archive", self.args.source],
                                         check=True, stdout=subprocess.PIPE).stdout
                subprocess.run(["tar", "-x", "-C", exported], input=archive, check=True)
                changed = sync_tree(Path(exported), self.tree)
        else:
            changed = sync_tree(ROOT, self.tree)
        self.log(f"scratch copy: {self.tree} ({changed} files brought up to date)")
        self.configure()
        self.log("building the scratch copy...")
        ok, output = self.ninja([])
        if not ok:
            sys.stdout.write(output[-4000:])
            raise SystemExit("the unchanged tree does not build")
        self.read_tests()
        if self.args.no_baseline:
            return
        self.log("running the whole suite on the unchanged tree...")
        remaining = list(self.tests)
        while remaining:
            failure = self.run_tests(remaining)
            if failure is None:
                break
            self.broken_at_start.add(failure[0])
            self.log(f"  {failure[0]} fails without any fault ({failure[1]}): left out")
            remaining = [t for t in remaining if t not in self.broken_at_start]

    def plant(self, fault):
        path = self.tree / fault.source
        if not path.is_file():
            return "STALE", f"no file {fault.source}"
        original = path.read_text(encoding="utf-8")
        count = original.count(fault.old)
        if count != 1:
            return "STALE", f"the old text occurs {count} times in {fault.source}"
        path.write_text(original.replace(fault.old, fault.new), encoding="utf-8")
        try:
            return self.try_fault(fault)
        finally:
            # Written anew, so the next build compiles the file as it was.
            path.write_text(original, encoding="utf-8")

    def try_fault(self, fault):
        own = [t for t in self.subsystem_tests(fault) if t not in self.broken_at_start]
        if own:
            ok, output = self.ninja(own)
            if not ok:
                return "BUILD FAILS", first_error(output)
            failure = self.confirmed(self.run_tests(own))
            if failure:
                return "CAUGHT", f"{failure[0]}: {failure[1]}"
        ok, output = self.ninja([])
        if not ok:
            return "BUILD FAILS", first_error(output)
        rest = [t for t in self.tests if t not in own and t not in self.broken_at_start]
        failure = self.confirmed(self.run_tests(rest))
        if failure:
            return "CAUGHT", f"{failure[0]}: {failure[1]} (outside the subsystem's tests)"
        return "MISSED", ""

    def confirmed(self, failure):
        """A failure counts when the test fails again: a test upset by a busy machine does not
        catch a fault."""
        if failure is None or not self.args.confirm:
            return failure
        again = self.run_tests([failure[0]])
        return failure if again else None


def first_failure(output):
    for line in output.splitlines():
        if line.startswith("FAIL!") or "Received signal" in line or "ERROR:" in line:
            return line.strip()[:200]
    lines = [l for l in output.splitlines() if l.strip()]
    return (lines[-1].strip() if lines else "failed")[:200]


def first_error(output):
    for line in output.splitlines():
        if "error:" in line:
            return line.strip()[:200]
    return "the build failed"


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("only", nargs="*", help="subsystems or fault names (shell patterns)")
    parser.add_argument("--list", action="store_true", help="list the faults and stop")
    parser.add_argument("--check", action="store_true",
                        help="check that each fault's old text occurs once in the tree, and stop")
    parser.add_argument("--scratch", default=str(ROOT / "build-planted"),
                        help="the scratch copy and its build (default: build-planted)")
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 2,
                        help="builds and tests run at once")
    parser.add_argument("--timeout", type=float, default=0,
                        help="seconds a test may take (default: its own CTest timeout)")
    parser.add_argument("--lock", help="run every build under flock on this file")
    parser.add_argument("--from", dest="source", metavar="COMMIT",
                        help="copy the tree of this commit instead of the working tree")
    parser.add_argument("--no-baseline", action="store_true",
                        help="skip the run of the whole suite on the unchanged tree")
    parser.add_argument("--no-confirm", dest="confirm", action="store_false",
                        help="take a failing test at its first failure")
    args = parser.parse_args()

    faults = load_faults(args.only)
    if not faults:
        raise SystemExit("no fault matches")
    if args.list:
        for fault in faults:
            mark = "  (equivalent)" if fault.equivalent else ""
            print(f"{fault.key:40} {fault.source}: {fault.description}{mark}")
        return 0

    if args.check:
        stale = 0
        for fault in faults:
            path = ROOT / fault.source
            count = path.read_text(encoding="utf-8").count(fault.old) if path.is_file() else 0
            if count != 1:
                stale += 1
                print(f"STALE {fault.key}: the old text occurs {count} times in {fault.source}"
                      f"  [{fault.where}]")
        print(f"{len(faults)} faults, {stale} stale")
        return 1 if stale else 0

    runner = Runner(args)
    runner.prepare()
    results = {}
    planted = [f for f in faults if not f.equivalent]
    start = time.monotonic()
    for index, fault in enumerate(planted, 1):
        began = time.monotonic()
        verdict, detail = runner.plant(fault)
        results.setdefault(verdict, []).append(fault)
        took = time.monotonic() - began
        line = f"[{index:3}/{len(planted)}] {verdict:11} {fault.key} ({took:.0f}s)"
        runner.log(line + (f"  {detail}" if detail else ""))

    print()
    for verdict in ("MISSED", "BUILD FAILS", "STALE"):
        for fault in results.get(verdict, []):
            print(f"{verdict:11} {fault.key}: {fault.description}  [{fault.where}]")
    equivalent = [f for f in faults if f.equivalent]
    for fault in equivalent:
        print(f"{'EQUIVALENT':11} {fault.key}: {fault.equivalent}")
    caught = len(results.get("CAUGHT", []))
    counted = caught + len(results.get("MISSED", []))
    share = 100.0 * caught / counted if counted else 0.0
    print(f"\ncaught {caught} of {counted} ({share:.0f}%)"
          f"; equivalent {len(equivalent)}; build fails {len(results.get('BUILD FAILS', []))}"
          f"; stale {len(results.get('STALE', []))}"
          f"; {time.monotonic() - start:.0f}s")
    return 1 if results.get("MISSED") or results.get("BUILD FAILS") or results.get("STALE") else 0


if __name__ == "__main__":
    sys.exit(main())
