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
import re
import shutil
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
    if not demo.env.get("DISPLAY") and not demo.env.get("WAYLAND_DISPLAY"):
        demo.env.setdefault("QT_QPA_PLATFORM", "offscreen")


STEPS = [write_settings, write_sample_company, install_test_kit, headless_without_display]


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
