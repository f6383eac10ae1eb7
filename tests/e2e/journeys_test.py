"""The journeys a person takes with the real installer: the 64-bit build under Wine on an
Xvfb display, against nginx serving the demo package and the loopback collector. Clicks are
real X events (xdotool); pages and dialogs are read from the installer's trace lines and
saved as screenshots under build/x86_64/e2e/."""

import os
import shutil
import subprocess
import sys
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(ROOT, "tools", "e2e"))
import harness  # noqa: E402

OUT = os.path.join(ROOT, "build", "x86_64", "e2e")
RECORD_KEY = r"HKCU\Software\QuillonSoft\lumivoxApp"
# Points inside the dialogs (their layouts' button positions).
NETWORK_TIP_RETRY = (306, 146)
INSTALLED_TIP_UPDATE = (318, 146)

APPDATA_LOCAL = None


def wine(*arguments):
    return subprocess.run([harness.WINE64] + list(arguments), capture_output=True, text=True, timeout=60).stdout


def unix_path(windows):
    return wine("winepath", "-u", windows).strip()


def registry_value(name):
    for line in wine("reg", "query", RECORD_KEY, "/v", name).splitlines():
        parts = line.split(None, 2)
        if len(parts) == 3 and parts[0] == name:
            return parts[2].strip()
    return None


def profile_folder():
    users = os.path.join(os.environ["WINEPREFIX"], "drive_c", "users")
    return os.path.join(users, os.listdir(users)[0] if "root" not in os.listdir(users) else "root")


def analytics_data_folder():
    return os.path.join(profile_folder(), "AppData", "Local", "QLLocal", "lumivoxApp.downloader")


def forget_installations():
    """Each journey starts on a machine without the product."""
    folder = registry_value("InstallPath")
    wine("reg", "delete", RECORD_KEY, "/f")
    if folder:
        shutil.rmtree(unix_path(folder), ignore_errors=True)
    shutil.rmtree(analytics_data_folder(), ignore_errors=True)


def leftover_packages():
    """Package files anywhere a default or custom installation could have put one."""
    found = []
    drive = os.path.join(os.environ["WINEPREFIX"], "drive_c")
    for top in ("Program Files", "Program Files (x86)", "users"):
        for folder, _, files in os.walk(os.path.join(drive, top)):
            found += [os.path.join(folder, f) for f in files if f.startswith("__Package_")]
    return found


class Journey(unittest.TestCase):
    def setUp(self):
        forget_installations()
        self.addCleanup(forget_installations)
        self.work = os.path.join(OUT, self.id().split(".")[-1])
        shutil.rmtree(self.work, ignore_errors=True)
        os.makedirs(self.work)
        self.stack = harness.Stack(self.work).__enter__()
        self.addCleanup(self.stack.__exit__, None, None, None)
        self.display = harness.Display().__enter__()
        self.addCleanup(self.display.__exit__, None, None, None)

    def installer(self, name="installer", **options):
        installer = harness.Installer(self.work, self.stack, self.display, name=name, **options)
        self.addCleanup(installer.kill)
        return installer.start()

    def wait_for(self, installer, fragment, timeout=60):
        self.assertTrue(installer.wait_trace(fragment, timeout),
                        "no trace %r within %d s; see %s" % (fragment, timeout, installer.trace_path))

    def install_by_default(self, installer):
        installer.main_window()
        installer.screenshot("home")
        installer.click_control("defaultInstallBtn")
        self.wait_for(installer, "page 2", 30)
        installer.screenshot("installing")
        self.wait_for(installer, "INSTALL_SUCCESS", 120)
        self.wait_for(installer, "page 3", 30)
        installer.screenshot("finished")

    def close_finished(self, installer):
        installer.click_control("closebtn")
        self.assertEqual(installer.wait_exit(30), 0)

    def events(self):
        """(type, event, task or click name) of every record the collector accepted."""
        found = []
        for record in self.stack.records():
            properties = record.get("properties", {})
            name = properties.get("ql_task_name") or properties.get("ql_name")
            found.append((record.get("event"), name))
        return found


