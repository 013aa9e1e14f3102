#!/usr/bin/env python3
"""Runs the converter against a local stand-in of the cloud service.

    python3 tools/demo/run_demo.py --build build [--company dbf|sql|vardo] [--tour] [--screenshots DIR]
                                   [arguments for the converter]

Starts the cloud stand-in on 127.0.0.1 with a demo user and two cloud
companies, writes a settings folder (settings.ini pointing at the stand-in)
and a registry file naming it, generates the three sample companies of one
organisation number - the DBF company with its administration program, the
SQL company (a SQLite database opened through unixODBC, with the build's
odbcinst.ini) in the same folder of companies, and the Vardo company with the
Vardo program and our database engine - all offered in the company choice,
prints the demo user's e-mail and password, runs the converter and stops the
stand-in when it ends. Arguments it does not know go to the converter.

--company names the sample company the tour converts. Without it an unattended
run converts each of the three in turn, each in a work folder and a stand-in of
its own, and checks each; by hand the user chooses in the wizard, and the
summary checks the company that arrived.

On a display the user walks the wizard; the converter runs with the tour,
which there only writes the report down for the summary. With --tour,
--screenshots, without a display or with CI set, the guided tour (the converter with a guide, built as
tools/demo/molnix_converter_tour) walks it unattended: it logs in, chooses the
sample company, waits for the prepare step's report, sends with "Skicka till
Molnix", answers "Ja" to the warnings and takes the completion message; the
address the converter then opens is printed, no browser starts. With
--screenshots each window is saved there as a PNG. Without a display it runs
under xvfb-run, or on Qt's offscreen platform when xvfb-run is missing; it
never waits longer than --timeout seconds.

When the converter has ended, a summary of what the stand-in received is
printed with its checks: every kind arrived and the import was completed, names
with å, ä and ö are intact, both SIE files arrived byte for byte as the test kit
(for the Vardo company: our database engine) wrote them, and every record of the
prepare step's report arrived or stands in it as refused. The exit code is 1
when a check of any company fails. With --screenshots and more than one company,
each company's windows go into a subfolder named by its choice (dbf, sql, vardo).

To add a step (a generated sample company, say), write a function that takes
the Demo and changes it (converter_args, env), and add it to STEPS.
"""
import argparse
import base64
import json
import os
import re
import shlex
import shutil
import signal
import subprocess
import sys
import tempfile
import urllib.request
from pathlib import Path

REPO = Path(__file__).resolve().parents[1].parent
STANDIN = REPO / "tools" / "cloud_standin" / "standin.py"
APP_PATHS_KEY = r"HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\MolnixConverter.exe"

DEMO_EMAIL = "demo@example.se"
DEMO_PASSWORD = "demo1234"
SAMPLE_ORG_NO = "556677-8899"  # the organisation number of the generated sample company
SAMPLE_COMPANY = "Åsa Öberg AB"
SAMPLE_SQL_COMPANY = "Åkerbergs Järn & Trä AB"  # the sample SQL company, in the same folder of companies
SAMPLE_VARDO_COMPANY = "Märta Åkesson Bygg AB"  # the sample Vardo company, listed beside them

