"""Sums the GoogleTest XML reports and the *.count files of one tools/test run
into the closing line "N passed, N failed", listing what failed."""
import glob
import os
import sys
import xml.etree.ElementTree as ElementTree


def main(results_dir):
    passed = failed = 0
    for report in sorted(glob.glob(os.path.join(results_dir, "*.xml"))):
        suite = os.path.basename(report)[:-4]
        try:
            root = ElementTree.parse(report).getroot()
        except ElementTree.ParseError:
            print(f"{suite}: unreadable report")
            failed += 1
            continue
        for case in root.iter("testcase"):
            if case.get("result", "completed") == "skipped" or case.get("status") == "notrun":
                continue
            if case.find("failure") is not None or case.find("error") is not None:
                failed += 1
                print(f"FAILED {suite}: {case.get('classname')}.{case.get('name')}")
            else:
                passed += 1
    for count_file in sorted(glob.glob(os.path.join(results_dir, "*.count"))):
        with open(count_file) as counts:
            good, bad = (int(value) for value in counts.read().split())
        passed += good
        failed += bad
        if bad:
            print(f"FAILED {os.path.basename(count_file)[:-6]}: {bad}")
    print(f"{passed} passed, {failed} failed")
    return 1 if failed or passed == 0 else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
