#!/usr/bin/env python3
"""json_report.py TARNWELL: the JSON report of real runs, every line of standard output read
by Python's json module (UTF-8, strict). A folder and names that hold a line feed, a byte
that is not UTF-8, a quote and a backslash are recovered byte for byte from the path lines
and the summary. Each kind of failure comes from the system itself: a file mounted over
(in use), a folder without write permission (permission denied), a read-only bind mount,
the read-only mark. With rules, a folder that cannot be listed and a bad rule cost only
their own sweep; without, a failed sweep still ends standard output with the summary.
Needs root, for the mounts; the program runs without the capabilities that let root pass
every permission check."""
import datetime
import json
import os
import re
import subprocess
import sys
import tempfile

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.join(os.path.dirname(__file__), ".."))
from checks import expect, finish  # noqa: E402

program = sys.argv[1]


def old(stem):
    day = datetime.date.today() - datetime.timedelta(days=30)
    return stem + day.strftime(".%Y%m%d.log").encode()


def recovered(text):
    """The bytes of a name as the report writes it: \\\\ and \\xHH undone."""
    undo = lambda m: b"\\" if m[2] is None else bytes.fromhex(m[2].decode())
    return re.sub(rb"\\(\\|x([0-9a-f]{2}))", undo, text.encode())


def run(*arguments, rules=b"/nonexistent/rules.d"):
    """Exit status, the objects of standard output (the summary last), standard error."""
    env = dict(os.environ, TARNWELL_REGISTRY="/nonexistent/registry.reg",
               TARNWELL_RULES=os.fsdecode(rules))
    as_user = ["setpriv", "--bounding-set", "-dac_override,-dac_read_search,-fowner"]
    done = subprocess.run(as_user + [program, *arguments], env=env, capture_output=True,
                          stdin=subprocess.DEVNULL, timeout=60)
    expect("the last line's end", True, done.stdout.endswith(b"\n") or not done.stdout)
    objects = [json.loads(line) for line in done.stdout.splitlines()]
    for path_line in objects[:-1]:
        expect("a path line", ["path"], list(path_line))
    return done.returncode, objects, done.stderr.decode(errors="replace").splitlines()


top = tempfile.mkdtemp(prefix="tarnwell-json.", dir="/var/tmp").encode()
own = os.path.join(top, b"own\xfe\\\n\"dir")
folders = {name: os.path.join(top, name) for name in
           [b"denied", b"rofs", b"locked", b"rules.d"]}