class InstallJourneys(Journey):
    def test_01_first_installation_by_the_install_button(self):
        installer = self.installer()
        self.install_by_default(installer)
        self.close_finished(installer)

        folder = registry_value("InstallPath")
        self.assertTrue(folder, "no registry record")
        local = unix_path(folder)
        for name in ("lumivoxApp.exe", "uninst.ep", "set.ini", "config.ini"):
            self.assertTrue(os.path.exists(os.path.join(local, name)), name)
        self.assertFalse(os.path.exists(os.path.join(local, "__Package_lumivoxApp.exe")), "package file left")
        self.assertEqual(registry_value("UnInstallEp"), folder + "\\uninst.ep")
        with open(os.path.join(local, "config.ini"), "rb") as config:
            self.assertIn(b"Language=", config.read())

        names = [name for _, name in self.events()]
        # In the order they happen: the click, the installing page, then the download.
        expected = ["立即安装", "安装中", "下载器启动", "开始下载大包", "大包下载完毕", "安装成功"]
        positions = [names.index(name) if name in names else -1 for name in expected]
        self.assertNotIn(-1, positions, names)
        self.assertEqual(positions, sorted(positions), names)

    def test_02_custom_folder_with_blanks_and_chinese_without_shortcuts(self):
        installer = self.installer()
        installer.main_window()
        installer.click_control("customeBtn")
        self.wait_for(installer, "page 1", 30)
        folder = "C:\\Program Files\\语音 工具"
        installer.click(installer.window, 320, 164)
        installer.xdotool("key", "--window", installer.window, "ctrl+a")
        installer.xdotool("type", "--window", installer.window, "--delay", "30", folder)
        installer.click(installer.window, 177, 209)
        installer.click(installer.window, 327, 209)
        installer.screenshot("custom")
        installer.click_control("customeInstallBtn")
        self.wait_for(installer, "INSTALL_SUCCESS", 120)
        self.wait_for(installer, "page 3", 30)
        self.close_finished(installer)

        with open(installer.demo_log, encoding="utf-8") as log:
            package_line = [line for line in log if line.startswith("package")][-1]
        target = folder + "\\lumivoxApp"
        self.assertIn("-dsc=false -ssc=false", package_line)
        self.assertIn('-instdir="%s"' % target, package_line)
        self.assertTrue(package_line.rstrip().endswith("/D=" + target), package_line)

    def test_03_update_started_by_the_product(self):
        first = self.installer("first")
        self.install_by_default(first)
        self.close_finished(first)
        folder = registry_value("InstallPath")

        update = self.installer("update", arguments=["-insnew=true"])
        self.wait_for(update, "UNIST_CODE_SUCCESS", 60)
        self.wait_for(update, "INSTALL_SUCCESS", 120)
        self.wait_for(update, "page 3", 30)
        update.main_window()
        update.screenshot("update-finished")
        self.close_finished(update)

        with open(update.demo_log, encoding="utf-8") as log:
            roles = [line.split(" ", 1) for line in log]
        uninstall = [rest for role, rest in roles if role == "uninstaller"]
        self.assertEqual(len(uninstall), 1, roles)
        self.assertIn("lumivoxApp_un_asa.exe", uninstall[0])
        self.assertTrue(uninstall[0].rstrip().endswith("_?=" + folder), uninstall[0])
        order = [role for role, _ in roles]
        self.assertLess(order.index("uninstaller"), len(order) - 1 - order[::-1].index("package"))
        self.assertTrue(os.path.exists(os.path.join(unix_path(folder), "lumivoxApp.exe")))

    def test_04_every_download_type_installs(self):
        for download_type in ("1", "2", "3"):
            with self.subTest(download_type=download_type):
                forget_installations()
                installer = self.installer("type" + download_type, ini={"DownloadType": download_type})
                self.install_by_default(installer)
                self.close_finished(installer)
                self.assertTrue(registry_value("InstallPath"))