FIXTURE = {
    "users": [{
        "email": DEMO_EMAIL, "password": DEMO_PASSWORD, "firstName": "Demo", "lastName": "Användare",
        "companies": ["demo-1", "demo-2"],
    }],
    "companies": [
        {"id": "demo-1", "name": SAMPLE_COMPANY, "registrationNumber": SAMPLE_ORG_NO, "countryId": "SE",
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
        self.temp = None  # the converter's temp folder: its log
        self.sie_copies = None  # the test kit's copies of the SIE files it wrote
        self.report = self.work / "report.txt"  # the prepare step's report, as the tour writes it down
        self.opened = self.work / "opened.txt"  # the web addresses the converter opened in the tour
        self.sample = DBF_SAMPLE  # the sample company converted; None until known when the user chooses


def start_standin(demo):
    fixture = demo.work / "cloud_fixture.json"
    fixture.write_text(json.dumps(FIXTURE, ensure_ascii=False), encoding="utf-8")
    process = subprocess.Popen([sys.executable, str(STANDIN), "--fixture", str(fixture), "--max-seconds", "86400"],
                               stdout=subprocess.PIPE, text=True)
    announced = json.loads(process.stdout.readline())
    demo.base_url = announced["baseUrl"]
    return process


def own_temp_folder(demo):
    """The converter's temp folder inside the work folder, where its log stays; the test kit and our Vardo
    engine keep a copy of each SIE file they write beside it (the converter removes its own work folders
    when it ends)."""
    demo.temp = demo.work / "tmp"
    demo.temp.mkdir()
    demo.env["TMPDIR"] = str(demo.temp)
    demo.sie_copies = demo.work / "sie-written"
    demo.sie_copies.mkdir()
    demo.env["BIXKIT_COPY_TO"] = str(demo.sie_copies)
    demo.env["VARDO_ENGINE_COPY_TO"] = str(demo.sie_copies)


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
    # The stand-in is new each run: what the converter remembers of its imports stays with it.
    demo.env["MOLNIX_DATA_HOME"] = str(demo.work / "userdata")


def write_sample_company(demo):
    """The sample company, and the administration program that exports its SIE, named in the registry."""
    demo.company = demo.work / "Företag" / SAMPLE_COMPANY
    demo.program_folder = demo.work / "Tessal Administration"
    key = subprocess.run([str(demo.build / "tools" / "samplecompany" / "samplecompany"), "--out", str(demo.company),
                          "--program", str(demo.program_folder)], check=True, stdout=subprocess.PIPE, text=True).stdout
    with open(demo.env["MOLNIX_REGISTRY"], "a", encoding="utf-8") as registry:
        registry.write("\n" + key)


def write_sample_sql_company(demo):
    """The sample SQL company beside the DBF one, in the administration program's folder of companies; its data
    model goes into the program's folder."""
    subprocess.run([str(demo.build / "tools" / "samplecompany" / "samplecompany"),
                    "--sql-out", str(demo.work / "Företag" / SAMPLE_SQL_COMPANY), "--program", str(demo.program_folder)],
                   check=True, env=demo.env)


def write_sample_vardo_company(demo):
    """A sample company of the Vardo line with the same organisation number, and the Vardo program that reads it:
    our database engine installed in the program folder its registry names. The company choice lists it
    beside the administration company."""
    vardo_company = demo.work / "Vardo" / "Företag" / SAMPLE_VARDO_COMPANY
    key = subprocess.run([str(demo.build / "tools" / "samplecompany" / "samplecompany"), "--vardo",
                          "--out", str(vardo_company), "--program", str(demo.work / "Tessal Vardo"),
                          "--engine", str(demo.build / "sources" / "vardo" / "engine" / "program")],
                         check=True, stdout=subprocess.PIPE, text=True).stdout
    with open(demo.env["MOLNIX_REGISTRY"], "a", encoding="utf-8") as registry:
        registry.write("\n" + key)


def odbc_drivers(demo):
    """The build's odbcinst.ini, which registers the SQLite driver under the SQL Server driver's name: the SQL
    company opens through it, in the generator and in the converter."""
    demo.env["ODBCSYSINI"] = str((demo.build / "odbc").resolve())


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


STEPS = [own_temp_folder, write_settings, odbc_drivers, write_sample_company, write_sample_sql_company,
         write_sample_vardo_company, install_test_kit, headless_without_display]


def unattended(args, env):
    return bool(args.tour or args.screenshots or env.get("CI")
                or not (env.get("DISPLAY") or env.get("WAYLAND_DISPLAY")))


def guide_the_tour(demo, screenshots):
    """What the guided tour types and chooses, that it sends, and where it saves its pictures."""
    demo.env.update(MOLNIX_TOUR_EMAIL=DEMO_EMAIL, MOLNIX_TOUR_PASSWORD=DEMO_PASSWORD,
                    MOLNIX_TOUR_TARGET=SAMPLE_ORG_NO, MOLNIX_TOUR_SOURCE=demo.sample["name"],
                    MOLNIX_TOUR_SECONDS=str(demo.timeout - 10),
                    MOLNIX_TOUR_SEND="1", MOLNIX_TOUR_REPORT=str(demo.report))
    if screenshots:
        demo.env["MOLNIX_TOUR_SHOTS"] = str(Path(screenshots).resolve())
    write_down_opened_addresses(demo)


def watch_the_user(demo):
    """The user walks the wizard; the tour only writes the report down for the summary."""
    demo.env.update(MOLNIX_TOUR_WATCH="1", MOLNIX_TOUR_REPORT=str(demo.report))


OPENER_SCRIPT = """#!/bin/sh
printf '%%s\\n' "$1" >> %s
printf 'browser: %%s\\n' "$1"
"""


def write_down_opened_addresses(demo):
    """An xdg-open ahead of the real one on the PATH: the address is written down and printed, no browser starts."""
    folder = demo.work / "bin"
    folder.mkdir(exist_ok=True)
    opener = folder / "xdg-open"
    opener.write_text(OPENER_SCRIPT % shlex.quote(str(demo.opened)), encoding="utf-8")
    opener.chmod(0o755)
    demo.env["PATH"] = str(folder) + os.pathsep + demo.env.get("PATH", os.defpath)


# The record kinds as the stand-in names them, with the word the prepare step's report counts them in.
RECORD_KINDS = [
    ("companySettings", "Företagsuppgifter"), ("deliveryTerms", "leveransvillkor"),
    ("deliveryMethods", "leveranssätt"), ("customers", "kunder"), ("suppliers", "leverantörer"),
    ("articles", "artiklar"), ("customerLedgerItems", "kundreskontraposter"),
    ("supplierLedgerItems", "leverantörsreskontraposter"),
]
SIE_FILES = [("currentYear", "SIE.SE"), ("previousYear", "SIEPREV.SE")]
# What a sample company is checked against: its choice on the command line, its name, the names that must
# arrive as they were written (å, ä and ö included), and what writes its SIE files.
DBF_SAMPLE = {
    "choice": "dbf",
    "name": SAMPLE_COMPANY,
    "swedish_names": [
        ("companySettings", "name", "Åsa Öberg AB"), ("companySettings", "city", "Göteborg"),
        ("deliveryTerms", "name", "Fritt vårt lager"), ("deliveryMethods", "code", "HÄMT"),
        ("customers", "name", "Öbergs Skruv AB"), ("suppliers", "name", "Järnhandel i Västerås AB"),
        ("articles", "name", "Målning av fönsterbåge"), ("customerLedgerItems", "customerName", "Byggbolaget Väst AB"),
        ("supplierLedgerItems", "supplierName", "Öberg Grossist AB"),
    ],
    "sie_maker": "the test kit",
}
SQL_SAMPLE = {
    "choice": "sql",
    "name": SAMPLE_SQL_COMPANY,
    "swedish_names": [
        ("companySettings", "name", SAMPLE_SQL_COMPANY), ("companySettings", "city", "Östersund"),
        ("deliveryTerms", "name", "Fritt vårt lager"), ("deliveryMethods", "name", "Egen bil, Åre"),
        ("customers", "name", "Sundqvists Gångjärn AB"), ("suppliers", "name", "Öckerö Åkeri AB"),
        ("articles", "name", "Städning, RUT"), ("customerLedgerItems", "customerName", "Byggbolaget Väst AB"),
        ("supplierLedgerItems", "supplierName", "Järnhandel i Västerås AB"),
    ],
    "sie_maker": "the test kit",
}
VARDO_SAMPLE = {
    "choice": "vardo",
    "name": SAMPLE_VARDO_COMPANY,
    "swedish_names": [
        ("companySettings", "name", SAMPLE_VARDO_COMPANY), ("companySettings", "city", "Göteborg"),
        ("deliveryTerms", "name", "Fritt vårt lager"), ("deliveryMethods", "name", "Kunden hämtar själv"),
        ("customers", "name", "Örjans Rör AB"), ("suppliers", "name", "Sjöbergs Trä AB"),
        ("articles", "name", "Fönsterbåge, målning"), ("customerLedgerItems", "customerName", "Örjans Rör AB"),
        ("supplierLedgerItems", "supplierName", "Sjöbergs Trä AB"),
    ],
    "sie_maker": "our Vardo database engine",
}
SAMPLES = {sample["choice"]: sample for sample in (DBF_SAMPLE, SQL_SAMPLE, VARDO_SAMPLE)}
# What UTF-8 read as a single-byte code page, or a replaced character, looks like.
GARBLED = re.compile("[\ufffd\u0080-\u009f]|Ã[\u0080-\u00bf]")


def read_state(base_url):
    with urllib.request.urlopen(base_url + "/admin/state", timeout=30) as answer:
        return json.load(answer)


def report_counts(report):
    """Per kind of the report: (records ready for the transfer, records it will not move)."""
    counts = {}
    for line in report.splitlines():
        match = re.fullmatch(r"(\d+) (\S+) (klara för överföring|kommer inte att överföras)\.", line)
        if match:
            ready, refused = counts.get(match.group(2), (0, 0))
            number = int(match.group(1))
            counts[match.group(2)] = (number, refused) if match.group(3).startswith("klara") else (ready, number)
        elif line == "Företagsuppgifter klara för överföring.":
            counts["Företagsuppgifter"] = (1, 0)
    return counts


def strings_of(value):
    if isinstance(value, str):
        yield value
    elif isinstance(value, dict):
        for item in value.values():
            yield from strings_of(item)
    elif isinstance(value, list):
        for item in value:
            yield from strings_of(item)


def sie_company_name(content):
    """The company name in a SIE file, whose text is in code page 437."""
    match = re.search(r'^#FNAMN "((?:[^"\\]|\\.)*)"\r?$', content.decode("cp437"), re.MULTILINE)
    return match and re.sub(r"\\(.)", r"\1", match.group(1))


def sie_year_line(content):
    match = re.search(r"^#RAR 0 (\d+ \d+)\r?$", content.decode("cp437"), re.MULTILINE)
    return match and match.group(1)


def summarise(demo, state):
    """The summary of what the stand-in received, line by line, each with its check's verdict (None: no check)."""
    received = [(cid, c) for cid, c in state["companies"].items() if c["completed"] or c["pending"]]
    if not received:
        return [("Nothing arrived at the stand-in: the transfer was not sent.", False)]
    if len(received) > 1:
        return [("The stand-in holds imports for %d companies, not for one." % len(received), False)]
    company_id, company = received[0]
    # The last upload: still pending when the completion failed.
    latest = company["pending"] or company["completed"][-1]
    records = {kind: latest.get(kind) or [] for kind, _ in RECORD_KINDS}
    if demo.sample is None:
        # The user chose in the wizard: the sample company whose settings arrived.
        names = {record.get("name") for record in records["companySettings"]}
        demo.sample = next((sample for sample in SAMPLES.values() if sample["name"] in names), DBF_SAMPLE)
    report = demo.report.read_text(encoding="utf-8") if demo.report.exists() else None
    counts = report_counts(report) if report is not None else None
    sie = latest.get("sie") or {}

    lines = [("The stand-in received from %s for %s (%s), %s:"
              % (demo.sample["name"], company["name"], company_id,
                 "still pending" if company["pending"] else "completed"), None),
             ("  %-22s %8s %8s %8s" % ("kind", "arrived", "read", "refused"), None)]
    unaccounted = []
    for kind, word in RECORD_KINDS:
        ready, refused = counts.get(word, (0, 0)) if counts is not None else (None, None)
        lines.append(("  %-22s %8d %8s %8s" % (kind, len(records[kind]), "?" if ready is None else ready + refused,
                                               "?" if refused is None else refused), None))
        if ready is not None and ready != len(records[kind]):
            unaccounted.append("%s: %d ready, %d arrived" % (kind, ready, len(records[kind])))
    contents = {}
    for year, name in SIE_FILES:
        entry = sie.get(year)
        if entry:
            contents[name] = base64.b64decode(entry["contentBase64"])
            lines.append(("  %-22s %s, %d bytes, booking year %s" % ("sie " + year, entry["fileName"], entry["size"],
                                                                      sie_year_line(contents[name])), None))
        else:
            lines.append(("  %-22s missing" % ("sie " + year), None))

    lines.append(("Checks:", None))
    lines.append(("the import was completed, nothing is left pending",
                  len(company["completed"]) == 1 and company["pending"] is None))
    missing = [kind for kind, _ in RECORD_KINDS if not records[kind]]
    lines.append(("every kind arrived" + (": not " + ", ".join(missing) if missing else ""), not missing))

    swedish_names = demo.sample["swedish_names"]
    absent = [value for kind, field, value in swedish_names if not any(r.get(field) == value for r in records[kind])]
    garbled = sorted({text for text in strings_of(records) if GARBLED.search(text)})
    lines.append(("names with å, ä, ö arrived intact (%s, ...)" % ", ".join(v for _, _, v in swedish_names[:4])
                  + ("; missing: " + ", ".join(absent) if absent else "")
                  + ("; garbled: " + ", ".join(garbled[:5]) if garbled else ""), not absent and not garbled))

    for year, name in SIE_FILES:
        maker = demo.sample["sie_maker"]
        # The converter removes its work folders: the last copy the maker kept of the file it wrote.
        made = [demo.sie_copies / name] if demo.sie_copies and (demo.sie_copies / name).exists() else []
        if name not in contents or not made:
            if name in contents:
                why = "%s made none" % maker
            elif report is not None and "SIE-fil:" not in report.splitlines():
                why = ("not received: this company's SIE files are not available in this build"
                       " (the report has no SIE part)")
            else:
                why = "not received"
            lines.append(("%s: %s" % (name, why), False))
            continue
        company_name = sie_company_name(contents[name])
        lines.append(("%s arrived byte for byte as %s wrote it; its #FNAMN is \"%s\"" % (name, maker, company_name),
                      contents[name] == made[-1].read_bytes() and company_name == demo.sample["name"]))
    if len(contents) == 2:
        lines.append(("SIE.SE and SIEPREV.SE hold different booking years",
                      sie_year_line(contents["SIE.SE"]) != sie_year_line(contents["SIEPREV.SE"])))

    if counts is None:
        lines.append(("every record read is in the stand-in or a report row: the report was not written down", False))
    else:
        lines.append(("every record read is in the stand-in or a report row (read = arrived + refused)"
                      + ("; " + "; ".join(unaccounted) if unaccounted else ""), not unaccounted))

    if demo.opened.exists():
        opened = demo.opened.read_text(encoding="utf-8").splitlines()
        lines.append(("the converter opened the cloud service: " + ", ".join(opened),
                      opened == [demo.base_url + "/app"]))
    return lines


def print_summary(lines):
    """Prints the summary; answers whether every check passed."""
    print()
    for text, verdict in lines:
        print(text if verdict is None else "  %s %s" % ("ok  " if verdict else "FAIL", text))
    return all(verdict is not False for _, verdict in lines)


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


def convert(args, converter_args, sample, guided, screenshots):
    """Converts one sample company (None: the one the user chooses) in a work folder and a stand-in of its own,
    and prints the summary; answers whether the converter ended well and every check passed."""
    converter = Path(args.build) / "tools/demo/molnix_converter_tour"
    with tempfile.TemporaryDirectory(prefix="molnix-demo-") as work:
        demo = Demo(args.build, work, converter_args)
        demo.sample = sample
        standin = start_standin(demo)
        try:
            for step in STEPS:
                step(demo)
            print("Molnix stand-in: %s" % demo.base_url)
            print("Log in with e-mail %s and password %s" % (DEMO_EMAIL, DEMO_PASSWORD), flush=True)
            command = demo.wrapper + [str(converter)] + demo.converter_args
            if guided:
                demo.timeout = args.timeout
                guide_the_tour(demo, screenshots)
                code = run_program(command, demo.env, args.timeout)
            else:
                watch_the_user(demo)
                code = subprocess.call(command, env=demo.env)
            passed = print_summary(summarise(demo, read_state(demo.base_url)))
            return code == 0 and passed
        finally:
            standin.terminate()
            standin.wait()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", required=True, help="the build folder")
    parser.add_argument("--company", choices=list(SAMPLES),
                        help="the sample company to convert; unattended, without it each one in turn")
    parser.add_argument("--tour", action="store_true", help="walk the wizard unattended")
    parser.add_argument("--screenshots", metavar="DIR", help="save each window of the tour as a PNG in DIR")
    parser.add_argument("--timeout", type=int, default=300,
                        help="seconds before an unattended run of one company is stopped")
    args, converter_args = parser.parse_known_args()
    guided = unattended(args, os.environ)
    # By hand too the converter runs with the tour, which then only writes the report down for the summary.
    converter = Path(args.build) / "tools/demo/molnix_converter_tour"
    if not converter.exists():
        print("The converter is not built: %s is missing." % converter, file=sys.stderr)
        return 1

    if args.company:
        samples = [SAMPLES[args.company]]
    else:
        samples = list(SAMPLES.values()) if guided else [None]
    outcomes = []
    for sample in samples:
        screenshots = args.screenshots
        if len(samples) > 1:
            print("\n=== The %s sample company %s ===" % (sample["choice"].upper(), sample["name"]), flush=True)
            screenshots = screenshots and str(Path(screenshots) / sample["choice"])
        outcomes.append((sample, convert(args, converter_args, sample, guided, screenshots)))
    if len(samples) > 1:
        print()
        for sample, passed in outcomes:
            print("%-5s %s: %s" % (sample["choice"], sample["name"],
                                  "every check passed" if passed else "FAILED"))
    return 0 if all(passed for _, passed in outcomes) else 1


if __name__ == "__main__":
    sys.exit(main())