odd = [old(b"new\nline"), old(b"bad\xff"), old(b'quo"te'), old(b"back\\slash")]
mounts = []
try:
    for folder in [own, *folders.values()]:
        os.mkdir(folder)
    for name in odd + [old(b"ro"), old(b"busy")]:
        with open(os.path.join(own, name), "wb") as file:
            file.write(b"0123456789")
    for folder in [b"denied", b"rofs", b"locked"]:
        open(os.path.join(folders[folder], old(b"app")), "wb").close()
    os.chmod(os.path.join(own, old(b"ro")), 0o444)
    busy = os.path.join(own, old(b"busy"))
    source = os.path.join(top, b"source")
    with open(source, "wb") as file:
        file.write(b"0123456789")
    for command in [["mount", "--bind", source, busy],
                    ["mount", "--bind", folders[b"rofs"], folders[b"rofs"]],
                    ["mount", "-o", "remount,bind,ro", folders[b"rofs"]]]:
        subprocess.run(command, check=True)
        if command[1] == "--bind":
            mounts.insert(0, command[-1])
    os.chmod(folders[b"denied"], 0o555)
    os.chmod(folders[b"locked"], 0)
    for number, folder in enumerate([b"denied", b"rofs", b"locked"]):
        with open(os.path.join(folders[b"rules.d"], b"%d.conf" % number), "wb") as file:
            file.write(b"[Rule]\nPath=%s\nDeleteAfterDays=7\n" % folders[folder])
    with open(os.path.join(folders[b"rules.d"], b"9.conf"), "wb") as file:
        file.write(b"[Rule]\nPath=/x\nDeleteAfterDays=7\nKepe=3\n")

    def kinds(**counts):
        keys = ["read-only", "in use", "permission denied", "read-only file system", "other"]
        return {key: counts.get(key.replace(" ", "_").replace("-", "_"), 0) for key in keys}

    version = subprocess.run([program, "--version"], capture_output=True, text=True)
    summary_start = {"version": version.stdout.split()[-1], "preview": False, "deleted": 4,
                     "exit_status": 1}
    locked = "Run-time error '75': Path/File access error: %s: Permission denied" % (
        folders[b"locked"].decode())
    unknown_key = folders[b"rules.d"].decode() + "/9.conf:4: unknown key 'Kepe'"
    none = {"deleted": 0, "bytes": 0, "kept": 0, "error": None}
    sweeps = [
        {**none, "rule": None, "folder": own, "deleted": 4, "bytes": 40,
         "not_deleted": kinds(read_only=1, in_use=1)},
        {**none, "rule": "0.conf", "folder": folders[b"denied"],
         "not_deleted": kinds(permission_denied=1)},
        {**none, "rule": "1.conf", "folder": folders[b"rofs"],
         "not_deleted": kinds(read_only_file_system=1)},
        {**none, "rule": "2.conf", "folder": folders[b"locked"], "not_deleted": kinds(),
         "error": locked},
        {**none, "rule": "9.conf", "folder": b"/x", "not_deleted": kinds(), "error": unknown_key},
    ]
    for preview in [True, False]:
        status, objects, errors = run(*["--json", "--list", "--rules", "-d", "7"],
                                      *(["--dry-run"] if preview else []), "--", own,
                                      rules=folders[b"rules.d"])
        what = "preview" if preview else "run"
        summary = objects[-1]
        expect(what + ": exit status", 1, status)
        expect(what + ": paths", sorted(os.path.join(own, name) for name in odd + [busy]
                                        if preview or name != busy),
               sorted(recovered(line["path"]) for line in objects[:-1]))
        expect(what + ": summary", {**summary_start, "preview": preview,
                                    "deleted": 5 if preview else 4},
               {key: summary[key] for key in summary_start})
        expect(what + ": warnings", (2 if preview else 3, 0),
               (len(summary["warnings"]), summary["more_warnings"]))
        for wanted, got in zip(sweeps, summary["sweeps"], strict=True):
            got = {**got, "folder": recovered(got["folder"])}
            # A preview cannot know that a file is mounted over.
            if preview and wanted["rule"] is None:
                wanted = {**wanted, "deleted": 5, "bytes": 50, "not_deleted": kinds(read_only=1)}
            expect(what + ": sweep", wanted, got)
    expect("left", [old(b"busy"), old(b"ro")], sorted(os.listdir(own)))

    # Without rules a failed sweep ends the run, its summary written first.
    status, objects, errors = run("--json", "-d", "7", folders[b"locked"])
    expect("failed sweep: exit status and lines", (1, 1), (status, len(objects)))
    expect("failed sweep: summary", (1, locked),
           (objects[0]["exit_status"], objects[0]["sweeps"][0]["error"]))
    expect("failed sweep: standard error", [locked], errors)
    # A refused command line writes no JSON: the usage message goes to standard error.
    for refused in [["/DeleteAfterDays=0", "/Json"], ["--json", "--dryrun"]]:
        status, objects, errors = run(*refused)
        expect("refused: exit status and output", (2, []), (status, objects))
        expect("refused: usage message", "Usage: " in errors[-1], refused[0].startswith("/"))
    status, objects, errors = run("--json", "-d", "7")
    expect("default sweep: folders as given", ["c:", "C:\\\\DebugFiles"],
           [sweep["folder"] for sweep in objects[0]["sweeps"]])
finally:
    for mount in mounts:
        subprocess.run(["umount", mount])
    subprocess.run(["chmod", "-R", "u+rwx", top])
    subprocess.run(["rm", "-rf", top])
finish("JSON report")