class FailureJourneys(Journey):
    def test_05_download_failure_then_retry_once_the_server_is_back(self):
        self.stack.stop_nginx()
        installer = self.installer()
        installer.main_window()
        installer.click_control("defaultInstallBtn")
        self.wait_for(installer, "DL_CODE_FAIL", 90)
        self.wait_for(installer, "show NetworkTipWnd.xml", 30)
        dialog = installer.find_window("消息框", 30)
        installer.screenshot("network-tip", dialog)
        self.stack.start_nginx()
        installer.click(dialog, *NETWORK_TIP_RETRY)
        self.wait_for(installer, "INSTALL_SUCCESS", 120)
        self.wait_for(installer, "page 3", 30)
        self.close_finished(installer)

    def test_06_package_whose_digest_does_not_match(self):
        installer = self.installer(ini={"DownloadUrl": self.stack.bad_digest_url})
        installer.main_window()
        installer.click_control("defaultInstallBtn")
        self.wait_for(installer, "DL_CODE_RETRY", 60)
        self.wait_for(installer, "DL_CODE_FAIL", 60)
        self.wait_for(installer, "show NetworkTipWnd.xml", 30)
        dialog = installer.find_window("消息框", 30)
        installer.screenshot("digest-failure", dialog)
        self.assertEqual(installer.trace().count("DL_CODE_START"), 2, "one retry")
        self.assertEqual(leftover_packages(), [])

    def test_07_package_reports_failure(self):
        installer = self.installer(ini={"InstCmd": "-demostate=fail"})
        installer.main_window()
        installer.click_control("defaultInstallBtn")
        self.wait_for(installer, "IST_CODE_FAIL", 120)
        self.wait_for(installer, "show MessageBox2Wnd.xml", 30)
        dialog = installer.find_window("消息框", 30)
        installer.screenshot("install-failed", dialog)
        installer.xdotool("key", "--window", dialog, "alt+F4")
        self.wait_for(installer, "page 0", 30)
        self.assertIsNone(registry_value("InstallPath"))


class ProcessJourneys(Journey):
    def test_08_second_installer_exits_at_once(self):
        first = self.installer("first")
        first.main_window()
        second = self.installer("second")
        self.assertEqual(second.wait_exit(30), 255)  # -1
        self.assertEqual(second.trace().count("settings url="), 0)
        first.screenshot("first-still-running")
        self.assertIsNone(first.process.poll())

    def test_09_analytics_switched_off(self):
        installer = self.installer(ini={"IsEnableAppAnalytics": "false"})
        self.install_by_default(installer)
        self.close_finished(installer)
        self.assertEqual(self.stack.requests(), [])
        self.assertFalse(os.path.exists(analytics_data_folder()))

    def test_10_records_wait_for_the_next_run_when_the_collector_is_down(self):
        os.makedirs(os.path.join(self.work, "down"))
        down = harness.Stack(os.path.join(self.work, "down"))
        down.__enter__()
        down_url = down.stats_url
        down.__exit__(None, None, None)  # nothing listens there any more

        first = self.installer("first", extra_env={"LUMIVOX_STATS_URL": down_url})
        self.install_by_default(first)
        self.close_finished(first)
        self.assertEqual(self.stack.requests(), [])

        # The next run has work of its own to deliver (the update the person accepts); the
        # records the first run staged go with it.
        second = self.installer("second")
        dialog = second.find_window("消息框", 30)  # the installed-version dialog
        second.screenshot("installed-version", dialog)
        second.click(dialog, *INSTALLED_TIP_UPDATE)
        self.wait_for(second, "INSTALL_SUCCESS", 120)
        self.wait_for(second, "page 3", 30)
        second.main_window()
        self.close_finished(second)
        names = [name for _, name in self.events()]
        self.assertEqual(names.count("安装成功"), 2, names)
        self.assertEqual(names.count("立即安装"), 1, names)  # clicked in the first run only


if __name__ == "__main__":
    unittest.main(verbosity=2)
