#!/usr/bin/env python3
"""json_report.py TARNWELL_EXE: under Wine, the JSON report read from a redirected standard
output, as `Tarnwell.exe ... /Json | ConvertFrom-Json` reads it, every line parsed by Python's
json module: the path of each file deleted, a name outside ASCII as it is, the folder with
its backslash as Windows writes it, the read-only file counted; and no box, which would keep
the run waiting. A sweep that fails still ends standard output with its summary, and its
error also goes to the redirected standard error. Wine runs without the capabilities that
let root read any folder, as an ordinary user's would. Needs the prefix and display of
scripts/with-wine.sh."""
import datetime
import json
import os
import subprocess
import sys
import tempfile

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.join(os.path.dirname(__file__), ".."))
from checks import expect, finish  # noqa: E402

exe = sys.argv[1]


def run(*arguments):
    """Exit status, the objects of standard output, the lines of standard error. Wine's
    output goes to files: a helper process Wine starts may keep a pipe open."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        as_user = ["setpriv", "--bounding-set", "-dac_override,-dac_read_search"]
        status = subprocess.run(as_user + ["wine", exe, *arguments], stdin=subprocess.DEVNULL,
                                stdout=out, stderr=err, timeout=60).returncode
        out.seek(0)
        err.seek(0)
        objects = [json.loads(line) for line in out.read().splitlines()]
        return status, objects, err.read().decode(errors="replace").splitlines()


old = (datetime.date.today() - datetime.timedelta(days=30)).strftime(".%Y%m%d.log")
name = "tarnwell-json.%d" % os.getpid()
root = os.path.join(os.environ["WINEPREFIX"], "drive_c", name)
folder = "C:\\" + name
try:
    os.makedirs(os.path.join(root, "locked", "logs"))
    for log in ["app" + old, "caf\u00e9" + old, "ro" + old, "locked/logs/app" + old]:
        with open(os.path.join(root, log), "w") as file:
            file.write("0123456789")
    os.chmod(os.path.join(root, "ro" + old), 0o444)
    os.chmod(os.path.join(root, "locked"), 0)

    status, objects, errors = run("/DeleteAfterDays=7", "/Path=" + folder, "/Json", "/List")
    expect("exit status and lines", (0, 3), (status, len(objects)))
    expect("paths", sorted([folder + "\\app" + old, folder + "\\caf\u00e9" + old]),
           sorted(line.get("path") for line in objects[:-1]))
    summary = objects[-1] if objects else {}
    expect("summary", {"preview": False, "deleted": 2, "exit_status": 0, "warnings": []},
           {key: summary.get(key) for key in ["preview", "deleted", "exit_status", "warnings"]})
    sweep = summary.get("sweeps", [{}])[0]
    expect("sweep", (None, folder, 2, 20, 1, None),
           (sweep.get("rule"), sweep.get("folder"), sweep.get("deleted"), sweep.get("bytes"),
            sweep.get("not_deleted", {}).get("read-only"), sweep.get("error")))

    # /Silent keeps the error box away; the error is said on standard error all the same.
    locked = "Run-time error '75': Path/File access error: %s\\locked\\logs: Access denied" % (
        folder)
    status, objects, errors = run("/DeleteAfterDays=7", "/Path=%s\\locked\\logs" % folder,
                                  "/Json", "/Silent")
    expect("failed sweep: exit status and lines", (1, 1), (status, len(objects)))
    expect("failed sweep: summary", (1, locked),
           (objects[0]["exit_status"], objects[0]["sweeps"][0]["error"]) if objects else None)
    expect("failed sweep: standard error", [locked], errors)
finally:
    subprocess.run(["chmod", "-R", "u+rwx", root])
    subprocess.run(["rm", "-rf", root])
finish("JSON report under Wine")
