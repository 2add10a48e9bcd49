#!/usr/bin/env python3
"""The full first installation and the full update of a generated release over loopback, against
curl fetching the same files into place one after the other (and flushing them to disk, as our
writer does). Prints the two rows as JSON lines for bench-table.py.

  install-bench.py --build BUILD --work WORK [--runs N]

The first release is the sample release 1 with generated programs and support files added (500
files); the next one changes 100 of them. Both are published with tlpublish and served by one
tlserve; tlinstall runs unattended (--answers sample/answers.ini) on a fresh machine prefix for
each installation, and on a copy of an installed prefix for each update. The files curl fetches
are exactly those the warm-up run of tlinstall asked the server for (the manifest included).
"""

import argparse
import json
import os
import re
import shutil
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
PASSWORDS = b"MasterPassword=Quartz-Lantern-2025\nAttorneyPassword=Brief&Gavel7\nStaffPassword=Docket-Clerk-19\n"


def run(argv, **kwargs):
    subprocess.run(argv, check=True, stdout=subprocess.DEVNULL, **kwargs)


class Server:
    """tlserve on a free loopback port, its requests logged to a file."""

    def __init__(self, tlserve, folder, log):
        self.log = log
        self.out = open(log, "w", encoding="utf-8")
        self.process = subprocess.Popen([tlserve, folder, "--port", "0", "--bind", "127.0.0.1"],
                                        stdout=self.out, stderr=subprocess.STDOUT)
        deadline = time.time() + 30
        self.url = None
        while self.url is None and time.time() < deadline:
            with open(log, encoding="utf-8") as text:
                match = re.match(r"Serving .* at (http://\S+)", text.readline())
            if match:
                self.url = match.group(1)
            else:
                time.sleep(0.02)
        if self.url is None:
            sys.exit("install-bench.py: tlserve did not start")

    def requests_since(self, offset):
        """The paths of the successful GETs logged after offset, and the new offset."""
        with open(self.log, encoding="utf-8") as text:
            text.seek(offset)
            lines = text.read()
            end = text.tell()
        paths = [m.group(1) for m in re.finditer(r"^GET (\S+) 200 ", lines, re.M)]
        return paths, end

    def offset(self):
        return os.path.getsize(self.log)

    def stop(self):
        self.process.terminate()
        self.process.wait()
        self.out.close()


def tlinstall(build, prefix, url):
    environment = dict(os.environ, TALLYMAR_PREFIX=prefix, TALLYMAR_FILE_SERVER=url)
    start = time.perf_counter()
    subprocess.run([os.path.join(build, "wizard", "tlinstall"), "--answers",
                    os.path.join(ROOT, "sample", "answers.ini"), "--password-stdin"],
                   input=PASSWORDS, env=environment, check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)
    return time.perf_counter() - start


def copy_prefix(source, target):
    """A machine prefix as it is: files with their times, links, and the named pipes of its events."""
    run(["cp", "-a", source, target])


def curl_into_place(server, paths, folder):
    """curl fetching each path into folder, one after the other on one connection, then every file
    flushed to disk; returns the wall time."""
    if os.path.exists(folder):
        shutil.rmtree(folder)
    os.makedirs(folder)
    config = folder + ".curl"
    outputs = []
    with open(config, "w", encoding="utf-8") as listing:
        for path in paths:
            output = os.path.join(folder, path.lstrip("/"))
            outputs.append(output)
            listing.write('url = "%s"\noutput = "%s"\n' % (server.url.rstrip("/") + path, output))
    start = time.perf_counter()
    run(["curl", "-s", "-f", "--create-dirs", "-K", config])
    run(["sync"] + outputs)
    seconds = time.perf_counter() - start
    shutil.rmtree(folder)
    os.unlink(config)
    return seconds


