"""The converter's wizard walked end to end by the guided tour, against the
cloud stand-in, on the generated sample company with its administration
program installed (the demo's own set-up):

  - started alone: the login, the company choice with the sample company
    offered for its cloud company, the prepare step's report, and the send:
    the warnings answered "Ja", the upload, the completion and the cloud
    service opened; the stand-in then holds the completed import with every
    record the sample company's readers let through, names with å, ä, ö
    intact, and both SIE files as the test kit wrote them;
  - started again by the administration program with the company folder and
    the e-mail, the login is skipped: the credential kept at the first login
    logs the user in;
  - "Logga ut" there shows the login with the e-mail filled in and the
    company's organisation number fixed, and the wizard goes on from it;
  - a send whose completion the service refuses: the tour leaves the dialog
    with "Avbryt", and the demo's checks fail;
  - after every walk, no export folder with the SIE files is left in the
    converter's temp folder.
"""
import json
import subprocess
import sys
import tempfile
import urllib.request
from pathlib import Path

build = Path(sys.argv[1])
sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tools" / "demo"))
import run_demo  # noqa: E402

TOUR = build / "tools" / "demo" / "molnix_converter_tour"
CHOICE = "company choice: Åsa Öberg AB, 556677-8899 <- Åsa Öberg AB (Tessal Administration 1000)"
# What the sample company sends: its readers' records less the ones the cloud refuses.
SENT = {"companySettings": 1, "deliveryTerms": 3, "deliveryMethods": 3, "customers": 18, "suppliers": 14,
        "articles": 24, "customerLedgerItems": 24, "supplierLedgerItems": 18}


def walk(demo, arguments):
    done = subprocess.run([str(TOUR)] + arguments, env=demo.env, timeout=150, capture_output=True, text=True)
    if done.returncode != 0:
        sys.exit(f"the tour exited {done.returncode}: {done.stdout}{done.stderr}")
    return done.stdout.splitlines()


def expect(steps, wanted, what):
    if steps != wanted:
        sys.exit(f"{what}: expected {wanted}, got {steps}")


with tempfile.TemporaryDirectory(prefix="wizard-walks-") as work:
    demo = run_demo.Demo(build, work, [])
    standin = run_demo.start_standin(demo)
    try:
        for step in (run_demo.own_temp_folder, run_demo.write_settings, run_demo.write_sample_company,
                     run_demo.install_test_kit):
            step(demo)
        demo.env["QT_QPA_PLATFORM"] = "offscreen"
        demo.timeout = 130
        run_demo.guide_the_tour(demo, None)

        steps = walk(demo, [])
        expect(steps[:2], ["login: " + run_demo.DEMO_EMAIL, CHOICE], "started alone")
        if not steps[2].startswith("prepare-send: Företagsuppgifter") or steps[-1] != "tour: the converter ended with 0":
            sys.exit(f"started alone, no report: {steps}")
        expect(steps[3:5], ["prepare-send: Skicka till Molnix",
                            "message: Det finns kunder som saknar namn, postnr eller ort och därför inte kan överföras."],
               "the send's warnings")
        if "Vill du fortsätta att överföra övrig information?" not in steps or "message: Överföringen är klar." not in \
                steps or "browser: %s/app" % demo.base_url not in steps:
            sys.exit(f"the send did not complete: {steps}")
        state = run_demo.read_state(demo.base_url)
        if not run_demo.print_summary(run_demo.summarise(demo, state)):
            sys.exit("the stand-in does not hold what the sample company sent")
        completed = state["companies"]["demo-1"]["completed"][0]
        expect({kind: len(completed.get(kind, [])) for kind in SENT}, SENT, "records in the stand-in")

        # From here on the tour leaves the report with "Avbryt".
        del demo.env["MOLNIX_TOUR_SEND"]

        from_program = ["-P", "KolmAdm.exe", "-F", str(demo.company), "-U", run_demo.DEMO_EMAIL]
        steps = walk(demo, from_program)
        expect(steps[:1], [CHOICE], "started by the administration program")
        if not steps[1].startswith("prepare-send: Företagsuppgifter"):
            sys.exit(f"started by the administration program, no report: {steps}")

        demo.env["MOLNIX_TOUR_LOGOUT"] = "1"
        steps = walk(demo, from_program)
        expect(steps[:3], ["company choice: Logga ut", "login: %s orgnr %s fixed" % (run_demo.DEMO_EMAIL,
                                                                                  run_demo.SAMPLE_ORG_NO), CHOICE],
               "logged out")
        if not steps[3].startswith("prepare-send: Företagsuppgifter"):
            sys.exit(f"logged out, no report: {steps}")

        # A send whose completion the service refuses leaves the dialog, and the summary fails.
        del demo.env["MOLNIX_TOUR_LOGOUT"]
        demo.env["MOLNIX_TOUR_SEND"] = "1"
        fault = json.dumps({"endpoint": "complete", "status": 500, "count": 1}).encode()
        urllib.request.urlopen(urllib.request.Request(demo.base_url + "/admin/faults", data=fault, method="POST"))
        steps = walk(demo, from_program)
        if "message: Avsluta överföringen misslyckades." not in steps or "prepare-send: not sent, Avbryt" not in steps:
            sys.exit(f"a refused completion, the tour did not leave the dialog: {steps}")
        if run_demo.print_summary(run_demo.summarise(demo, run_demo.read_state(demo.base_url))):
            sys.exit("a refused completion passed the demo's checks")

        # The SIE work folders hold the company's whole bookkeeping: none is left once the wizard has ended.
        left = sorted(path.name for path in demo.temp.iterdir() if path.name.startswith("mli"))
        if left:
            sys.exit(f"the converter left its export folders behind: {left}")
    finally:
        standin.terminate()
        standin.wait()
print("the wizard walked from the login through the send, and to the report without the login once a credential "
      "was kept")
