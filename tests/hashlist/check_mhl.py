#!/usr/bin/env python3
"""Checks a folder against the MHL 1.1 hash list in it, sharing no code with the program:
the XML is read with Python's standard library, the xxHash64 of each file comes from xxhsum.
Prints each finding and exits 1 when anything differs, 0 when every listed file matches."""
import glob
import os
import subprocess
import sys
import xml.etree.ElementTree as ET


def main(folder):
    lists = sorted(glob.glob(os.path.join(folder, "*.mhl")))
    if not lists:
        print("no hash list in", folder)
        return 1
    root = ET.parse(lists[-1]).getroot()
    findings = []
    if root.tag != "hashlist" or root.get("version") != "1.1":
        findings.append("root is not <hashlist version=\"1.1\">")
    for tag in ("username", "hostname", "tool", "startdate", "finishdate"):
        if root.find("creatorinfo/" + tag) is None:
            findings.append("creatorinfo lacks " + tag)
    entries = root.findall("hash")
    if not entries:
        findings.append("no files listed")
    for entry in entries:
        children = [child.tag for child in entry]
        if children != ["file", "size", "lastmodificationdate", "xxhash64be", "hashdate"]:
            findings.append("unexpected elements: %s" % children)
            continue
        name = entry.findtext("file")
        path = os.path.join(folder, name)
        if not os.path.isfile(path):
            findings.append(name + ": missing")
            continue
        if os.path.getsize(path) != int(entry.findtext("size")):
            findings.append(name + ": size differs")
        for date in ("lastmodificationdate", "hashdate"):
            if not entry.findtext(date).endswith("Z"):
                findings.append(name + ": " + date + " is not UTC")
        out = subprocess.run(["xxhsum", "-H64", path], capture_output=True, text=True, check=True).stdout
        if out.split()[0] != entry.findtext("xxhash64be"):
            findings.append(name + ": xxhash64be differs")
    for finding in findings:
        print(finding)
    return 1 if findings else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