def make_releases(build, work):
    releases = os.path.join(work, "releases")
    first = os.path.join(releases, "first")
    second = os.path.join(releases, "next")
    sample = os.path.join(build, "sample")
    generator = os.path.join(HERE, "make-release.py")
    os.makedirs(releases, exist_ok=True)
    run([sys.executable, generator, first, "--base", os.path.join(sample, "release-1"),
         "--program", os.path.join(sample, "libsample_state_ca.so"), "--modules", "24", "--support-files", "457"])
    run([sys.executable, generator, second, "--next-of", first, "--changed", "100",
         "--program", os.path.join(sample, "libsample_state_tx_2.so")])
    www = os.path.join(work, "www")
    if os.path.exists(www):
        shutil.rmtree(www)
    os.makedirs(www)
    publish = os.path.join(build, "tools", "publish", "tlpublish")
    run([publish, first, os.path.join(www, "first")])
    run([publish, second, os.path.join(www, "next")])
    run([publish, os.path.join(sample, "release-1"), os.path.join(www, "sample")])
    count = len([n for n in os.listdir(first) if n != "release.ini"])
    size = sum(os.path.getsize(os.path.join(first, n)) for n in os.listdir(first))
    return www, count, size


def row(id, title, ours, peer, remark, notes=()):
    return {"id": id, "title": title, "unit": "s",
            "ours": {"name": "tlinstall --answers", "values": ours},
            "peers": [{"name": "curl, the same files one after the other, then sync", "values": peer}],
            "targets": [{"peer": "curl, the same files one after the other, then sync", "op": "<=", "ratio": 1.2}],
            "notes": list(notes), "remark": remark}


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--runs", type=int, default=5)
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    work = os.path.abspath(args.work)
    os.makedirs(work, exist_ok=True)
    www, count, size = make_releases(build, work)
    server = Server(os.path.join(build, "tools", "serve", "tlserve"), www, os.path.join(work, "tlserve.log"))
    first_url = server.url + "first/"
    next_url = server.url + "next/"
    try:
        # Warm-up: the installation that every update starts from, and the requests to repeat.
        installed = os.path.join(work, "installed")
        shutil.rmtree(installed, ignore_errors=True)
        offset = server.offset()
        tlinstall(build, installed, first_url)
        install_paths, offset = server.requests_since(offset)
        updated = os.path.join(work, "updated")
        shutil.rmtree(updated, ignore_errors=True)
        copy_prefix(installed, updated)
        tlinstall(build, updated, next_url)
        update_paths, offset = server.requests_since(offset)

        ours_install, peer_install, ours_update, peer_update, fixed = [], [], [], [], []
        prefix = os.path.join(work, "prefix")
        for _ in range(max(args.runs, 5)):
            # What an installation costs besides its files: the sample release's 19 files alone.
            shutil.rmtree(prefix, ignore_errors=True)
            fixed.append(tlinstall(build, prefix, server.url + "sample/"))
            shutil.rmtree(prefix, ignore_errors=True)
            ours_install.append(tlinstall(build, prefix, first_url))
            shutil.rmtree(prefix)
            peer_install.append(curl_into_place(server, install_paths, os.path.join(work, "curl")))
            copy_prefix(installed, prefix)
            ours_update.append(tlinstall(build, prefix, next_url))
            shutil.rmtree(prefix)
            peer_update.append(curl_into_place(server, update_paths, os.path.join(work, "curl")))
    finally:
        server.stop()
    print(json.dumps(row("install", "full first installation of a %d-file generated release (%.0f MB)"
                         % (count, size / 1e6), ours_install, peer_install,
                         "tlinstall fetched %d files (the manifest included); the installation also makes "
                         "the databases, the share, the links and imports the reference data" % len(install_paths),
                         [{"name": "s, the sample release of 19 files alone (databases, import, share, links)",
                           "values": fixed}])))
    print(json.dumps(row("update", "full update of that release with 100 files changed", ours_update, peer_update,
                         "tlinstall fetched %d files (the manifest included) and compared all %d" % (len(update_paths), count))))
    shutil.rmtree(os.path.join(work, "installed"), ignore_errors=True)
    shutil.rmtree(os.path.join(work, "updated"), ignore_errors=True)


if __name__ == "__main__":
    main()
