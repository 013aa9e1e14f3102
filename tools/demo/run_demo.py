#!/usr/bin/env python3
"""Runs the converter against a local stand-in of the cloud service.

    python3 tools/demo/run_demo.py --build build [--tour] [--screenshots DIR] [arguments for the converter]

Starts the cloud stand-in on 127.0.0.1 with a demo user and two cloud
companies, writes a settings folder (settings.ini pointing at the stand-in)
and a registry file naming it, generates the sample company with its
administration program, prints the demo user's e-mail and password, runs the
converter and stops the stand-in when it ends. Arguments it does not know go to
the converter.

On a display the user walks the wizard. With --tour, --screenshots, without a
display or with CI set, the guided tour (the converter with a guide, built as
tools/demo/molnix_converter_tour) walks it unattended: it logs in, chooses the
sample company, waits for the prepare step's report and cancels; with
--screenshots each window is saved there as a PNG. Without a display it runs
under xvfb-run, or on Qt's offscreen platform when xvfb-run is missing; it
never waits longer than --timeout seconds.

To add a step (a generated sample company, say), write a function that takes
the Demo and changes it (converter_args, env), and add it to STEPS.
"""
import argparse
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
from pathlib import Path

REPO = Path(__file__).resolve().parents[1].parent
STANDIN = REPO / "tools" / "cloud_standin" / "standin.py"
APP_PATHS_KEY = r"HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\MolnixConverter.exe"

DEMO_EMAIL = "demo@example.se"
DEMO_PASSWORD = "demo1234"
SAMPLE_ORG_NO = "556677-8899"  # the organisation number of the generated sample company

FIXTURE = {
    "users": [{
        "email": DEMO_EMAIL, "password": DEMO_PASSWORD, "firstName": "Demo", "lastName": "Användare",
        "companies": ["demo-1", "demo-2"],
    }],
    "companies": [
        {"id": "demo-1", "name": "Åsa Öberg AB", "registrationNumber": SAMPLE_ORG_NO, "countryId": "SE",
         "status": 1, "number": 1001},
        {"id": "demo-2", "name": "Bergets Bygg AB", "registrationNumber": "556123-4567", "countryId": "SE",
         "status": 1, "number": 1002},
    ],
}


class Demo:
    """What the steps build up: the work folder, the converter's arguments and environment."""

    def __init__(self, build, work, converter_args):
        self.build = Path(build)
        self.work = Path(work)
        self.converter_args = list(converter_args)
        self.env = dict(os.environ)
        self.base_url = None  # the stand-in's service directory
        self.company = None  # the sample company's folder
        self.program_folder = None  # the administration program's folder
        self.wrapper = []  # what the converter runs under (a virtual display)
        self.timeout = None  # seconds an unattended run may take


def start_standin(demo):
    fixture = demo.work / "cloud_fixture.json"
    fixture.write_text(json.dumps(FIXTURE, ensure_ascii=False), encoding="utf-8")
    process = subprocess.Popen([sys.executable, str(STANDIN), "--fixture", str(fixture), "--max-seconds", "86400"],
                               stdout=subprocess.PIPE, text=True)
    announced = json.loads(process.stdout.readline())
    demo.base_url = announced["baseUrl"]
    return process


def write_settings(demo):
    settings = demo.work / "settings"
    settings.mkdir()
    (settings / "settings.ini").write_text(
        "[SD]\nBaseUrl=%s\nCountryCode=SE\n\n[MLX]\nLogg=1\n" % demo.base_url, encoding="utf-8")
    registry = demo.work / "registry.reg"
    escaped = str(settings).replace("\\", "\\\\").replace('"', '\\"')
    registry.write_text("Windows Registry Editor Version 5.00\n\n[%s]\n\"InifilePath\"=\"%s\"\n"
                        % (APP_PATHS_KEY, escaped), encoding="utf-8")
    demo.env["MOLNIX_REGISTRY"] = str(registry)


def write_sample_company(demo):
    """The sample company, and the administration program that exports its SIE, named in the registry."""
    demo.company = demo.work / "Företag" / "Åsa Öberg AB"
    demo.program_folder = demo.work / "Tessal Administration"
    key = subprocess.run([str(demo.build / "tools" / "samplecompany" / "samplecompany"), "--out", str(demo.company),
                          "--program", str(demo.program_folder)], check=True, stdout=subprocess.PIPE, text=True).stdout
    with open(demo.env["MOLNIX_REGISTRY"], "a", encoding="utf-8") as registry:
        registry.write("\n" + key)


