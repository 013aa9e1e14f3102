#!/usr/bin/env python3
"""Runs the converter against a local stand-in of the cloud service.

    python3 tools/demo/run_demo.py --build build [arguments for the converter]

Starts the cloud stand-in on 127.0.0.1 with a demo user and two cloud
companies, writes a settings folder (settings.ini pointing at the stand-in)
and a registry file naming it, prints the demo user's e-mail and password,
runs the converter and stops the stand-in when it ends. Arguments it does not
know go to the converter.

To add a step (a generated sample company, say), write a function that takes
the Demo and changes it (converter_args, env), and add it to STEPS.
"""
import argparse
import json
import os
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


def headless_without_display(demo):
    if not demo.env.get("DISPLAY") and not demo.env.get("WAYLAND_DISPLAY"):
        demo.env.setdefault("QT_QPA_PLATFORM", "offscreen")


STEPS = [write_settings, headless_without_display]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", required=True, help="the build folder")
    args, converter_args = parser.parse_known_args()
    converter = Path(args.build) / "app" / "molnix_converter"
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
            return subprocess.call([str(converter)] + demo.converter_args, env=demo.env)
        finally:
            standin.terminate()
            standin.wait()


if __name__ == "__main__":
    sys.exit(main())
