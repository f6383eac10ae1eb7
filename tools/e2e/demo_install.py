#!/usr/bin/env python3
"""The README's main command: a default installation of the demo product, from a real
server on loopback, by a click on the install button of the real installer under Wine.

Prints the pages it saw (screenshots saved), the files installed, the registry record and
the analytics records the collector received. Everything it starts stops at the end.

  python3 tools/e2e/demo_install.py [--own-display] [--out FOLDER]
"""

import argparse
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402

RECORD_KEY = r"HKCU\Software\QuillonSoft\lumivoxApp"


def wine(*arguments, env=None):
    return subprocess.run([harness.WINE64] + list(arguments), env=env, capture_output=True, text=True,
                          timeout=60).stdout


def registry_value(name):
    output = wine("reg", "query", RECORD_KEY, "/v", name)
    for line in output.splitlines():
        parts = line.split(None, 2)
        if len(parts) == 3 and parts[0] == name:
            return parts[2].strip()
    return None


def unix_path(windows):
    return wine("winepath", "-u", windows).strip()


def forget_earlier_installation():
    """A previous run's record would turn this run into an update."""
    folder = registry_value("InstallPath")
    wine("reg", "delete", RECORD_KEY, "/f")
    if folder:
        subprocess.run(["rm", "-rf", unix_path(folder)])


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--own-display", action="store_true", help="use $DISPLAY instead of an Xvfb of its own")
    parser.add_argument("--out", default=os.path.join(harness.ROOT, "build", "demo-install"))
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    work = tempfile.mkdtemp(prefix="lumivox-demo-", dir=args.out)
    forget_earlier_installation()

    with harness.Stack(work) as stack, harness.Display(use_own=args.own_display) as display:
        installer = harness.Installer(work, stack, display).start()
        try:
            installer.main_window()
            time.sleep(1.0)
            print("page: home           ", installer.screenshot("1-home"))
            installer.click_control("defaultInstallBtn")
            if not installer.wait_trace("DL_CODE_START", 30):
                raise RuntimeError("the download did not start; trace in %s" % installer.trace_path)
            time.sleep(0.5)
            print("page: installing     ", installer.screenshot("2-installing"))
            if not installer.wait_trace("INSTALL_SUCCESS", 120):
                raise RuntimeError("the installation did not succeed; trace in %s" % installer.trace_path)
            time.sleep(1.0)
            print("page: finished       ", installer.screenshot("3-finished"))
            installer.click_control("closebtn")
            code = installer.wait_exit(30)
            print("installer exit code: ", code)
        finally:
            installer.kill()

        folder = registry_value("InstallPath")
        print("registry record:      InstallPath=%s" % folder)
        print("                      UnInstallEp=%s" % registry_value("UnInstallEp"))
        if folder:
            local = unix_path(folder)
            print("files installed in    %s (%s)" % (folder, local))
            for name in sorted(os.listdir(local)) if os.path.isdir(local) else []:
                print("   ", name)
        print("analytics records received by the collector:")
        for record in stack.records():
            properties = record.get("properties", {})
            detail = properties.get("ql_task_name") or properties.get("ql_name") or ""
            print("   ", record.get("type"), record.get("event", ""), detail)
    print("screenshots and logs: %s" % work)
    return 0 if code == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