def install_test_kit(demo):
    """Our test kit as the development kit (Bix.dll) in the program folder the registry names."""
    registry = Path(demo.env["MOLNIX_REGISTRY"]).read_text(encoding="utf-8")
    key = re.search(r"^\[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\KolmAdm\.exe\]$"
                    r"(.*?)(?:^\[|\Z)", registry, re.MULTILINE | re.DOTALL | re.IGNORECASE)
    path = key and re.search(r'^"Path"="((?:[^"\\]|\\.)*)"$', key.group(1), re.MULTILINE | re.IGNORECASE)
    if not path:
        print("No administration program in the registry: the SIE files cannot be made.", file=sys.stderr)
        return
    folder = Path(re.sub(r"\\(.)", r"\1", path.group(1)))
    shutil.copyfile(demo.build / "tools" / "testkit" / "bix_testkit" / "Bix.dll", folder / "Bix.dll")


def headless_without_display(demo):
    """A virtual display for the wizard when there is no real one."""
    if demo.env.get("DISPLAY") or demo.env.get("WAYLAND_DISPLAY") or demo.env.get("QT_QPA_PLATFORM"):
        return
    if shutil.which("xvfb-run"):
        demo.wrapper = ["xvfb-run", "-a", "-s", "-screen 0 1280x1024x24"]
    else:
        demo.env["QT_QPA_PLATFORM"] = "offscreen"


STEPS = [write_settings, write_sample_company, install_test_kit, headless_without_display]


def unattended(args, env):
    return bool(args.tour or args.screenshots or env.get("CI")
                or not (env.get("DISPLAY") or env.get("WAYLAND_DISPLAY")))


def guide_the_tour(demo, screenshots):
    """What the guided tour types and chooses, and where it saves its pictures."""
    demo.env.update(MOLNIX_TOUR_EMAIL=DEMO_EMAIL, MOLNIX_TOUR_PASSWORD=DEMO_PASSWORD,
                    MOLNIX_TOUR_TARGET=SAMPLE_ORG_NO, MOLNIX_TOUR_SECONDS=str(demo.timeout - 10))
    if screenshots:
        demo.env["MOLNIX_TOUR_SHOTS"] = str(Path(screenshots).resolve())


def run_program(command, env, timeout):
    """Runs the program in a process group of its own, so that a hang ends with all of it."""
    process = subprocess.Popen(command, env=env, start_new_session=True)
    try:
        return process.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        os.killpg(process.pid, signal.SIGTERM)
        process.wait()
        print("The converter did not end within %d seconds and was stopped." % timeout, file=sys.stderr)
        return 1


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", required=True, help="the build folder")
    parser.add_argument("--tour", action="store_true", help="walk the wizard unattended")
    parser.add_argument("--screenshots", metavar="DIR", help="save each window of the tour as a PNG in DIR")
    parser.add_argument("--timeout", type=int, default=300, help="seconds before an unattended run is stopped")
    args, converter_args = parser.parse_known_args()
    guided = unattended(args, os.environ)
    converter = Path(args.build) / ("tools/demo/molnix_converter_tour" if guided else "app/molnix_converter")
    if not converter.exists():
        print("The converter is not built: %s is missing." % converter, file=sys.stderr)
        return 1

    with tempfile.TemporaryDirectory(prefix="molnix-demo-") as work:
        demo = Demo(args.build, work, converter_args)
        standin = start_standin(demo)
        try:
            for step in STEPS:
                step(demo)
            print("Molnix stand-in: %s" % demo.base_url)
            print("Log in with e-mail %s and password %s" % (DEMO_EMAIL, DEMO_PASSWORD), flush=True)
            command = demo.wrapper + [str(converter)] + demo.converter_args
            if not guided:
                return subprocess.call(command, env=demo.env)
            demo.timeout = args.timeout
            guide_the_tour(demo, args.screenshots)
            return run_program(command, demo.env, args.timeout)
        finally:
            standin.terminate()
            standin.wait()


if __name__ == "__main__":
    sys.exit(main())
