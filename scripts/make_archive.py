#!/usr/bin/env python3
"""Writes a release archive whose bytes depend only on the files put in.

  make_archive.py OUT.tar.gz|OUT.zip TOP_FOLDER NAME=PATH...

Each NAME=PATH puts the file or folder PATH into the archive as
TOP_FOLDER/NAME. Entries are sorted; every entry gets the time
SOURCE_DATE_EPOCH, owner root, and mode 755 (executables and folders) or
644, so two runs over the same files give the same archive.
"""
import gzip
import io
import os
import sys
import tarfile
import time
import zipfile


def entries(top, specs):
    """(archive name, path on disk) of every file and folder, sorted."""
    out = {}
    for spec in specs:
        name, _, path = spec.partition("=")
        if not path:
            sys.exit(f"make_archive: expected NAME=PATH, got {spec!r}")
        if not os.path.exists(path):
            sys.exit(f"make_archive: {path} does not exist")
        out[f"{top}/{name}"] = path
        if os.path.isdir(path):
            for folder, dirs, files in os.walk(path):
                for item in dirs + files:
                    full = os.path.join(folder, item)
                    out[f"{top}/{name}/{os.path.relpath(full, path)}"] = full
    parents = {}
    for arcname in out:
        parts = arcname.split("/")
        for i in range(1, len(parts)):
            parents.setdefault("/".join(parts[:i]), None)
    for parent in parents:
        out.setdefault(parent, None)  # a folder of the layout only
    return sorted(out.items())


def mode_of(path):
    if path is None or os.path.isdir(path) or os.access(path, os.X_OK):
        return 0o755
    return 0o644


def write_tar(out, items, epoch):
    data = io.BytesIO()
    with tarfile.open(fileobj=data, mode="w", format=tarfile.GNU_FORMAT) as tar:
        for arcname, path in items:
            is_dir = path is None or os.path.isdir(path)
            info = tarfile.TarInfo(arcname + ("/" if is_dir else ""))
            info.mtime, info.mode = epoch, mode_of(path)
            info.uid = info.gid = 0
            info.uname = info.gname = "root"
            if is_dir:
                info.type = tarfile.DIRTYPE
                tar.addfile(info)
            else:
                info.size = os.path.getsize(path)
                with open(path, "rb") as f:
                    tar.addfile(info, f)
    with open(out, "wb") as raw:
        with gzip.GzipFile(filename="", mode="wb", fileobj=raw, mtime=epoch, compresslevel=9) as gz:
            gz.write(data.getvalue())


def write_zip(out, items, epoch):
    # Zip times have no zone and start in 1980.
    stamp = time.gmtime(max(epoch, 315532800))[:6]
    with zipfile.ZipFile(out, "w") as z:
        for arcname, path in items:
            is_dir = path is None or os.path.isdir(path)
            info = zipfile.ZipInfo(arcname + ("/" if is_dir else ""), stamp)
            info.create_system = 3  # Unix, so that the modes below count
            info.external_attr = ((0o040000 if is_dir else 0o100000) | mode_of(path)) << 16
            if is_dir:
                z.writestr(info, b"")
            else:
                info.compress_type = zipfile.ZIP_DEFLATED
                with open(path, "rb") as f:
                    z.writestr(info, f.read(), compresslevel=9)


def main():
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    out, top = sys.argv[1], sys.argv[2]
    epoch = int(os.environ.get("SOURCE_DATE_EPOCH", "0"))
    items = entries(top, sys.argv[3:])
    if out.endswith(".tar.gz"):
        write_tar(out, items, epoch)
    elif out.endswith(".zip"):
        write_zip(out, items, epoch)
    else:
        sys.exit(f"make_archive: {out}: neither .tar.gz nor .zip")


main()
