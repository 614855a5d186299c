#!/usr/bin/env python3
"""Seed faults in src/core one at a time and report the share the unit tests catch.

Draws mutants from a fixed seed (relational and logical operators, off-by-one
integer literals, true/false, removal of a '!'), edits the source in place,
rebuilds the core unit tests in a non-sanitized build dir, runs them and
restores the file. A mutant that does not compile is skipped and replaced by
the next draw; a test run that times out counts as caught.

    scripts/mutation-sample.py --seed 11 -n 40
    scripts/mutation-sample.py --list
"""
import argparse, pathlib, random, re, signal, subprocess, sys, time

TESTS = ["test_tagdata", "test_data", "test_serial", "test_tagwindow",
         "test_umler", "test_commlog", "test_print"]
# Operators are taken only with a blank either side, which leaves templates,
# '->', '<<', '>>' and '&&' of rvalue references alone.
SWAPS = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "==",
         "&&": "||", "||": "&&", "true": "false", "false": "true"}
TOKEN = re.compile(r"(?<= )(<=|>=|==|!=|&&|\|\||<|>)(?= )|\b(true|false)\b"
                   r"|(?<![\w.'])(\d+)(?![\w.'])|(?<![\w)\]!=])!(?![=!])")


def blank_out(line):
    """Return the line with string/char literals and // comments blanked."""
    line = re.sub(r'"(\\.|[^"\\])*"', lambda m: " " * len(m.group()), line)
    line = re.sub(r"'(\\.|[^'\\])*'", lambda m: " " * len(m.group()), line)
    cut = line.find("//")
    return line if cut < 0 else line[:cut] + " " * (len(line) - cut)


def candidates(root):
    out = []
    for path in sorted((root / "src/core").rglob("*.cpp")):
        text = "\n".join(blank_out(l) for l in path.read_text().split("\n"))
        text = re.sub(r"/\*.*?\*/", lambda m: re.sub(r"[^\n]", " ", m.group()), text, flags=re.S)
        for no, line in enumerate(text.split("\n"), 1):
            stripped = line.strip()
            if not stripped or stripped.startswith(("#", "static_assert")):
                continue
            for m in TOKEN.finditer(line):
                tok = m.group()
                new = str(int(tok) + 1) if m.group(3) else "" if tok == "!" else SWAPS[tok]
                out.append((path, no, m.start(), tok, new))
    return out


def run(cmd, cwd, timeout=None):
    try:
        p = subprocess.run(cmd, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                           timeout=timeout)
        return p.returncode, p.stdout.decode(errors="replace")
    except subprocess.TimeoutExpired:
        return "timeout", ""


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawTextHelpFormatter)
    ap.add_argument("--seed", type=int, default=11)
    ap.add_argument("-n", type=int, default=40)
    ap.add_argument("--root", default=str(pathlib.Path(__file__).resolve().parent.parent))
    ap.add_argument("--build-dir", default="build/mutation")
    ap.add_argument("--jobs", "-j", default="1")
    ap.add_argument("--list", action="store_true", help="print the mutants without running")
    args = ap.parse_args()
    root = pathlib.Path(args.root).resolve()
    build = (root / args.build_dir).resolve()
    pool = candidates(root)
    random.Random(args.seed).shuffle(pool)
    if args.list:
        for path, no, col, old, new in pool[:args.n]:
            print(f"{path.relative_to(root)}:{no}:{col + 1}: {old!r} -> {new!r}")
        return 0

    def interrupted(*_):
        raise KeyboardInterrupt  # the finally clauses restore the source
    signal.signal(signal.SIGTERM, interrupted)
    if not (build / "build.ninja").exists():
        code, log = run(["cmake", "-S", str(root), "-B", str(build), "-G", "Ninja",
                         "-DCMAKE_BUILD_TYPE=", "-DCMAKE_CXX_FLAGS=-O0",
                         "-DCMAKE_CXX_COMPILER=clang++", "-DCMAKE_CXX_COMPILER_LAUNCHER=ccache",
                         "-DVELMORA_SANITIZE=OFF", "-DVELMORA_FUZZ=OFF", "-DVELMORA_BENCH=OFF"], root)
        if code != 0:
            sys.exit("configure failed:\n" + log)
    tests = [t for t in TESTS if (root / "tests" / t[5:]).is_dir()]
    build_cmd = ["cmake", "--build", str(build), "-j", args.jobs, "--target", *tests]
    env_run = lambda t, timeout: run([str(build / t), "--gtest_fail_fast", "--gtest_brief=1"],
                                     build, timeout)

    code, log = run(build_cmd, root)
    if code != 0:
        sys.exit("the unmutated tree does not build:\n" + log[-3000:])
    limits = {}
    for t in tests:
        start = time.monotonic()
        code, log = env_run(t, 600)
        if code != 0:
            sys.exit(f"{t} fails on the unmutated tree:\n" + log[-3000:])
        limits[t] = max(20.0, 5 * (time.monotonic() - start))

    caught, survivors, done, skipped = 0, [], 0, 0
    for path, no, col, old, new in pool:
        if done == args.n:
            break
        original = path.read_text()
        lines = original.split("\n")
        line = lines[no - 1]
        lines[no - 1] = line[:col] + new + line[col + len(old):]
        where = f"{path.relative_to(root)}:{no}:{col + 1}"
        try:
            path.write_text("\n".join(lines))
            code, _ = run(build_cmd, root)
            if code != 0:
                skipped += 1
                continue
            # The tests of the mutated subsystem first: they are the likeliest to catch it.
            sub = path.relative_to(root / "src/core").parts[0]
            order = sorted(tests, key=lambda t: t != f"test_{sub}")
            killed = next((t for t in order if env_run(t, limits[t])[0] != 0), None)
        finally:
            path.write_text(original)
        done += 1
        if killed:
            caught += 1
        else:
            survivors.append(f"{where}: {old!r} -> {new!r}    {line.strip()}")
        print(f"[{done}/{args.n}] {where} {old!r}->{new!r}: "
              f"{'caught by ' + killed if killed else 'SURVIVED'}", flush=True)
    run(build_cmd, root)  # leave the build matching the restored sources
    print(f"\nseed {args.seed}: caught {caught}/{done} = {100.0 * caught / max(done, 1):.1f} %"
          f" ({skipped} mutants did not compile and were replaced)")
    for s in survivors:
        print("survived:", s)
    return 0


if __name__ == "__main__":
    sys.exit(main())
