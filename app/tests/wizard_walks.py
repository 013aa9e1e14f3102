"""The converter's wizard walked end to end by the guided tour, against the
cloud stand-in, on the generated sample company with its administration
program installed (the demo's own set-up):

  - started alone: the login, the company choice with the sample company
    offered for its cloud company, and the prepare step's report;
  - started again by the administration program with the company folder and
    the e-mail, the login is skipped: the credential kept at the first login
    logs the user in;
  - "Logga ut" there shows the login with the e-mail filled in and the
    company's organisation number fixed, and the wizard goes on from it.
"""
import subprocess
import sys
import tempfile
from pathlib import Path

build = Path(sys.argv[1])
sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tools" / "demo"))
import run_demo  # noqa: E402

TOUR = build / "tools" / "demo" / "molnix_converter_tour"
CHOICE = "company choice: Åsa Öberg AB, 556677-8899 <- Åsa Öberg AB (Tessal Administration 1000)"


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
        for step in (run_demo.write_settings, run_demo.write_sample_company, run_demo.install_test_kit):
            step(demo)
        temp = Path(work) / "tmp"
        temp.mkdir()
        demo.env.update(QT_QPA_PLATFORM="offscreen", TMPDIR=str(temp))
        demo.timeout = 130
        run_demo.guide_the_tour(demo, None)

        steps = walk(demo, [])
        expect(steps[:2], ["login: " + run_demo.DEMO_EMAIL, CHOICE], "started alone")
        if not steps[2].startswith("prepare-send: Företagsuppgifter") or steps[-1] != "tour: the converter ended with 0":
            sys.exit(f"started alone, no report: {steps}")

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
    finally:
        standin.terminate()
        standin.wait()
print("the wizard walked from the login to the report, and without the login once a credential was kept")
